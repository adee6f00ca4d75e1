// kavrelcfg write: new settings onto the tracker, written and verified as the dialog's Write
// Config does.
#include <cstdio>

#include "cli/argument_parser.h"
#include "cli/commands.h"
#include "cli/exit_status.h"
#include "cli/setting_assignment.h"
#include "cli/status_report.h"
#include "cli/terminal.h"
#include "cli/tool_context.h"
#include "cli/transfer_display.h"
#include "config/config_image.h"

namespace {

const char kUsage[] =
    "Usage: kavrelcfg write -p PORT [--from FILE.kvr] [--set NAME=VALUE]... [--yes] [--trace]\n"
    "\n"
    "Reads the tracker first (its generation and current settings), replaces the settings with\n"
    "the file's, applies each --set in order, then writes the image and reads it back to verify.\n"
    "\n"
    "  -p, --port PORT   the serial port: COM3 on Windows, /dev/ttyUSB0 or a pty elsewhere\n"
    "  --from FILE.kvr   write this file's settings (needed when the tracker's own do not read)\n"
    "  --set NAME=VALUE  change one setting, as for 'kavrelcfg encode'\n"
    "  --yes             accept the warnings about a long path or a short transmit rate;\n"
    "                    without it they are asked on a terminal and declined otherwise\n"
    "  --trace           print the bytes exchanged, with the time each tick ended\n"
    "\n"
    "A status text that does not fit is not written: the notice says so, and nothing is sent.\n"
    "Exit status: 0 written and verified, 1 not, 2 usage.\n";

// Reads the tracker as Read Config does, to learn its generation and settings.
bool readTracker(ToolContext& tool, TransferDisplay& display) {
    Configurator& configurator = tool.configurator;
    configurator.settings.model = None;
    display.request(configurator, VersionThenRead);
    reportOutcome(configurator);
    return configurator.outcome == Outcome::Succeeded;
}

}  // namespace

int runWrite(const Arguments& args) {
    ParsedArguments parsed;
    std::string error;
    const std::vector<OptionSpec> specs = {{"--port", "-p", true},
                                           {"--from", nullptr, true},
                                           {"--set", nullptr, true},
                                           {"--yes", "-y", false},
                                           {"--trace", nullptr, false}};
    if (!parseArguments(args, specs, parsed, error)) return usageError("write", error);
    if (parsed.help) {
        std::fputs(kUsage, stdout);
        return kExitSuccess;
    }
    if (!parsed.positionals.empty()) return usageError("write", "unexpected argument '" + parsed.positionals[0] + "'");
    const std::string* port = lastValue(parsed, "--port");
    if (port == nullptr) return usageError("write", "give the serial port with -p PORT");
    std::vector<SettingAssignment> assignments;
    for (const std::string& text : allValues(parsed, "--set")) {
        SettingAssignment assignment;
        if (!parseSettingAssignment(text, assignment, error)) return usageError("write", error);
        assignments.push_back(assignment);
    }

    ToolContext tool;
    Configurator& configurator = tool.configurator;
    tool.port.portName = *port;
    tool.promptOptions.assumeYes = hasOption(parsed, "--yes");

    // The file is loaded before the port is touched, so a bad file costs no transfer.
    const std::string* from = lastValue(parsed, "--from");
    TrackerSettings fileSettings;
    if (from != nullptr) {
        configurator.loadFile(from->c_str());
        if (configurator.outcome != Outcome::Succeeded) return reportOutcome(configurator);
        fileSettings = configurator.settings;
    }

    TransferDisplay display(tool.port, hasOption(parsed, "--trace"), standardErrorIsTerminal());
    const bool trackerRead = readTracker(tool, display);
    const std::int32_t model = configurator.settings.model;
    if (model == None) return kExitFailed;
    if (!trackerRead && from == nullptr) {
        std::fprintf(stderr,
                     "Nothing written: the tracker's settings did not read; give --from FILE.kvr to write a whole "
                     "configuration.\n");
        return kExitFailed;
    }
    if (from != nullptr) {
        configurator.settings = fileSettings;
        configurator.settings.model = model;
    }
    for (const SettingAssignment& assignment : assignments) applySettingAssignment(configurator.settings, assignment);

    const TrackerSettings asked = configurator.settings;
    configurator.beginWrite();
    if (configurator.outcome == Outcome::Cut) {
        std::fprintf(stderr, "Nothing written: with this path the status text holds at most %d characters.\n",
                     statusTextCapacity(asked));
        return kExitFailed;
    }
    if (configurator.outcome == Outcome::Declined) {
        std::fprintf(stderr, "Nothing written: the write was not confirmed.\n");
        return kExitFailed;
    }
    if (configurator.operation == Idle) return reportOutcome(configurator);
    display.run(configurator);
    return reportOutcome(configurator);
}
