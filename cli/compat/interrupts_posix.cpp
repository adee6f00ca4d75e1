#include "cli/compat/interrupts.h"

#include <signal.h>

#include <initializer_list>

namespace {

volatile sig_atomic_t requested = 0;

void onSignal(int) { requested = 1; }

}  // namespace

void catchInterrupts() {
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    // No SA_RESTART: a confirmation waiting for a line returns at once. The port's own waits go on
    // after a signal.
    action.sa_flags = 0;
    // Ctrl-\ (SIGQUIT) too: its core dump would come half-way through an image.
    for (int signalNumber : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) sigaction(signalNumber, &action, nullptr);
    // A reader of standard output that went away must not end a write half-way.
    signal(SIGPIPE, SIG_IGN);
}

bool interruptRequested() { return requested != 0; }

void setWriteUnderWay(bool) {}
