// kavrelcfg tone: the tracker's modem sends a test tone, or stops.
#include <chrono>
#include <cstdio>
#include <thread>

#include "cli/commands/commands.h"
#include "cli/device_report.h"
#include "cli/exit_status.h"
#include "cli/compat/interrupts.h"
#include "cli/messages.h"
#include "cli/port_session.h"
#include "link/state_folder.h"
#include "cli/tool_context.h"
#include "cli/device_run.h"
#include "link/device_transfer.h"

namespace {

struct ToneName {
    const char* name;
    TestTone tone;
};

const ToneName kTones[] = {
    {"1200", TestTone::Tone1200}, {"2200", TestTone::Tone2200}, {"both", TestTone::Both}, {"stop", TestTone::Stop}};

constexpr int kStopAttempts = 5;
constexpr auto kStopRetryPause = std::chrono::seconds(1);

// One exchange; false when the port did not open or took not every byte (lastError tells).
bool sendTone(ToolContext& tool, TestTone tone) {
    // The exchange reports only through lastError, and a later success never clears it.
    tool.port.lastError.clear();
    tool.port.lastErrorCode = 0;
    tool.configurator.testTone(tone);
    return tool.port.lastError.empty();
}

// The stop, tried again for a few seconds where the port failed (an adapter pulled and plugged
// back): a transmitter left keyed is worse than a late stop.
bool sendStop(ToolContext& tool) {
    for (int attempt = 1;; ++attempt) {
        if (sendTone(tool, TestTone::Stop)) return true;
        if (attempt == kStopAttempts) return false;
        tool.port.release();  // a handle whose device went away answers nothing again
        std::this_thread::sleep_for(kStopRetryPause);
    }
}

}  // namespace

const CommandHelp kToneHelp = {
    "1200|2200|both|stop", 1, 1, "give one of 1200, 2200, both or stop", {Completes::Words, "1200 2200 both stop"},
    "Sends a test-tone command as the window's tone buttons do: the 1200 Hz tone, the 2200 Hz "
    "tone, both, or stop. The tracker does not answer; nothing is read. The tone goes on until "
    "'stop' is sent.\n",
    "Exit status: 0 sent, 1 the port did not open or a byte was not taken, 2 usage, 130 interrupted.\n"};

int runTone(const CliOptions& options) {
    const std::string& port = *options.port;
    const std::string& named = options.operands[0].text;
    const ToneName* chosen = nullptr;
    for (const ToneName& tone : kTones)
        if (named == tone.name) chosen = &tone;
    if (chosen == nullptr) return usageError("tone", "give one of 1200, 2200, both or stop, not '" + named + "'");
    if (options.seconds && chosen->tone == TestTone::Stop) return usageError("tone", "--seconds goes with a tone, not with stop");

    catchInterrupts();
    ToolContext tool;
    tool.port.portName = port;
    DeviceRun transfer(tool.port, options.trace, false);
    int status = kExitFailed;
    if (!takePort(tool, transfer, status)) return status;
    if (!sendTone(tool, chosen->tone)) {
        reportPortFailure(port, tool.port.lastError, tool.port.lastErrorCode, tool.port.handle == -1);
        return kExitFailed;
    }
    printNote(std::string("Test tone command sent: ") + chosen->name);
    if (!options.seconds) return kExitSuccess;
    // The port stays held while the tone sounds, so the stop finds it free.
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(*options.seconds);
    while (std::chrono::steady_clock::now() < until && !interruptRequested())
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    if (!sendStop(tool)) {
        reportPortFailure(port, tool.port.lastError, tool.port.lastErrorCode, tool.port.handle == -1);
        printError("the stop did not reach the tracker on " + port + ": the tone may still be on");
        printHint("'kavrelcfg tone -p " + shellWord(port) + " stop' stops it, as does switching the tracker off");
        return kExitFailed;
    }
    printNote("Test tone command sent: stop");
    return interruptRequested() ? kExitInterrupted : kExitSuccess;
}
