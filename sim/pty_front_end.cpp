#include "sim/pty_front_end.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "platform/byte_text.h"

namespace {

// How long the loop sleeps at most: short while nobody has the port open, since a host that opens
// it writes its command at once.
constexpr SimTime kIdleSliceHostPresent = millis(20);
constexpr SimTime kIdleSliceHostAbsent = millis(3);

struct SpeedName {
    speed_t speed;
    std::int32_t baud;
};
const SpeedName kSpeeds[] = {{B1200, 1200},   {B2400, 2400},   {B4800, 4800},   {B9600, 9600},
                             {B19200, 19200}, {B38400, 38400}, {B57600, 57600}, {B115200, 115200}};

speed_t speedOf(std::int32_t baud) {
    for (const SpeedName& entry : kSpeeds)
        if (entry.baud == baud) return entry.speed;
    return B9600;
}

// Raw 8N1 at the given speed, no flow control.
bool makeRaw(int fd, std::int32_t baud) {
    termios settings{};
    if (::tcgetattr(fd, &settings) != 0) return false;
    cfmakeraw(&settings);
    settings.c_cflag &= ~static_cast<tcflag_t>(CSTOPB | PARENB | CRTSCTS);
    settings.c_cflag |= CS8 | CREAD | CLOCAL;
    settings.c_cc[VMIN] = 0;
    settings.c_cc[VTIME] = 0;
    return ::cfsetispeed(&settings, speedOf(baud)) == 0 && ::cfsetospeed(&settings, speedOf(baud)) == 0 &&
           ::tcsetattr(fd, TCSANOW, &settings) == 0;
}

const char* kindName(WireKind kind) {
    switch (kind) {
    case WireKind::FromHost: return "host>";
    case WireKind::Heard: return "heard";
    case WireKind::Ignored: return "deaf";
    case WireKind::ToHost: return "<sim";
    case WireKind::Lost: return "lost";
    }
    return "?";
}

}  // namespace

PtyFrontEnd::PtyFrontEnd(TrackerEngine& engine, const FrontEndOptions& options) : engine_(engine), options_(options) {}

PtyFrontEnd::~PtyFrontEnd() { closeLine(); }

SimTime PtyFrontEnd::now() const {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() - epoch_).count();
}

bool PtyFrontEnd::open(std::string& error) {
    epoch_ = std::chrono::steady_clock::now();
    const std::int32_t baud = engine_.options().lineBaud;
    if (!options_.devicePath.empty()) {
        isPty_ = false;
        path_ = options_.devicePath;
        fd_ = ::open(path_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fd_ < 0 || !makeRaw(fd_, baud)) {
            error = "cannot open " + path_ + ": " + std::strerror(errno);
            return false;
        }
    } else {
        fd_ = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (fd_ < 0 || ::grantpt(fd_) != 0 || ::unlockpt(fd_) != 0) {
            error = std::string("cannot make a pty: ") + std::strerror(errno);
            return false;
        }
        ::fcntl(fd_, F_SETFD, FD_CLOEXEC);
        ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) | O_NONBLOCK);
        char name[128] = {};
        if (::ptsname_r(fd_, name, sizeof name) != 0) {
            error = std::string("cannot name the pty: ") + std::strerror(errno);
            return false;
        }
        path_ = name;
        // Opening and closing the slave once sets it raw and makes the master report a hang-up
        // until the host opens it; a master that never had a slave reports nothing.
        const int slave = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (slave < 0 || !makeRaw(slave, baud)) {
            error = "cannot set up " + path_ + ": " + std::strerror(errno);
            if (slave >= 0) ::close(slave);
            return false;
        }
        ::close(slave);
    }
    if (!options_.linkPath.empty()) {
        struct stat existing {};
        if (::lstat(options_.linkPath.c_str(), &existing) == 0 && S_ISLNK(existing.st_mode))
            ::unlink(options_.linkPath.c_str());
        if (::symlink(path_.c_str(), options_.linkPath.c_str()) != 0) {
            error = "cannot link " + options_.linkPath + ": " + std::strerror(errno);
            return false;
        }
        linked_ = true;
    }
    return true;
}

std::int32_t PtyFrontEnd::hostBaud() const {
    if (!isPty_) return engine_.options().lineBaud;  // a real line garbles on its own
    // On Linux the master reads and writes the slave's settings.
    termios settings{};
    if (::tcgetattr(fd_, &settings) == 0) {
        const speed_t speed = cfgetospeed(&settings);
        for (const SpeedName& entry : kSpeeds)
            if (entry.speed == speed) return entry.baud;
    }
    return engine_.options().lineBaud;
}

bool PtyFrontEnd::serve(const std::atomic<bool>& stop) {
    while (!stop.load() && fd_ >= 0) {
        pollfd entry{fd_, POLLIN, 0};
        ::poll(&entry, 1, 0);
        const bool hostPresent = !isPty_ || (entry.revents & POLLHUP) == 0;
        exchange(hostPresent);
        if (engine_.hungUp()) {
            closeLine();
            return true;
        }
        waitForWork(hostPresent);
    }
    return false;
}

void PtyFrontEnd::exchange(bool hostPresent) {
    // Bytes the host wrote stay readable after it has closed its port.
    std::uint8_t buffer[256];
    ssize_t got;
    do got = ::read(fd_, buffer, sizeof buffer);
    while (got < 0 && errno == EINTR);
    // The speed is read after the bytes: the host sets it before it writes.
    const SimTime arrived = now();
    engine_.setHost(hostPresent, hostBaud(), arrived);
    for (ssize_t i = 0; i < got; ++i) engine_.fromHost(buffer[i], arrived);

    engine_.advance(now());
    const std::vector<std::uint8_t> out = engine_.takeForHost();
    std::size_t done = 0;
    while (hostPresent && done < out.size()) {
        const ssize_t n = ::write(fd_, out.data() + done, out.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;  // a host that does not read loses what does not fit, as in a UART
        done += static_cast<std::size_t>(n);
    }
    printTrace();
}

void PtyFrontEnd::waitForWork(bool hostPresent) {
    const SimTime start = now();
    const SimTime slice = hostPresent ? kIdleSliceHostPresent : kIdleSliceHostAbsent;
    const SimTime wait = std::clamp<SimTime>(engine_.nextWake() - start, 0, slice);
    timespec timeout{static_cast<time_t>(wait / 1000000000), static_cast<long>(wait % 1000000000)};
    if (hostPresent) {
        pollfd entry{fd_, POLLIN, 0};
        ::ppoll(&entry, 1, &timeout, nullptr);
    } else {
        // The master reports the hang-up at once: poll would not wait.
        ::nanosleep(&timeout, nullptr);
    }
}

void PtyFrontEnd::printTrace() {
    const std::vector<WireEvent>& events = engine_.events();
    if (options_.trace != nullptr && printed_ < events.size()) {
        for (std::size_t i = printed_; i < events.size(); ++i) {
            const WireEvent& event = events[i];
            const int c = event.byte >= 0x20 && event.byte < 0x7F ? event.byte : '.';
            std::fprintf(options_.trace, "%12.3f ms  %-5s %s %c  %d baud\n", static_cast<double>(event.time) / 1e6,
                         kindName(event.kind), hexByte(event.byte).c_str(), c, event.hostBaud);
        }
        std::fflush(options_.trace);
    }
    printed_ = events.size();
    if (!options_.keepEvents) {
        engine_.clearEvents();
        printed_ = 0;
    }
}

void PtyFrontEnd::closeLine() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (linked_) ::unlink(options_.linkPath.c_str());
    linked_ = false;
}
