// kavrelcfg version: which firmware generation the tracker on a port runs.
#include <cstdio>

#include "cli/commands/commands.h"
#include "cli/device_report.h"
#include "cli/exit_status.h"
#include "cli/compat/interrupts.h"
#include "link/json_output.h"
#include "cli/named_files.h"
#include "cli/port_session.h"
#include "cli/compat/console.h"
#include "platform/byte_text.h"
#include "cli/tool_context.h"
#include "cli/device_run.h"

const CommandHelp kVersionHelp = {
    "", 0, 0, nullptr, {},
    "Asks the tracker for its firmware version, as the window's Read Version does (9600 baud, "
    "falling back to 2400), and prints the reply and the generation it means (\"model\"). With "
    "--json it prints one JSON object: port, version, model, baud.\n",
    "Exit status: 0 the tracker answered with a known version, 1 it did not, 2 usage, "
    "130 interrupted.\n"};

int runVersion(const CliOptions& options) {
    const std::string& port = *options.port;

    catchInterrupts();
    ToolContext tool;
    Configurator& configurator = tool.configurator;
    tool.port.portName = port;
    DeviceRun transfer(tool.port, options.trace, standardErrorIsTerminal());
    int status = kExitFailed;
    if (!takePort(tool, transfer, status)) return status;
    const TransferEnd end = transfer.request(configurator, TransferOp::VersionOnly);
    if (end == TransferEnd::Finished && configurator.outcome == Outcome::Succeeded) {
        if (options.json) {
            printJson(stdout, Json{{"port", port},
                                   {"version", jsonText(configurator.versionReply)},
                                   {"model", configurator.settings.model},
                                   {"baud", tool.port.baudRate}});
        } else {
            // The line end the tracker sends after its version is no part of it; JSON keeps the reply whole.
            std::string version = configurator.versionReply;
            while (!version.empty() && (version.back() == '\r' || version.back() == '\n')) version.pop_back();
            std::printf("version = %s\n", escapedText(version, Escaping::Visible).c_str());
            std::printf("model = %d\n", static_cast<int>(configurator.settings.model));
        }
        if (!standardOutputArrived()) return kExitFailed;
    }
    return reportTransfer(tool, transfer, end);
}
