// kavrelcfg tone: the tracker's modem sends a test tone, or stops.
#include <chrono>
#include <charconv>
#include <cstdio>
#include <thread>

#include "cli/argument_parser.h"
#include "cli/commands/commands.h"
#include "cli/device_report.h"
#include "cli/exit_status.h"
#include "cli/compat/interrupts.h"
#include "cli/messages.h"
#include "cli/port_session.h"
#include "cli/compat/system_conventions.h"
#include "cli/tool_context.h"
#include "cli/transfer_display.h"
#include "link/device_transfer.h"

namespace {

const char kUsage[] =
    "Usage: kavrelcfg tone -p PORT [--seconds N] [--trace] 1200|2200|both|stop\n"
    "\n"
    "Sends a test-tone command as the window's tone buttons do: the 1200 Hz tone, the 2200 Hz\n"
    "tone, both, or stop. The tracker does not answer; nothing is read. The tone goes on until\n"
    "'stop' is sent.\n"
    "\n"
    "  -p, --port PORT   the serial port: COM3 on Windows, /dev/ttyUSB0 or a pty elsewhere\n"
    "  --seconds N       send stop after N seconds (1 to 3600), or at once on Ctrl-C; the port is\n"
    "                    held meanwhile, and a stop that fails is tried again for a few seconds\n"
    "  --trace           print the bytes sent\n"
    "\n"
    "Exit status: 0 sent, 1 the port did not open or a byte was not taken, 2 usage, 130 interrupted.\n";

constexpr int kMaxSeconds = 3600;

struct ToneName {
    const char* name;
    TestTone tone;
};

const ToneName kTones[] = {
    {"1200", TestTone::Tone1200}, {"2200", TestTone::Tone2200}, {"both", TestTone::Both}, {"stop", TestTone::Stop}};

constexpr int kStopAttempts = 5;
constexpr auto kStopRetryPause = std::chrono::seconds(1);

// One exchange; false when the port did not open or took not every byte (lastError tells).
bool sendTone(ToolContext& tool, TestTone tone) {
    // The exchange reports only through lastError, and a later success never clears it.
    tool.port.lastError.clear();
    tool.port.lastErrorCode = 0;
    tool.configurator.testTone(tone);
    return tool.port.lastError.empty();
}

// The stop, tried again for a few seconds where the port failed (an adapter pulled and plugged
// back): a transmitter left keyed is worse than a late stop.
bool sendStop(ToolContext& tool) {
    for (int attempt = 1;; ++attempt) {
        if (sendTone(tool, TestTone::Stop)) return true;
        if (attempt == kStopAttempts) return false;
        tool.port.release();  // a handle whose device went away answers nothing again
        std::this_thread::sleep_for(kStopRetryPause);
    }
}

bool parseSeconds(const std::string& text, int& seconds) {
    const auto end = text.data() + text.size();
    const auto parsed = std::from_chars(text.data(), end, seconds);
    return !text.empty() && parsed.ec == std::errc() && parsed.ptr == end && seconds >= 1 && seconds <= kMaxSeconds;
}

}  // namespace

int runTone(const Arguments& args) {
    ParsedArguments parsed;
    std::string error;
    const std::vector<OptionSpec> specs = {{"--port", "-p", true}, {"--seconds", nullptr, true}, {"--trace", nullptr, false}};
    if (!parseArguments(args, specs, parsed, error)) return usageError("tone", error);
    if (parsed.help) return printHelp(kUsage);
    const std::string* port = lastValue(parsed, "--port");
    if (port == nullptr) return usageError("tone", "give the serial port with -p PORT");
    if (!usablePortName(*port, error)) return usageError("tone", error);
    if (parsed.positionals.size() != 1) return usageError("tone", "give one of 1200, 2200, both or stop");
    const ToneName* chosen = nullptr;
    for (const ToneName& tone : kTones)
        if (parsed.positionals[0] == tone.name) chosen = &tone;
    if (chosen == nullptr)
        return usageError("tone", "give one of 1200, 2200, both or stop, not '" + parsed.positionals[0] + "'");
    int seconds = 0;
    const std::string* secondsText = lastValue(parsed, "--seconds");
    if (secondsText != nullptr && !parseSeconds(*secondsText, seconds))
        return usageError("tone", "--seconds takes a whole number from 1 to 3600, not '" + *secondsText + "'");
    if (secondsText != nullptr && chosen->tone == TestTone::Stop) return usageError("tone", "--seconds goes with a tone, not with stop");

    catchInterrupts();
    ToolContext tool;
    tool.port.portName = *port;
    TransferDisplay display(tool.port, hasOption(parsed, "--trace"), false);
    int status = kExitFailed;
    if (!takePort(tool, display, status)) return status;
    if (!sendTone(tool, chosen->tone)) {
        reportPortFailure(*port, tool.port.lastError, tool.port.lastErrorCode, tool.port.handle == -1);
        return kExitFailed;
    }
    printNote(std::string("Test tone command sent: ") + chosen->name);
    if (secondsText == nullptr) return kExitSuccess;
    // The port stays held while the tone sounds, so the stop finds it free.
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (std::chrono::steady_clock::now() < until && !interruptRequested())
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    if (!sendStop(tool)) {
        reportPortFailure(*port, tool.port.lastError, tool.port.lastErrorCode, tool.port.handle == -1);
        printError("the stop did not reach the tracker on " + *port + ": the tone may still be on");
        printHint("'kavrelcfg tone -p " + shellWord(*port) + " stop' stops it, as does switching the tracker off");
        return kExitFailed;
    }
    printNote("Test tone command sent: stop");
    return interruptRequested() ? kExitInterrupted : kExitSuccess;
}
