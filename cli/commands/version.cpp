// kavrelcfg version: which firmware generation the tracker on a port runs.
#include <cstdio>

#include "cli/argument_parser.h"
#include "cli/commands/commands.h"
#include "cli/device_report.h"
#include "cli/exit_status.h"
#include "cli/compat/interrupts.h"
#include "cli/json_output.h"
#include "cli/named_files.h"
#include "cli/port_session.h"
#include "cli/compat/console.h"
#include "platform/byte_text.h"
#include "cli/tool_context.h"
#include "cli/transfer_display.h"

namespace {

const char kUsage[] =
    "Usage: kavrelcfg version -p PORT [--json] [--trace]\n"
    "\n"
    "Asks the tracker for its firmware version, as the window's Read Version does (9600 baud,\n"
    "falling back to 2400), and prints the reply and the generation it means.\n"
    "\n"
    "  -p, --port PORT   the serial port: COM3 on Windows, /dev/ttyUSB0 or a pty elsewhere\n"
    "  --json            print one JSON object: port, version, model, baud\n"
    "  --trace           print the bytes exchanged, with their times\n"
    "\n"
    "Exit status: 0 the tracker answered with a known version, 1 it did not, 2 usage,\n"
    "130 interrupted.\n";

}  // namespace

int runVersion(const Arguments& args) {
    ParsedArguments parsed;
    std::string error;
    const std::vector<OptionSpec> specs = {{"--port", "-p", true}, {"--json", nullptr, false}, {"--trace", nullptr, false}};
    if (!parseArguments(args, specs, parsed, error)) return usageError("version", error);
    if (parsed.help) return printHelp(kUsage);
    if (!parsed.positionals.empty())
        return usageError("version", "unexpected argument '" + parsed.positionals[0] + "'");
    const std::string* port = lastValue(parsed, "--port");
    if (port == nullptr) return usageError("version", "give the serial port with -p PORT");
    if (!usablePortName(*port, error)) return usageError("version", error);

    catchInterrupts();
    ToolContext tool;
    Configurator& configurator = tool.configurator;
    tool.port.portName = *port;
    TransferDisplay display(tool.port, hasOption(parsed, "--trace"), standardErrorIsTerminal());
    int status = kExitFailed;
    if (!takePort(tool, display, status)) return status;
    const TransferEnd end = display.request(configurator, VersionOnly);
    if (end == TransferEnd::Finished && configurator.outcome == Outcome::Succeeded) {
        if (hasOption(parsed, "--json")) {
            printJson(stdout, Json{{"port", *port},
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
    return reportTransfer(tool, display, end);
}
