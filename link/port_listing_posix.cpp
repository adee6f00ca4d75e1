#include "link/port_listing.h"

#include <glob.h>
#include <sys/stat.h>
#include <sys/types.h>
#if __has_include(<sys/sysmacros.h>)  // major() and minor() on Linux; sys/types.h has them elsewhere
#include <sys/sysmacros.h>
#endif
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <filesystem>
#include <fstream>
#include <set>
#include <system_error>

#include "link/sysfs_ports.h"

namespace fs = std::filesystem;

namespace {

// Where the system does not say (no /sys/class/tty): USB serial adapters and modems, on-board
// UARTs, and the macOS call-out nodes (their tty.* twins wait for a carrier when opened).
const char* const kPatterns[] = {"/dev/ttyUSB*", "/dev/ttyACM*", "/dev/ttyS*", "/dev/cu.*"};
const std::string kCallOutPrefix = "/dev/cu.";

bool startsWith(const std::string& text, const std::string& prefix) { return text.compare(0, prefix.size(), prefix) == 0; }

std::string firstLine(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return line;
}

// A text the device holds about itself, fit to print: control characters become blanks, and the
// blanks at either end (USB strings are often padded) go.
std::string deviceText(const fs::path& file) {
    std::string text = firstLine(file);
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
    const std::size_t first = text.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// The folder of the USB device a terminal's device is part of (an interface's parent, the one
// holding idVendor); empty for a UART on the board or on a card.
fs::path usbDeviceFolder(const fs::path& device, const fs::path& sysRoot) {
    std::error_code error;
    for (fs::path folder = fs::canonical(device, error); !error && folder.has_relative_path() && folder != sysRoot;
         folder = folder.parent_path())
        if (fs::exists(folder / "idVendor", error)) return folder;
    return {};
}

// "FTDI FT232R USB UART (USB 0403:6001, serial A50285BI)": what the adapter says of itself, then
// the numbers that tell its chip, which lsusb shows too.
std::string usbDescription(const fs::path& usb) {
    std::string name = deviceText(usb / "manufacturer");
    const std::string product = deviceText(usb / "product");
    if (!product.empty()) name += (name.empty() ? "" : " ") + product;
    if (name.empty()) name = "USB serial adapter";
    std::string numbers = "USB " + deviceText(usb / "idVendor") + ":" + deviceText(usb / "idProduct");
    const std::string serial = deviceText(usb / "serial");
    if (!serial.empty()) numbers += ", serial " + serial;
    return name + " (" + numbers + ")";
}

// The link in byId that leads to node, or empty. stat, as std::filesystem::equivalent refuses to
// compare device nodes.
std::string byIdLink(const fs::path& byId, const fs::path& node) {
    struct stat target {};
    if (::stat(node.c_str(), &target) != 0) return {};
    std::error_code error;
    for (fs::directory_iterator link(byId, error), end; !error && link != end; link.increment(error)) {
        struct stat linked {};
        if (::stat(link->path().c_str(), &linked) == 0 && linked.st_dev == target.st_dev && linked.st_ino == target.st_ino)
            return link->path().string();
    }
    return {};
}

// Other POSIX systems: the usual names, the macOS call-out nodes described by the name the
// system gave them (usbserial-A50285BI).
void addGlobbedPorts(std::vector<PortEntry>& ports) {
    for (const char* pattern : kPatterns) {
        glob_t found{};
        if (glob(pattern, 0, nullptr, &found) == 0)
            for (std::size_t i = 0; i < found.gl_pathc; ++i) {
                const std::string name = found.gl_pathv[i];
                const std::string tail = startsWith(name, kCallOutPrefix) ? name.substr(kCallOutPrefix.size()) : "";
                const bool usb = startsWith(name, "/dev/ttyUSB") || startsWith(name, "/dev/ttyACM") || startsWith(tail, "usb");
                ports.push_back(PortEntry{name, tail, {}, usb});
            }
        globfree(&found);
    }
}

// Linux tells the class of most character devices in /sys/dev/char: a terminal's is tty. Where it
// does not tell (no such entry, as for a pty), any character device may be one.
bool isTerminalDevice(dev_t device) {
    const fs::path entry = "/sys/dev/char/" + std::to_string(major(device)) + ":" + std::to_string(minor(device));
    std::error_code error;
    if (!fs::exists(entry, error)) return true;
    return fs::read_symlink(entry / "subsystem", error).filename() == "tty";
}

}  // namespace

// The terminals with hardware behind them are those with a device; a UART slot where no chip was
// found has type 0, and the consoles carry the system's messages and logins.
bool addSysfsPorts(const SysfsFolders& folders, std::vector<PortEntry>& ports) {
    const fs::path terminals = fs::path(folders.sys) / "class" / "tty";
    std::error_code error;
    fs::directory_iterator entry(terminals, error);
    if (error) return false;
    std::error_code unresolved;
    const fs::path sysRoot = fs::canonical(folders.sys, unresolved);
    std::set<std::string> consoles;
    std::ifstream active(terminals / "console" / "active");
    for (std::string name; active >> name;) consoles.insert(name);
    for (const fs::directory_iterator end; !error && entry != end; entry.increment(error)) {
        const fs::path tty = entry->path();
        const std::string name = tty.filename().string();
        const fs::path node = fs::path(folders.dev) / name;
        std::error_code absent;
        if (!fs::exists(tty / "device", absent) || consoles.count(name) != 0 || firstLine(tty / "type") == "0" ||
            !fs::exists(node, absent))
            continue;
        PortEntry port{node.string(), "built-in serial port", byIdLink(folders.byId, node), false};
        const fs::path usb = usbDeviceFolder(tty / "device", sysRoot);
        if (!usb.empty()) {
            port.description = usbDescription(usb);
            port.usb = true;
        }
        ports.push_back(port);
    }
    return true;
}

std::vector<PortEntry> listPorts() {
    std::vector<PortEntry> ports;
    if (!addSysfsPorts(SysfsFolders{}, ports)) addGlobbedPorts(ports);
    sortPorts(ports);
    return ports;
}

PortState portState(const std::string& name) {
    struct stat info {};
    if (::stat(name.c_str(), &info) != 0) {
        const int code = errno;
        return {code == ENOENT ? PortAccess::Absent : PortAccess::Refused, code};
    }
    if (!S_ISCHR(info.st_mode) || !isTerminalDevice(info.st_rdev)) return {PortAccess::Refused, ENOTTY};
    if (::access(name.c_str(), R_OK | W_OK) != 0) return {PortAccess::Refused, errno};
    return {PortAccess::Usable, 0};
}
