// kavrelcfg read: the tracker's configuration, printed and, if asked, saved byte for byte.
#include <cstdio>

#include "cli/argument_parser.h"
#include "cli/commands.h"
#include "cli/exit_status.h"
#include "config/image_file.h"
#include "cli/settings_printer.h"
#include "cli/status_report.h"
#include "cli/terminal.h"
#include "cli/tool_context.h"
#include "cli/transfer_display.h"

namespace {

const char kUsage[] =
    "Usage: kavrelcfg read -p PORT [-o FILE.kvr] [--json] [--trace]\n"
    "\n"
    "Reads the tracker's configuration, as the dialog's Read Config does, and prints every\n"
    "setting as 'show' does.\n"
    "\n"
    "  -p, --port PORT        the serial port: COM3 on Windows, /dev/ttyUSB0 or a pty elsewhere\n"
    "  -o, --output FILE.kvr  also save the 128 bytes read, exactly as the tracker holds them\n"
    "                         (saved whenever all 128 arrived, even when they do not decode)\n"
    "  --json                 print one JSON object instead of 'name = value' lines\n"
    "  --trace                print the bytes exchanged, with the time each tick ended\n"
    "\n"
    "Exit status: 0 read (and saved), 1 not read or not saved, 2 usage.\n";

}  // namespace

int runRead(const Arguments& args) {
    ParsedArguments parsed;
    std::string error;
    const std::vector<OptionSpec> specs = {
        {"--port", "-p", true}, {"--output", "-o", true}, {"--json", nullptr, false}, {"--trace", nullptr, false}};
    if (!parseArguments(args, specs, parsed, error)) return usageError("read", error);
    if (parsed.help) {
        std::fputs(kUsage, stdout);
        return kExitSuccess;
    }
    if (!parsed.positionals.empty()) return usageError("read", "unexpected argument '" + parsed.positionals[0] + "'");
    const std::string* port = lastValue(parsed, "--port");
    if (port == nullptr) return usageError("read", "give the serial port with -p PORT");

    ToolContext tool;
    Configurator& configurator = tool.configurator;
    tool.port.portName = *port;
    TransferDisplay(tool.port, hasOption(parsed, "--trace"), standardErrorIsTerminal()).request(configurator, VersionThenRead);

    const bool read = configurator.outcome == Outcome::Succeeded;
    if (read) {
        if (hasOption(parsed, "--json"))
            printSettingsJson(stdout, configurator.settings);
        else
            printSettings(stdout, configurator.settings);
    }
    int status = reportOutcome(configurator);
    const std::string* output = lastValue(parsed, "--output");
    // bytesReceived counts this read only: the Configurator is new and the reading phase starts
    // it at 0.
    if (output != nullptr && configurator.bytesReceived == kImageSize) {
        const FileSaveResult saved = saveImageFile(output->c_str(), configurator.readImage);
        if (reportStatus(fileSaveText(saved), saved == FileSaveResult::Saved) != kExitSuccess) status = kExitFailed;
    } else if (output != nullptr) {
        if (configurator.bytesReceived > 0)
            std::fprintf(stderr, "Nothing saved: the tracker sent %ld bytes, not 128.\n",
                         static_cast<long>(configurator.bytesReceived));
        else
            std::fprintf(stderr, "Nothing saved: no image was read.\n");
        status = kExitFailed;
    }
    return status;
}
