#include "cli/compat/system_conventions.h"

#include <grp.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>

namespace {

// The group that owns the device, or empty.
std::string deviceGroup(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return {};
    const group* owner = ::getgrgid(info.st_gid);
    return owner != nullptr ? owner->gr_name : std::string();
}

}  // namespace

std::string portOpenHint(const std::string& portName, int errorCode) {
    switch (errorCode) {
    case EACCES:
    case EPERM: {
        const std::string group = deviceGroup(portName);
        if (group.empty() || group == "root") return "you have no access to " + portName + "; ask its owner for it";
        // Logins and consoles hand their terminal to the group tty: joining it is no way in.
        if (group == "tty")
            return portName + " is a terminal in use by a login or a console; end that (a serial console or "
                              "getty on it) to use it as a port";
        return portName + " belongs to the group '" + group + "': add yourself with 'sudo usermod -aG " + group +
               " $USER', then log in again";
    }
    case ENOENT:
        return "'kavrelcfg ports' lists the serial ports here";
    case EBUSY:
    case EWOULDBLOCK:
        return portName + " is in use: by another program, a login on it, or the system's console; free it "
                          "and try again";
    case ENOTTY:
    case EINVAL:
        return portName + " is not a serial port; 'kavrelcfg ports' lists the serial ports here";
    case EIO:
    case ENXIO:
        return "no serial hardware answers at " + portName + "; is the adapter plugged in?";
    default:
        return {};
    }
}
