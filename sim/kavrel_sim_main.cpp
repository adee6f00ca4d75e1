// kavrel-sim: a simulated tracker on a pseudo-terminal. The first line on standard output is the
// path to open as the serial port; it serves until SIGTERM or SIGINT (or a hang-up fault).
#include <atomic>
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "sim/eeprom_file.h"
#include "sim/factory_images.h"
#include "sim/pty_front_end.h"
#include "sim/sim_options.h"
#include "kavrel_version.h"

namespace {

std::atomic<bool> stopRequested{false};
static_assert(std::atomic<bool>::is_always_lock_free, "the stop flag is set from a signal handler");

void onStopSignal(int) { stopRequested.store(true); }

void installStopHandlers() {
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no SA_RESTART: a waiting poll returns at once
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    // Whoever reads the first line may go away; the simulator carries on.
    std::signal(SIGPIPE, SIG_IGN);
}

}  // namespace

int main(int argc, char** argv) {
    SimOptions options;
    std::string error;
    if (!parseSimOptions(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
        std::fprintf(stderr, "kavrel-sim: %s\nTry 'kavrel-sim --help'.\n", error.c_str());
        return 2;
    }
    if (options.help) {
        printSimHelp(stdout);
        return 0;
    }
    if (options.version) {
        std::printf("kavrel-sim %s\n", KAVREL_VERSION_TEXT);
        return 0;
    }
    finishSimOptions(options);
    options.tracker.eeprom = factoryImage(options.tracker.generation);
    if (options.eepromPath && !loadEepromFile(*options.eepromPath, options.tracker.eeprom, error)) {
        std::fprintf(stderr, "kavrel-sim: %s\n", error.c_str());
        return 1;
    }

    installStopHandlers();
    TrackerEngine engine(options.tracker);
    FrontEndOptions frontOptions;
    frontOptions.devicePath = options.devicePath.value_or("");
    frontOptions.linkPath = options.linkPath.value_or("");
    frontOptions.trace = options.trace ? stderr : nullptr;
    PtyFrontEnd frontEnd(engine, frontOptions);
    if (!frontEnd.open(error)) {
        std::fprintf(stderr, "kavrel-sim: %s\n", error.c_str());
        return 1;
    }
    std::printf("%s\n", frontEnd.path().c_str());
    std::fflush(stdout);
    if (frontEnd.serve(stopRequested) && options.trace) std::fputs("kavrel-sim: line dropped (hangup fault)\n", stderr);
    return 0;
}
