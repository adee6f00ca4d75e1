// kavrelcfg tone: the tracker's modem sends a test tone, or stops.
#include <cstdio>

#include "cli/argument_parser.h"
#include "cli/commands.h"
#include "cli/exit_status.h"
#include "cli/terminal.h"
#include "cli/text_escaping.h"
#include "cli/tool_context.h"
#include "cli/transfer_display.h"
#include "link/device_transfer.h"

namespace {

const char kUsage[] =
    "Usage: kavrelcfg tone -p PORT 1200|2200|both|stop [--trace]\n"
    "\n"
    "Sends a test-tone command as the dialog's tone buttons do: the 1200 Hz tone, the 2200 Hz\n"
    "tone, both, or stop. The tracker does not answer; nothing is read.\n"
    "\n"
    "  -p, --port PORT   the serial port: COM3 on Windows, /dev/ttyUSB0 or a pty elsewhere\n"
    "  --trace           print the bytes sent\n"
    "\n"
    "Exit status: 0 sent, 1 the port did not open or a byte was not taken, 2 usage.\n";

struct ToneName {
    const char* name;
    TestTone tone;
};

const ToneName kTones[] = {
    {"1200", TestTone::Tone1200}, {"2200", TestTone::Tone2200}, {"both", TestTone::Both}, {"stop", TestTone::Stop}};

}  // namespace

int runTone(const Arguments& args) {
    ParsedArguments parsed;
    std::string error;
    if (!parseArguments(args, {{"--port", "-p", true}, {"--trace", nullptr, false}}, parsed, error))
        return usageError("tone", error);
    if (parsed.help) {
        std::fputs(kUsage, stdout);
        return kExitSuccess;
    }
    const std::string* port = lastValue(parsed, "--port");
    if (port == nullptr) return usageError("tone", "give the serial port with -p PORT");
    if (parsed.positionals.size() != 1) return usageError("tone", "give one of 1200, 2200, both or stop");
    const ToneName* chosen = nullptr;
    for (const ToneName& tone : kTones)
        if (parsed.positionals[0] == tone.name) chosen = &tone;
    if (chosen == nullptr)
        return usageError("tone", "give one of 1200, 2200, both or stop, not '" + parsed.positionals[0] + "'");

    ToolContext tool;
    tool.port.portName = *port;
    // The exchange reports only through lastError, and a later success never clears it.
    tool.port.lastError.clear();
    {
        TransferDisplay display(tool.port, hasOption(parsed, "--trace"), false);
        tool.configurator.testTone(chosen->tone);
    }
    if (!tool.port.lastError.empty()) {
        std::fprintf(stderr, "%s\n", visibleText(tool.port.lastError).c_str());
        return kExitFailed;
    }
    std::fprintf(stderr, "Test tone command sent: %s\n", chosen->name);
    return kExitSuccess;
}
