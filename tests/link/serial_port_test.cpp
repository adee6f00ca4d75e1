// The POSIX SerialPort against a bare pty.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <string>

#include "link/device_transfer.h"
#include "link/serial_port.h"
#include "platform/system_error_text.h"
#include "simulated_tracker.h"

namespace {

const char kMissingPort[] = "/dev/kavrel-no-such-port";

long long millisSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
}

std::string drainMaster(int master) {
    std::string bytes;
    char buffer[256];
    for (ssize_t n; (n = ::read(master, buffer, sizeof buffer)) > 0;) bytes.append(buffer, static_cast<std::size_t>(n));
    return bytes;
}

struct OpenPort {
    OpenPort() { port.portName = pty.path(); }
    BarePty pty;
    SerialPort port;
};

}  // namespace

TEST(SerialPort, EveryFailureNamesItsOperationAndTheSystemsReason) {
    OpenPort hungUp;
    ASSERT_FALSE(hungUp.port.open());
    hungUp.pty.hangUp();
    SerialPort closed;
    const struct {
        SerialPort* port;
        const char* read;
        const char* write;
        int code;
    } cases[] = {{&closed, "Read: ComPort Invalid", "Write: ComPort Invalid", 0},
                 {&hungUp.port, "Read: Failed 1", "Write: Failed 2", EIO}};
    const std::uint8_t byte = 0x1B;
    std::uint8_t got = 0;
    for (const auto& c : cases) {
        EXPECT_FALSE(c.port->readByte(got));
        EXPECT_EQ(c.port->lastError, c.read);
        EXPECT_EQ(c.port->lastErrorCode, c.code);
        EXPECT_EQ(c.port->writeBytes(1, &byte, 0), 0);
        EXPECT_EQ(c.port->lastError, c.write);
    }
    closed.close();
    EXPECT_EQ(closed.lastError, "Close: ComPort Invalid");
    EXPECT_EQ(systemErrorText(0), "");  // no reason where the system gave none

    // A failed open releases the old handle; its text outlives the next success.
    const struct {
        const char* name;  // empty: the pty, which refuses the speed
        std::int32_t baud;
        std::string error;
        int code;
    } opens[] = {{kMissingPort, 9600, std::string("Could not open Com Port ") + kMissingPort, ENOENT},
                 {"/dev/null", 9600, "Open: GetCommState failed", ENOTTY},
                 {"", 12345, "Open: SetCommState failed", EINVAL}};
    for (const auto& c : opens) {
        OpenPort open;
        ASSERT_FALSE(open.port.open());
        if (*c.name) open.port.portName = c.name;
        open.port.baudRate = c.baud;
        EXPECT_TRUE(open.port.open());
        EXPECT_EQ(open.port.lastError, c.error);
        EXPECT_EQ(open.port.lastErrorCode, c.code);
        EXPECT_EQ(open.port.handle, -1);
        open.port.portName = open.pty.path();
        open.port.baudRate = 9600;
        EXPECT_FALSE(open.port.open());
        EXPECT_EQ(open.port.lastError, c.error) << c.error;
    }
}

TEST(SerialPort, OpensRaw8N1AtItsSpeedWithoutFlowControl) {
    for (std::int32_t baud : {9600, 2400}) {
        OpenPort open;
        open.port.baudRate = baud;
        ASSERT_FALSE(open.port.open()) << open.port.lastError;
        termios settings{};
        ASSERT_EQ(::tcgetattr(open.pty.master(), &settings), 0);  // the master reads the slave's settings
        EXPECT_EQ(cfgetospeed(&settings), baud == 9600 ? B9600 : B2400);
        EXPECT_EQ(settings.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS), static_cast<tcflag_t>(CS8));
        EXPECT_EQ(settings.c_iflag & (IXON | IXOFF | ICRNL | ISTRIP), 0u);
        EXPECT_EQ(settings.c_lflag & (ICANON | ECHO | ISIG), 0u);
        EXPECT_EQ(settings.c_oflag & OPOST, 0u);
    }
}

