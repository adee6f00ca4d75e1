// SerialPort on POSIX terminals (Linux, macOS): a device path such as /dev/ttyUSB0 or a pty.
#include "link/serial_port.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <fstream>
#include <string>
#include <thread>

namespace {

// One byte read gives up after 103 ms, as the Windows time-outs give (100 + 3 per byte).
constexpr int kReadTimeoutMs = 103;
// One byte written gives up after 302 ms (300 + 2 per byte).
constexpr int kWriteTimeoutMs = 302;

bool speedFor(std::int32_t baudRate, speed_t& speed) {
    switch (baudRate) {
    case 1200: speed = B1200; return true;
    case 2400: speed = B2400; return true;
    case 4800: speed = B4800; return true;
    case 9600: speed = B9600; return true;
    case 19200: speed = B19200; return true;
    case 38400: speed = B38400; return true;
    case 57600: speed = B57600; return true;
    case 115200: speed = B115200; return true;
    default: return false;
    }
}

bool waitFor(int fd, short events, int timeoutMs) {
    pollfd entry{fd, events, 0};
    int ready;
    do ready = ::poll(&entry, 1, timeoutMs);
    while (ready < 0 && errno == EINTR);
    return ready > 0;
}

void pauseMs(std::int32_t ms) {
    if (ms > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    else
        std::this_thread::yield();
}

int fdOf(std::intptr_t handle) { return static_cast<int>(handle); }

bool sameDevice(const char* path, dev_t device) {
    struct stat other {};
    return ::stat(path, &other) == 0 && S_ISCHR(other.st_mode) && other.st_rdev == device;
}

// A terminal that carries a session (a login on it, or the one kavrelcfg was started from) or the
// system's console is never taken as a tracker's port: raw 9600 baud would take it from its user.
bool carriesSession(int fd) {
    struct stat port {};
    if (::fstat(fd, &port) != 0 || !S_ISCHR(port.st_mode)) return false;
#ifdef TIOCGSID
    pid_t session = 0;
    if (::ioctl(fd, TIOCGSID, &session) == 0) return true;
#endif
    if (sameDevice("/dev/tty", port.st_rdev) || sameDevice("/dev/console", port.st_rdev)) return true;
    // Linux names the terminals its console writes to, such as a serial console on ttyS0.
    std::ifstream active("/sys/class/tty/console/active");
    for (std::string name; active >> name;)
        if (sameDevice(("/dev/" + name).c_str(), port.st_rdev)) return true;
    return false;
}

}  // namespace

struct SerialPort::SavedSettings {
    termios settings;
};

SerialPort::SerialPort() = default;

SerialPort::~SerialPort() { release(); }

bool SerialPort::closeHandle(std::intptr_t systemHandle) {
    const int fd = fdOf(systemHandle);
    // The terminal gets back the settings it had: a port is not left raw at 9600 baud. Draining
    // first lets the last bytes leave at the speed they were sent at.
    if (saved_ != nullptr) ::tcsetattr(fd, TCSADRAIN, &saved_->settings);
    saved_.reset();
    // Exclusive mode belongs to the terminal, not to this descriptor: a pty whose master stays
    // open would refuse every later open by an ordinary user unless it is cleared before closing.
    ::ioctl(fd, TIOCNXCL);
    // POSIX releases the descriptor even when close reports an error, and its number may be
    // handed out again at once: it is never kept for a second close.
    return ::close(fd) == 0;
}

void SerialPort::release() {
    if (heldHandle_ != -1) closeHandle(heldHandle_);
    heldHandle_ = -1;
    if (handle == -1) return;
    closeHandle(handle);
    handle = -1;
    notify(PortEvent::Closed);
}

void SerialPort::discardInput() {
    if (handle != -1) ::tcflush(fdOf(handle), TCIFLUSH);
}

bool SerialPort::open() {
    if (handle != -1) {
        if (held) {
            heldHandle_ = handle;
        } else if (!closeHandle(handle)) {
            fail("Close: Failed", errno);
        }
        handle = -1;
        notify(PortEvent::Closed);
    }
    int fd = -1;
    if (heldHandle_ != -1 && openedName_ == portName) {
        fd = fdOf(heldHandle_);
        heldHandle_ = -1;
        ::tcflush(fd, TCIFLUSH);
    } else {
        if (heldHandle_ != -1) closeHandle(heldHandle_);
        heldHandle_ = -1;
        // O_NONBLOCK keeps open from waiting for a carrier; reads and writes wait with poll.
        fd = ::open(portName.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
        // Exclusive like a Windows COM port: a port another program holds does not open.
        int code = fd < 0 ? errno : 0;
        if (fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) != 0)
            code = errno;
        else if (fd >= 0 && carriesSession(fd))
            code = EBUSY;
        if (code != 0) {
            if (fd >= 0) ::close(fd);
            fail("Could not open Com Port " + portName, code);
            return true;
        }
        openedName_ = portName;
        saved_ = std::make_unique<SavedSettings>();
        if (::tcgetattr(fd, &saved_->settings) != 0) saved_.reset();
    }
    handle = fd;
    termios settings{};
    if (::tcgetattr(fd, &settings) != 0) return releaseRefused("Open: GetCommState failed", errno);
    ::ioctl(fd, TIOCEXCL);
    cfmakeraw(&settings);
    settings.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS);
    settings.c_cflag |= CS8 | CREAD | CLOCAL;
    settings.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
    settings.c_cc[VMIN] = 0;
    settings.c_cc[VTIME] = 0;
    speed_t speed = B9600;
    if (!speedFor(baudRate, speed)) return releaseRefused("Open: SetCommState failed", EINVAL);
    if (::cfsetispeed(&settings, speed) != 0 || ::cfsetospeed(&settings, speed) != 0 ||
        ::tcsetattr(fd, TCSANOW, &settings) != 0)
        return releaseRefused("Open: SetCommState failed", errno);
    // DTR and RTS on while the port is open; a pty has no modem lines and says so, which is fine.
    int lines = TIOCM_DTR | TIOCM_RTS;
    ::ioctl(fd, TIOCMBIS, &lines);
    notify(PortEvent::Opened);
    return false;
}

