// kavrelcfg ports: the serial ports that open, and with --probe which of them has a tracker.
#include <cstdio>

#include "cli/argument_parser.h"
#include "cli/commands.h"
#include "cli/exit_status.h"
#include "cli/generation_name.h"
#include "cli/interrupts.h"
#include "cli/json_output.h"
#include "cli/messages.h"
#include "cli/port_names.h"
#include "cli/text_escaping.h"
#include "cli/tool_context.h"
#include "cli/transfer_display.h"

namespace {

const char kUsage[] =
    "Usage: kavrelcfg ports [--probe] [--json] [PORT]...\n"
    "\n"
    "Lists, one per line, the serial ports that open with the tracker's line settings: COM1 to\n"
    "COM256 on Windows; /dev/ttyUSB*, /dev/ttyACM*, /dev/ttyS*, /dev/cu.* and /dev/tty.usbserial*\n"
    "elsewhere; or the PORTs given. A port another program holds does not open.\n"
    "\n"
    "  --probe   ask each port for a tracker's version, once at 9600 and once at 2400 baud (about\n"
    "            a second a port), and show which has a tracker and its generation\n"
    "  --json    print a JSON array of objects: port, and with --probe tracker, version, model, baud\n"
    "\n"
    "Exit status: 0 at least one port opened (with --probe: a tracker answered), 1 none, 2 usage,\n"
    "130 interrupted.\n";

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
    const TransferEnd end = display.request(tool.configurator, VersionOnly, kProbeRetriesUsed);
    found.tracker = tool.configurator.outcome == Outcome::Succeeded;
    found.version = tool.configurator.versionReply;
    found.model = tool.configurator.settings.model;
    found.baud = tool.port.baudRate;
    return end != TransferEnd::Interrupted;
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
    SerialPort port;
    for (const std::string& name : parsed.positionals.empty() ? candidatePortNames() : parsed.positionals) {
        if (interruptRequested()) break;
        if (port.probe(name) != 1) continue;
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
        printError("no serial port opened " + quotedStatus("No COM Ports Found"));
        return kExitFailed;
    }
    return probing && trackers == 0 ? kExitFailed : kExitSuccess;
}
