// kavrelcfg ports: the serial ports that open.
#include <cstdio>

#include "cli/argument_parser.h"
#include "cli/commands.h"
#include "cli/exit_status.h"
#include "cli/port_names.h"
#include "link/serial_port.h"

namespace {

const char kUsage[] =
    "Usage: kavrelcfg ports\n"
    "\n"
    "Lists, one per line, the serial ports that open with the tracker's line settings:\n"
    "COM1 to COM256 on Windows; /dev/ttyUSB*, /dev/ttyACM*, /dev/ttyS*, /dev/cu.* and\n"
    "/dev/tty.usbserial* elsewhere. A port another program holds does not open.\n"
    "\n"
    "Exit status: 0 at least one port opened, 1 none did, 2 usage.\n";

}  // namespace

int runPorts(const Arguments& args) {
    ParsedArguments parsed;
    std::string error;
    if (!parseArguments(args, {}, parsed, error)) return usageError("ports", error);
    if (parsed.help) {
        std::fputs(kUsage, stdout);
        return kExitSuccess;
    }
    if (!parsed.positionals.empty()) return usageError("ports", "unexpected argument '" + parsed.positionals[0] + "'");
    SerialPort port;
    int found = 0;
    for (const std::string& name : candidatePortNames()) {
        if (port.probe(name) == 1) {
            std::printf("%s\n", name.c_str());
            ++found;
        }
    }
    if (found == 0) {
        std::fprintf(stderr, "No COM Ports Found\n");
        return kExitFailed;
    }
    return kExitSuccess;
}
