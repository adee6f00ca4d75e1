#include "cli/compat/interrupts.h"

#include <windows.h>

#include <atomic>

namespace {

// The handler runs on a thread of its own.
std::atomic<bool> requested{false};
std::atomic<bool> writing{false};

// Windows ends the process about five seconds after a close event; a write of four chunks, the
// pause of generations 1 and 2 and the read-back take less.
constexpr int kCloseWaitMs = 4500;

BOOL WINAPI onControl(DWORD event) {
    requested = true;
    if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT)
        for (int waited = 0; writing && waited < kCloseWaitMs; waited += 50) Sleep(50);
    return TRUE;
}

}  // namespace

void catchInterrupts() { SetConsoleCtrlHandler(onControl, TRUE); }

bool interruptRequested() { return requested; }

void setWriteUnderWay(bool underWay) { writing = underWay; }
