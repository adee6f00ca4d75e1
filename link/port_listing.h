// The serial ports of this system, found without opening any of them: opening a port sets its
// line and raises its modem lines, which a serial console or a GPS on it would not survive.
// port_listing_posix.cpp and port_listing_win32.cpp implement the listing and portState; CMake
// picks one. port_listing.cpp holds what both share.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A port and what a user knows it by.
struct PortEntry {
    std::string name;         // what to open: /dev/ttyUSB0, COM3
    // UTF-8 without control characters: a USB adapter's maker, product and serial number, a
    // built-in port said to be one, or the system's name for it; empty where nothing is known.
    std::string description;
    std::string byId;         // its link in /dev/serial/by-id, which stays the adapter's; else empty
    bool usb = false;         // a USB adapter: a tracker's cable is one far more often than not
};

// The ports present, in sortPorts' order. Linux: the terminals with hardware behind them, but for
// the consoles; other POSIX systems: the usual device names; Windows: the devices of the Ports
// class and the ports the serial drivers announce.
std::vector<PortEntry> listPorts();

// A port the user named, with what the listing knows of it (found by its name or its by-id
// link); a name the listing does not hold, such as a pty, comes back bare.
PortEntry describedPort(const std::vector<PortEntry>& listed, const std::string& name);

// The listing's order: USB adapters first, then by name, a trailing number by its value, so that
// ttyS9 comes before ttyS10 and COM9 before COM10.
void sortPorts(std::vector<PortEntry>& ports);

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
