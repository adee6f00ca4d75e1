// kavrelcfg read: the tracker's configuration, printed and, if asked, saved byte for byte.
#include <cstdio>

#include "cli/argument_parser.h"
#include "cli/commands/commands.h"
#include "cli/device_report.h"
#include "cli/exit_status.h"
#include "cli/compat/interrupts.h"
#include "cli/messages.h"
#include "cli/named_files.h"
#include "cli/port_session.h"
#include "cli/settings_printer.h"
#include "cli/compat/system_conventions.h"
#include "cli/compat/console.h"
#include "cli/tool_context.h"
#include "cli/transfer_display.h"
#include "config/setting_rules.h"

namespace {

const char kUsage[] =
    "Usage: kavrelcfg read -p PORT [-o FILE.kvr] [--json] [--trace]\n"
    "\n"
    "Reads the tracker's configuration, as the window's Read Config does, and prints the\n"
    "settings its generation carries, as 'show' does.\n"
    "\n"
    "  -p, --port PORT        the serial port: COM3 on Windows, /dev/ttyUSB0 or a pty elsewhere\n"
    "  -o, --output FILE.kvr  also save the 128 bytes read, exactly as the tracker holds them\n"
    "                         (whenever all 128 arrived, even when they do not decode); with -,\n"
    "                         to standard output instead of the settings (not with --json,\n"
    "                         and not onto a terminal)\n"
    "  --json                 print a settings document instead of 'name = value' lines\n"
    "  --trace                print the bytes exchanged, with their times\n"
    "\n"
    "Ctrl-C stops a read at once.\n"
    "A configuration that holds values no tool writes (control characters in a text, a frequency\n"
    "outside the band), as an interrupted write can leave, is shown and reported as such, exit 1.\n"
    "\n"
    "Exit status: 0 read (and saved), 1 not read, not saved or not plausible, 2 usage,\n"
    "130 interrupted.\n";

// A configuration that reads but holds what no tool writes is shown, and not called a success.
int reportImplausible(const std::string& port, const std::vector<FitProblem>& problems) {
    std::string list;
    for (const FitProblem& problem : problems)
        list += (list.empty() ? "" : "; ") + std::string(settingSpec(problem.setting).name) + ": " + problem.why;
    printError("the configuration read from " + port + " holds values no tool writes (" + list +
               "): it may be torn by an interrupted write, or damaged");
    printHint("'kavrelcfg restore -p " + shellWord(port) + " FILE.kvr' puts back a backup byte for byte; 'kavrelcfg "
              "write' backs the tracker up in the backups folder before it writes");
    return kExitFailed;
}

}  // namespace

int runRead(const Arguments& args) {
    ParsedArguments parsed;
    std::string error;
    const std::vector<OptionSpec> specs = {
        {"--port", "-p", true}, {"--output", "-o", true}, {"--json", nullptr, false}, {"--trace", nullptr, false}};
    if (!parseArguments(args, specs, parsed, error)) return usageError("read", error);
    if (parsed.help) return printHelp(kUsage);
    if (!parsed.positionals.empty()) return usageError("read", "unexpected argument '" + parsed.positionals[0] + "'");
    const std::string* port = lastValue(parsed, "--port");
    if (port == nullptr) return usageError("read", "give the serial port with -p PORT");
    if (!usablePortName(*port, error)) return usageError("read", error);
    const std::string* output = lastValue(parsed, "--output");
    const bool toStandardOutput = output != nullptr && *output == "-";
    if (toStandardOutput && hasOption(parsed, "--json"))
        return usageError("read", "-o - and --json both print to standard output; give -o a file name");
    // Refused before the tracker is read for nothing.
    if (toStandardOutput && standardOutputIsTerminal()) {
        reportSaveFailure("-", FileSaveResult::Terminal, 0, "");
        return kExitFailed;
    }

    catchInterrupts();
    ToolContext tool;
    Configurator& configurator = tool.configurator;
    tool.port.portName = *port;
    TransferDisplay display(tool.port, hasOption(parsed, "--trace"), standardErrorIsTerminal());
    int status = kExitFailed;
    if (!takePort(tool, display, status)) return status;
    const TransferEnd end = display.request(configurator, VersionThenRead);

    const bool read = end == TransferEnd::Finished && configurator.outcome == Outcome::Succeeded;
    if (read && !toStandardOutput) {
        if (hasOption(parsed, "--json"))
            printSettingsJson(stdout, configurator.settings);
        else
            printSettings(stdout, configurator.settings);
        if (!standardOutputArrived()) return kExitFailed;
    }
    const std::vector<FitProblem> implausible = read ? implausibleValues(configurator.settings) : std::vector<FitProblem>();
    status = implausible.empty() ? reportTransfer(tool, display, end) : reportImplausible(*port, implausible);
    if (output == nullptr || end != TransferEnd::Finished) return status;
    // bytesReceived counts this read only: the Configurator is new and the reading phase starts
    // it at 0.
    if (configurator.bytesReceived != kImageSize) {
        printError("nothing saved to " + displayName(*output, true) + ": " +
                   (configurator.bytesReceived > 0
                        ? "the tracker sent " + std::to_string(configurator.bytesReceived) + " bytes, not 128"
                        : std::string("no image was read")));
        return kExitFailed;
    }
    int errorCode = 0;
    const FileSaveResult saved = saveNamedConfigFile(*output, configurator.readImage, errorCode);
    if (saved != FileSaveResult::Saved) {
        reportSaveFailure(*output, saved, errorCode, " " + quotedStatus("Failed to write data"));
        return kExitFailed;
    }
    printNote("File Saved");
    return status;
}
