#include "link/port_listing.h"

#include <glob.h>
#include <sys/stat.h>
#include <sys/types.h>
#if __has_include(<sys/sysmacros.h>)  // major() and minor() on Linux; sys/types.h has them elsewhere
#include <sys/sysmacros.h>
#endif
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <filesystem>
#include <fstream>
#include <set>
#include <system_error>


namespace fs = std::filesystem;

namespace {

// Where the system does not say (no /sys/class/tty): USB serial adapters and modems, on-board
// UARTs, and the macOS call-out and USB nodes.
const char* const kPatterns[] = {"/dev/ttyUSB*", "/dev/ttyACM*", "/dev/ttyS*", "/dev/cu.*", "/dev/tty.usbserial*"};

// The name split into its text and its trailing number, so that ttyS2 comes before ttyS10.
struct NameKey {
    std::string stem;
    std::size_t digits;
    std::string number;
};

NameKey keyOf(const std::string& name) {
    std::size_t cut = name.size();
    while (cut > 0 && name[cut - 1] >= '0' && name[cut - 1] <= '9') --cut;
    return {name.substr(0, cut), name.size() - cut, name.substr(cut)};
}

// USB adapters and modems first: a tracker's cable is one of them far more often than not.
int rank(const std::string& name) {
    const std::string stem = keyOf(name).stem;
    return stem == "/dev/ttyUSB" ? 0 : stem == "/dev/ttyACM" ? 1 : 2;
}

std::string firstLine(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return line;
}

// Linux names the terminals with hardware behind them in /sys/class/tty (those with a device);
// a UART slot where no chip was found has type 0, and the consoles carry the system's messages
// and logins. false where there is no such folder.
bool listedBySystem(std::vector<std::string>& names) {
    std::error_code error;
    fs::directory_iterator entries("/sys/class/tty", error);
    if (error) return false;
    std::set<std::string> consoles;
    std::ifstream active("/sys/class/tty/console/active");
    for (std::string name; active >> name;) consoles.insert(name);
    for (const fs::directory_entry& entry : entries) {
        const std::string name = entry.path().filename().string();
        if (!fs::exists(entry.path() / "device", error) || consoles.count(name) != 0) continue;
        if (fs::exists(entry.path() / "type", error) && firstLine(entry.path() / "type") == "0") continue;
        if (fs::exists("/dev/" + name, error)) names.push_back("/dev/" + name);
    }
    return true;
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

bool portNameBefore(const std::string& a, const std::string& b) {
    const NameKey ka = keyOf(a);
    const NameKey kb = keyOf(b);
    if (ka.stem != kb.stem) return ka.stem < kb.stem;
    if (ka.digits != kb.digits) return ka.digits < kb.digits;
    return ka.number < kb.number;
}

std::vector<std::string> candidatePortNames() {
    std::vector<std::string> names;
    if (!listedBySystem(names)) {
        for (const char* pattern : kPatterns) {
            glob_t found{};
            if (glob(pattern, 0, nullptr, &found) == 0)
                for (std::size_t i = 0; i < found.gl_pathc; ++i) names.push_back(found.gl_pathv[i]);
            globfree(&found);
        }
    }
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return rank(a) != rank(b) ? rank(a) < rank(b) : portNameBefore(a, b);
    });
    return names;
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
