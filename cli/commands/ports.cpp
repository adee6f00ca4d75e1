// kavrelcfg ports: the serial ports that open, and with --probe which of them has a tracker.
#include <algorithm>
#include <cstdio>

#include "cli/argument_parser.h"
#include "cli/commands/commands.h"
#include "cli/exit_status.h"
#include "cli/messages.h"
#include "cli/compat/interrupts.h"
#include "cli/json_output.h"
#include "link/port_listing.h"
#include "cli/port_session.h"
#include "cli/compat/system_conventions.h"
#include "platform/byte_text.h"
#include "cli/tool_context.h"
#include "cli/transfer_display.h"
#include "platform/system_error_text.h"

namespace {

const char kUsage[] =
    "Usage: kavrelcfg ports [--probe] [--json] [PORT]...\n"
    "\n"
    "Lists, one per line, the serial ports this user can open, without opening any: on Linux the\n"
    "terminals with hardware behind them, but for the system's consoles; /dev/ttyUSB*,\n"
    "/dev/ttyACM*, /dev/ttyS*, /dev/cu.* and /dev/tty.usbserial* on other POSIX systems; COM1 to\n"
    "COM256 on Windows; or the PORTs given. A port that is there but cannot be opened is named on\n"
    "standard error, with the reason and what to do.\n"
    "\n"
    "  --probe   ask each port for a tracker's version, once at 9600 and once at 2400 baud (about\n"
    "            a second a port), and show which has a tracker and its generation\n"
    "  --json    print a JSON array of objects: port, and with --probe tracker, version, model, baud\n"
    "\n"
    "Exit status: 0 at least one port can be used (with --probe: a tracker answered), 1 none, 2\n"
    "usage, 130 interrupted.\n";

// Two attempts of the version probe, one at each speed, instead of the window's five.
constexpr std::int32_t kProbeRetriesUsed = 3;

struct PortFound {
    std::string name;
    bool tracker = false;
    std::string version;
    std::int32_t model = None;
    std::int32_t baud = 0;
};

// false when interrupted.
bool probe(PortFound& found) {
    ToolContext tool;
    tool.port.portName = found.name;
    TransferDisplay display(tool.port, false, false);
    int status = kExitFailed;
    if (!takePort(tool, display, status)) return status != kExitInterrupted;
    const TransferEnd end = display.request(tool.configurator, VersionOnly, kProbeRetriesUsed);
    found.tracker = tool.configurator.outcome == Outcome::Succeeded;
    found.version = tool.configurator.versionReply;
    found.model = tool.configurator.settings.model;
    found.baud = tool.port.baudRate;
    return end != TransferEnd::Interrupted;
}

// A port that is there and cannot be used: named with the system's reason; each hint once.
void reportUnusable(const std::string& name, const PortState& state, std::vector<std::string>& hints) {
    printWarning("cannot use " + name + ": " + systemErrorText(state.code));
    const std::string hint = portOpenHint(name, state.code);
    if (hint.empty() || std::find(hints.begin(), hints.end(), hint) != hints.end()) return;
    hints.push_back(hint);
    printHint(hint);
}

}  // namespace

int runPorts(const Arguments& args) {
    ParsedArguments parsed;
    std::string error;
    if (!parseArguments(args, {{"--probe", nullptr, false}, {"--json", nullptr, false}}, parsed, error))
        return usageError("ports", error);
    if (parsed.help) return printHelp(kUsage);
    const bool probing = hasOption(parsed, "--probe");
    catchInterrupts();
    std::vector<PortFound> found;
    std::vector<std::string> hints;
    int unusable = 0;
    const bool named = !parsed.positionals.empty();
    for (const std::string& name : named ? parsed.positionals : candidatePortNames()) {
        if (interruptRequested()) break;
        const PortState state = portState(name);
        if (state.access != PortAccess::Usable) {
            // A name given is reported whatever it is; of the names tried, those that are there.
            if (named || state.access == PortAccess::Refused) {
                reportUnusable(name, state, hints);
                ++unusable;
            }
            continue;
        }
        found.push_back(PortFound{name, false, {}, None, 0});
        if (probing && !probe(found.back())) break;
    }
    if (interruptRequested()) {
        printError("interrupted");
        return kExitInterrupted;
    }
    int trackers = 0;
    Json list = Json::array();
    for (const PortFound& p : found) {
        trackers += p.tracker ? 1 : 0;
        Json entry{{"port", p.name}};
        if (probing) {
            entry["tracker"] = p.tracker;
            entry["version"] = p.tracker ? jsonText(p.version) : Json(nullptr);
            entry["model"] = p.tracker ? Json(p.model) : Json(nullptr);
            entry["baud"] = p.tracker ? Json(p.baud) : Json(nullptr);
        }
        list.push_back(entry);
        if (hasOption(parsed, "--json")) continue;
        if (!probing)
            std::printf("%s\n", p.name.c_str());
        else if (p.tracker)
            std::printf("%-20s %s at %d baud\n", p.name.c_str(), generationName(p.model).c_str(), static_cast<int>(p.baud));
        else
            std::printf("%-20s no tracker answered\n", p.name.c_str());
    }
    if (hasOption(parsed, "--json")) printJson(stdout, list);
    if (found.empty()) {
        printError((unusable == 0 ? "no serial port found " : "no serial port here can be used ") +
                   quotedStatus("No COM Ports Found"));
        return kExitFailed;
    }
    return probing && trackers == 0 ? kExitFailed : kExitSuccess;
}
