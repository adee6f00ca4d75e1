#include "link/port_listing.h"

#include <windows.h>

#include "link/serial_port.h"

// COM1 to COM256, the names the Windows serial drivers hand out.
std::vector<std::string> candidatePortNames() {
    std::vector<std::string> names;
    for (int n = 1; n <= 256; ++n) names.push_back("COM" + std::to_string(n));
    return names;
}

// Windows tells whether a COM port may be opened only by opening it; closing it again drops its
// modem lines, and every program sets the line it needs when it opens one.
PortState portState(const std::string& name) {
    SerialPort port;
    if (port.probe(name) == 1) return {PortAccess::Usable, 0};
    const int code = port.lastErrorCode;
    const bool absent = code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND;
    return {absent ? PortAccess::Absent : PortAccess::Refused, code};
}
