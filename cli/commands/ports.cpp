// kavrelcfg ports: the serial ports that open, and with --probe which of them has a tracker.
#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "cli/commands/commands.h"
#include "cli/completion.h"
#include "cli/exit_status.h"
#include "cli/messages.h"
#include "cli/compat/console.h"
#include "cli/compat/interrupts.h"
#include "link/json_output.h"
#include "link/device_transfer.h"
#include "link/port_listing.h"
#include "cli/port_session.h"
#include "cli/compat/system_conventions.h"
#include "platform/byte_text.h"
#include "cli/tool_context.h"
#include "cli/device_run.h"
#include "platform/system_error_text.h"

namespace {

struct PortFound {
    PortEntry port;
    bool tracker = false;
    std::string version;
    std::int32_t model = FirmwareModel::None;
    std::int32_t baud = 0;
};

// false when interrupted.
bool probe(PortFound& found) {
    ToolContext tool;
    tool.port.portName = found.port.name;
    DeviceRun transfer(tool.port, false, false);
    int status = kExitFailed;
    if (!takePort(tool, transfer, status)) return status != kExitInterrupted;
    const TransferEnd end = transfer.request(tool.configurator, TransferOp::VersionOnly, kQuickProbeAttemptsUsed);
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

// The name first; what the port is only for a person at a terminal: scripts of 1.0.0 read each
// line piped to them as a port's name (or name and verdict), and --json carries the description.
void printPortLine(const PortFound& p, bool probing) {
    std::string line = standardOutputIsTerminal() ? p.port.description : std::string();
    if (probing) {
        const std::string verdict = p.tracker ? generationName(p.model) + " at " + std::to_string(p.baud) + " baud"
                                              : "no tracker answered";
        line += (line.empty() ? "" : ": ") + verdict;
    }
    if (line.empty())
        std::printf("%s\n", p.port.name.c_str());
    else
        std::printf("%-20s %s\n", p.port.name.c_str(), line.c_str());
}

}  // namespace

const CommandHelp kPortsHelp = {
    "[PORT]...", 0, SIZE_MAX, nullptr, {Completes::Listed, nullptr, completePorts},
    "Lists, one per line, the serial ports this user can open, without opening any, USB adapters "
    "first: on Linux the terminals with hardware behind them, but for the system's consoles; "
    "/dev/ttyUSB*, /dev/ttyACM*, /dev/ttyS* and /dev/cu.* on other POSIX systems; on Windows the "
    "COM ports present; or the PORTs given. On a terminal, after each port's name comes what it is, "
    "where the system tells: a USB adapter's maker, product, USB numbers and serial number, "
    "\"built-in serial port\", or Windows' name for it; piped, each line holds the name alone. A port that is there but cannot be opened is named on "
    "standard error, with the reason and what to do. With --json it prints a JSON array of "
    "objects: port, description (empty where nothing is known), byId (Linux: the adapter's link "
    "in /dev/serial/by-id, a name that stays the same whichever socket it is plugged into; only "
    "where there is one), and with --probe tracker, version, model (the generation) and baud.\n",
    "Exit status: 0 at least one port can be used (with --probe: a tracker answered), 1 none, 2 "
    "usage, 130 interrupted.\n"};

int runPorts(const CliOptions& options) {
    const bool probing = options.probe;
    catchInterrupts();
    std::vector<PortFound> found;
    std::vector<std::string> hints;
    int unusable = 0;
    const std::vector<PortEntry> listed = listPorts();
    std::vector<PortEntry> ports;
    for (const Operand& operand : options.operands) ports.push_back(describedPort(listed, operand.text));
    const bool named = !ports.empty();
    for (const PortEntry& port : named ? ports : listed) {
        if (interruptRequested()) break;
        const PortState state = portState(port.name);
        if (state.access != PortAccess::Usable) {
            // A name given is reported whatever it is; of the names tried, those that are there.
            if (named || state.access == PortAccess::Refused) {
                reportUnusable(port.name, state, hints);
                ++unusable;
            }
            continue;
        }
        found.push_back(PortFound{port, false, {}, FirmwareModel::None, 0});
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
        Json entry{{"port", p.port.name}, {"description", p.port.description}};
        if (!p.port.byId.empty()) entry["byId"] = p.port.byId;
        if (probing) {
            entry["tracker"] = p.tracker;
            entry["version"] = p.tracker ? jsonText(p.version) : Json(nullptr);
            entry["model"] = p.tracker ? Json(p.model) : Json(nullptr);
            entry["baud"] = p.tracker ? Json(p.baud) : Json(nullptr);
        }
        list.push_back(entry);
        if (!options.json) printPortLine(p, probing);
    }
    if (options.json) printJson(stdout, list);
    if (found.empty()) {
        printError((unusable == 0 ? "no serial port found " : "no serial port here can be used ") +
                   quotedStatus("No COM Ports Found"));
        return kExitFailed;
    }
    return probing && trackers == 0 ? kExitFailed : kExitSuccess;
}
