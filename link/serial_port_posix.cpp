// SerialPort on POSIX terminals (Linux, macOS): a device path such as /dev/ttyUSB0 or a pty.
#include "link/serial_port.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
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

// Exclusive mode belongs to the terminal, not to this descriptor: a pty whose master stays open
// would refuse every later open by an ordinary user unless it is cleared before closing.
int releasePort(int fd) {
    ::ioctl(fd, TIOCNXCL);
    return ::close(fd);
}

}  // namespace

SerialPort::~SerialPort() {
    if (handle != -1) releasePort(fdOf(handle));
}

bool SerialPort::open() {
    if (handle != -1) {
        if (releasePort(fdOf(handle)) != 0) fail("Close: Failed", errno);
        handle = -1;
        notify(PortEvent::Closed);
    }
    // O_NONBLOCK keeps open from waiting for a carrier; reads and writes wait with poll.
    const int fd = ::open(portName.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    // Exclusive like a Windows COM port: a port another program holds does not open.
    if (fd < 0 || ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int code = errno;
        if (fd >= 0) ::close(fd);
        fail("Could not open Com Port " + portName, code);
        return true;
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
    releasePort(fdOf(handle));
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
    // POSIX releases the descriptor even when close reports an error, and its number may be
    // handed out again at once: it is never kept for a second close.
    if (releasePort(fdOf(handle)) != 0) fail("Close: Failed", errno);
    handle = -1;
    notify(PortEvent::Closed);
}

std::int32_t SerialPort::probe(const std::string& name) {
    portName = name;
    if (open()) return 0;
    close();
    return 1;
}