TEST(SerialPort, WritesPacedAndReadsOneByteAtATimeUntilTheTimeoutAsItsObserverSees) {
    OpenPort open;
    std::string seen;  // O open, S sent, R received, C closed, each byte after its letter
    const PortObserver observer{&seen, [](void* context, PortEvent event, std::uint8_t value, std::chrono::steady_clock::time_point) {
                                    auto& text = *static_cast<std::string*>(context);
                                    text += "OSRC"[static_cast<int>(event)];
                                    if (event == PortEvent::Sent || event == PortEvent::Received) text += static_cast<char>(value);
                                }};
    open.port.observer = &observer;
    ASSERT_FALSE(open.port.open());
    const std::uint8_t bytes[] = {0x1B, 'D', 0x00, 0x0D, 0x0A, 0xFF, 0x11, 0x13};
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(open.port.writeBytes(8, bytes, 10), 8);
    EXPECT_GE(millisSince(start), 80);
    // No translation either way: CR, LF, NUL, XON and XOFF are data.
    EXPECT_EQ(drainMaster(open.pty.master()), std::string(reinterpret_cast<const char*>(bytes), 8));
    ASSERT_EQ(::write(open.pty.master(), "\r\n\x11", 3), 3);
    std::uint8_t got = 0;
    for (std::uint8_t expected : {std::uint8_t{'\r'}, std::uint8_t{'\n'}, std::uint8_t{0x11}}) {
        ASSERT_TRUE(open.port.readByte(got));
        EXPECT_EQ(got, expected);
    }
    start = std::chrono::steady_clock::now();
    EXPECT_FALSE(open.port.readByte(got));
    EXPECT_GE(millisSince(start), 100);
    EXPECT_EQ(open.port.lastError, "");
    open.port.close();
    EXPECT_EQ(seen, std::string("OS\x1B" "SDS\0S\rS\nS\xFF" "S\x11" "S\x13" "R\rR\nR\x11" "C", 24));
}

// Released, the terminal is as it was: its own settings, not in exclusive mode.
TEST(SerialPort, IsExclusiveWhileOpenOrHeldAndLeavesTheTerminalAsItWas) {
    OpenPort first;
    SerialPort second;
    termios before{};
    ASSERT_EQ(::tcgetattr(first.pty.master(), &before), 0);
    first.port.held = true;
    ASSERT_FALSE(first.port.open());
    ASSERT_FALSE(first.port.open());  // opened again while open: the same handle, none left behind
    EXPECT_EQ(second.probe(first.pty.path()), 0);
    EXPECT_EQ(second.lastError, "Could not open Com Port " + first.pty.path());
    sendTestTone(second, TestTone::Both);  // a tone on a port that does not open sends nothing
    first.port.close();
    EXPECT_EQ(second.probe(first.pty.path()), 0);
    ASSERT_EQ(::write(first.pty.master(), "late", 4), 4);
    sendTestTone(first.port, TestTone::Stop);
    std::uint8_t got = 0;
    ASSERT_FALSE(first.port.open());
    EXPECT_FALSE(first.port.readByte(got)) << "a byte that came while closed: " << got;
    first.port.release();
    EXPECT_EQ(first.port.handle, -1);
    EXPECT_EQ(drainMaster(first.pty.master()), "\x1B\x1B\x1B");
    termios after{};
    ASSERT_EQ(::tcgetattr(first.pty.master(), &after), 0);
    EXPECT_EQ(std::memcmp(&after, &before, sizeof before), 0) << "the terminal's own settings were not put back";
    const int other = ::open(first.pty.path().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(other, 0);
    int exclusive = -1;
    ASSERT_EQ(::ioctl(other, TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 0);
    ::close(other);
    EXPECT_EQ(second.probe(first.pty.path()), 1);
    EXPECT_EQ(second.handle, -1);
}

TEST(SerialPort, NeverTakesATerminalThatCarriesASession) {
    BarePty pty;
    const pid_t child = ::fork();
    if (child == 0) {  // the pty becomes the controlling terminal of a new session
        const int terminal = ::setsid() < 0 ? -1 : ::open(pty.path().c_str(), O_RDWR);
        SerialPort port;
        port.portName = pty.path();
        ::_exit(terminal >= 0 && ::ioctl(terminal, TIOCSCTTY, 0) == 0 && port.open() && port.lastErrorCode == EBUSY ? 0 : 1);
    }
    int status = -1;
    ::waitpid(child, &status, 0);
    EXPECT_EQ(status, 0) << "a session's terminal was taken as a port";
}
