// kavrelcfg version: which firmware generation the tracker on a port runs.
#include <cstdio>

#include "cli/argument_parser.h"
#include "cli/commands.h"
#include "cli/exit_status.h"
#include "cli/status_report.h"
#include "cli/terminal.h"
#include "cli/text_escaping.h"
#include "cli/tool_context.h"
#include "cli/transfer_display.h"

namespace {

const char kUsage[] =
    "Usage: kavrelcfg version -p PORT [--trace]\n"
    "\n"
    "Asks the tracker for its firmware version, as the dialog's Read Version does (9600 baud,\n"
    "falling back to 2400), and prints the reply and the generation it means.\n"
    "\n"
    "  -p, --port PORT   the serial port: COM3 on Windows, /dev/ttyUSB0 or a pty elsewhere\n"
    "  --trace           print the bytes exchanged, with the time each tick ended\n"
    "\n"
    "Exit status: 0 the tracker answered with a known version, 1 it did not, 2 usage.\n";

}  // namespace

int runVersion(const Arguments& args) {
    ParsedArguments parsed;
    std::string error;
    if (!parseArguments(args, {{"--port", "-p", true}, {"--trace", nullptr, false}}, parsed, error))
        return usageError("version", error);
    if (parsed.help) {
        std::fputs(kUsage, stdout);
        return kExitSuccess;
    }
    if (!parsed.positionals.empty())
        return usageError("version", "unexpected argument '" + parsed.positionals[0] + "'");
    const std::string* port = lastValue(parsed, "--port");
    if (port == nullptr) return usageError("version", "give the serial port with -p PORT");

    ToolContext tool;
    Configurator& configurator = tool.configurator;
    tool.port.portName = *port;
    TransferDisplay(tool.port, hasOption(parsed, "--trace"), standardErrorIsTerminal()).request(configurator, VersionOnly);
    if (configurator.outcome == Outcome::Succeeded) {
        std::printf("version = %s\n", visibleText(configurator.versionReply).c_str());
        std::printf("model = %d\n", static_cast<int>(configurator.settings.model));
    }
    return reportOutcome(configurator);
}
