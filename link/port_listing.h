// The serial ports of this system, found without opening any of them: opening a port sets its
// line and raises its modem lines, which a serial console or a GPS on it would not survive.
// port_listing_posix.cpp and port_listing_win32.cpp implement it; CMake picks one.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The ports present, adapters first: on Linux the terminals with hardware behind them, but for
// the consoles; elsewhere the usual device names; on Windows COM1 to COM256.
std::vector<std::string> candidatePortNames();

enum class PortAccess : std::uint8_t {
    Usable,   // it exists and this user may open it for reading and writing
    Absent,   // no such port
    Refused,  // it exists but cannot be used: code tells why
};
struct PortState {
    PortAccess access = PortAccess::Absent;
    int code = 0;  // the system's error code
};
// What can be told of a port without opening it (on Windows, where nothing can, it is opened
// and closed again).
PortState portState(const std::string& name);

// The order of the POSIX listing: by name, and a trailing number by its value, so that ttyS2
// comes before ttyS10.
bool portNameBefore(const std::string& a, const std::string& b);