// A port that refuses its line settings is not kept open, as on Windows, where such a handle
// would have no time-outs: the failure text stays, the port is closed.
bool SerialPort::releaseRefused(const char* text, int code) {
    fail(text, code);
    closeHandle(handle);
    handle = -1;
    return true;
}

std::int32_t SerialPort::writeBytes(std::int32_t count, const std::uint8_t* data, std::int32_t delayMs) {
    if (handle == -1) {
        fail("Write: ComPort Invalid", 0);
        return 0;
    }
    std::int32_t written = 0;
    for (std::int32_t i = 0; i < count; ++i) {
        std::int32_t accepted = 0;
        if (waitFor(fdOf(handle), POLLOUT, kWriteTimeoutMs)) {
            ssize_t n;
            do n = ::write(fdOf(handle), data + i, 1);
            while (n < 0 && errno == EINTR);
            if (n < 0 && errno != EAGAIN) {
                fail("Write: Failed 1", errno);
            } else if (n == 1) {
                accepted = 1;
                notify(PortEvent::Sent, data[i]);
            }
        }
        pauseMs(delayMs);
        written += accepted;
    }
    if (written != count) fail("Write: Failed 2", lastErrorCode);
    return written;
}

bool SerialPort::readByte(std::uint8_t& out) {
    if (handle == -1) {
        fail("Read: ComPort Invalid", 0);
        return false;
    }
    if (!waitFor(fdOf(handle), POLLIN, kReadTimeoutMs)) return false;
    ssize_t n;
    do n = ::read(fdOf(handle), &out, 1);
    while (n < 0 && errno == EINTR);
    // After poll said readable, 0 is end of file: the line hung up and no byte will ever come.
    if ((n < 0 && errno != EAGAIN) || n == 0) {
        fail("Read: Failed 1", n == 0 ? EIO : errno);
        return false;
    }
    if (n == 1) notify(PortEvent::Received, out);
    return n == 1;
}

void SerialPort::close() {
    if (handle == -1) {
        fail("Close: ComPort Invalid", 0);
        return;
    }
    if (held) {
        ::tcflush(fdOf(handle), TCIFLUSH);
        heldHandle_ = handle;
    } else if (!closeHandle(handle)) {
        fail("Close: Failed", errno);
    }
    handle = -1;
    notify(PortEvent::Closed);
}

std::int32_t SerialPort::probe(const std::string& name) {
    portName = name;
    if (open()) return 0;
    close();
    return 1;
}
