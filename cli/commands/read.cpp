// kavrelcfg read: the tracker's configuration, printed and, if asked, saved byte for byte.
#include <cstdio>

#include "cli/commands/commands.h"
#include "cli/device_report.h"
#include "cli/exit_status.h"
#include "cli/compat/interrupts.h"
#include "cli/messages.h"
#include "cli/named_files.h"
#include "cli/port_session.h"
#include "cli/settings_printer.h"
#include "link/state_folder.h"
#include "cli/compat/console.h"
#include "cli/tool_context.h"
#include "cli/device_run.h"
#include "config/setting_rules.h"

namespace {

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

const CommandHelp kReadHelp = {
    "", 0, 0, nullptr, {},
    "Reads the tracker's configuration, as the window's Read Config does, and prints the "
    "settings its generation carries, as 'show' does; with --json, a settings document instead "
    "of 'name = value' lines. -o also saves the 128 bytes read, exactly as the tracker holds "
    "them, whenever all 128 arrived, even when they do not decode; -o - prints them to standard "
    "output instead of the settings (not with --json, and not onto a terminal).\n"
    "\n"
    "Ctrl-C stops a read at once. "
    "A configuration that holds values no tool writes (control characters in a text, a frequency "
    "outside the band), as an interrupted write can leave, is shown and reported as such, exit 1.\n",
    "Exit status: 0 read (and saved), 1 not read, not saved or not plausible, 2 usage, "
    "130 interrupted.\n"};

int runRead(const CliOptions& options) {
    const std::string& port = *options.port;
    const std::optional<std::string>& output = options.output;
    const bool toStandardOutput = output && *output == "-";
    if (toStandardOutput && options.json)
        return usageError("read", "-o - and --json both print to standard output; give -o a file name");
    // Refused before the tracker is read for nothing.
    if (toStandardOutput && standardOutputIsTerminal()) {
        reportSaveFailure("-", FileSaveResult::Terminal, 0, "");
        return kExitFailed;
    }

    catchInterrupts();
    ToolContext tool;
    Configurator& configurator = tool.configurator;
    tool.port.portName = port;
    DeviceRun transfer(tool.port, options.trace, standardErrorIsTerminal());
    int status = kExitFailed;
    if (!takePort(tool, transfer, status)) return status;
    const TransferEnd end = transfer.request(configurator, TransferOp::VersionThenRead);

    const bool read = end == TransferEnd::Finished && configurator.outcome == Outcome::Succeeded;
    if (read && !toStandardOutput) {
        if (options.json)
            printSettingsJson(stdout, configurator.settings);
        else
            printSettings(stdout, configurator.settings);
        if (!standardOutputArrived()) return kExitFailed;
    }
    const std::vector<FitProblem> implausible = read ? implausibleValues(configurator.settings) : std::vector<FitProblem>();
    status = implausible.empty() ? reportTransfer(tool, transfer, end) : reportImplausible(port, implausible);
    if (!output || end != TransferEnd::Finished) return status;
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
