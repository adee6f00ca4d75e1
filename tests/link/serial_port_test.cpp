// The POSIX SerialPort against a bare pty: its line settings, its time-outs and the lastError text
// of every failure it can meet.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

#include "link/device_transfer.h"
#include "link/serial_port.h"
#include "simulated_tracker.h"

namespace {

using Clock = std::chrono::steady_clock;

long long millisSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

std::string drainMaster(int master) {
    std::string bytes;
    char buffer[256];
    ssize_t n;
    while ((n = ::read(master, buffer, sizeof buffer)) > 0) bytes.append(buffer, static_cast<std::size_t>(n));
    return bytes;
}

}  // namespace

TEST(SerialPort, FailuresOnAClosedPortNameTheOperation) {
    SerialPort port;
    const std::uint8_t byte = 0x55;
    std::uint8_t got = 0;
    EXPECT_EQ(port.writeBytes(1, &byte, 0), 0);
    EXPECT_EQ(port.lastError, "Write: ComPort Invalid");
    EXPECT_FALSE(port.readByte(got));
    EXPECT_EQ(port.lastError, "Read: ComPort Invalid");
    port.close();
    EXPECT_EQ(port.lastError, "Close: ComPort Invalid");
    EXPECT_EQ(port.handle, -1);
}

TEST(SerialPort, MissingDeviceDoesNotOpenAndAFailureTextOutlivesALaterSuccess) {
    BarePty pty;
    SerialPort port;
    port.portName = "/dev/kavrel-no-such-port";
    EXPECT_TRUE(port.open());
    EXPECT_EQ(port.lastError, "Could not open Com Port /dev/kavrel-no-such-port");
    EXPECT_EQ(port.handle, -1);
    port.portName = pty.path();
    EXPECT_FALSE(port.open());
    EXPECT_EQ(port.lastError, "Could not open Com Port /dev/kavrel-no-such-port");
}

TEST(SerialPort, ANonTerminalOpensButRefusesItsSettingsAndStaysOpen) {
    SerialPort port;
    port.portName = "/dev/null";
    EXPECT_TRUE(port.open());
    EXPECT_EQ(port.lastError, "Open: GetCommState failed");
    // Released at once: nothing is left open that a read could wait on.
    EXPECT_EQ(port.handle, -1);
    std::uint8_t byte = 0;
    EXPECT_FALSE(port.readByte(byte));
    EXPECT_EQ(port.lastError, "Read: ComPort Invalid");
}

TEST(SerialPort, UnsupportedSpeedIsRefused) {
    BarePty pty;
    SerialPort port;
    port.portName = pty.path();
    port.baudRate = 12345;
    EXPECT_TRUE(port.open());
    EXPECT_EQ(port.lastError, "Open: SetCommState failed");
    EXPECT_EQ(port.handle, -1);
}

TEST(SerialPort, OpensRaw8N1AtItsSpeedWithoutFlowControl) {
    for (std::int32_t baud : {9600, 2400}) {
        BarePty pty;
        SerialPort port;
        port.portName = pty.path();
        port.baudRate = baud;
        ASSERT_FALSE(port.open()) << port.lastError;
        termios settings{};
        ASSERT_EQ(::tcgetattr(pty.master(), &settings), 0);  // the master reads the slave's settings
        EXPECT_EQ(cfgetospeed(&settings), baud == 9600 ? B9600 : B2400);
        EXPECT_EQ(cfgetispeed(&settings), baud == 9600 ? B9600 : B2400);
        EXPECT_EQ(settings.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
        EXPECT_EQ(settings.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
        EXPECT_EQ(settings.c_iflag & (IXON | IXOFF | ICRNL | ISTRIP), 0u);
        EXPECT_EQ(settings.c_lflag & (ICANON | ECHO | ISIG), 0u);
        EXPECT_EQ(settings.c_oflag & OPOST, 0u);
    }
}

TEST(SerialPort, WritesEveryByteAndPausesAfterEach) {
    BarePty pty;
    SerialPort port;
    port.portName = pty.path();
    ASSERT_FALSE(port.open());
    const std::uint8_t bytes[] = {0x1B, 'D', 0x00, 0x0D, 0x0A, 0xFF, 0x11, 0x13};
    const auto start = Clock::now();
    EXPECT_EQ(port.writeBytes(8, bytes, 10), 8);
    EXPECT_GE(millisSince(start), 80);
    // No translation on the way: CR, LF, NUL, XON and XOFF are data.
    EXPECT_EQ(drainMaster(pty.master()), std::string(reinterpret_cast<const char*>(bytes), 8));
    EXPECT_EQ(port.writeBytes(0, bytes, 10), 0);
    EXPECT_EQ(port.lastError, "");
}

TEST(SerialPort, ReadsOneByteAtATimeAndGivesUpAfterTheTimeout) {
    BarePty pty;
    SerialPort port;
    port.portName = pty.path();
    ASSERT_FALSE(port.open());
    ASSERT_EQ(::write(pty.master(), "\r\n\x11", 3), 3);
    std::uint8_t got = 0;
    for (std::uint8_t expected : {std::uint8_t{'\r'}, std::uint8_t{'\n'}, std::uint8_t{0x11}}) {
        ASSERT_TRUE(port.readByte(got));
        EXPECT_EQ(got, expected);
    }
    const auto start = Clock::now();
    EXPECT_FALSE(port.readByte(got));
    EXPECT_GE(millisSince(start), 100);
    EXPECT_EQ(port.lastError, "");
}

TEST(SerialPort, ALineThatHangsUpFailsReadsAndWrites) {
    BarePty pty;
    SerialPort port;
    port.portName = pty.path();
    ASSERT_FALSE(port.open());
    pty.hangUp();
    std::uint8_t got = 0;
    EXPECT_FALSE(port.readByte(got));
    EXPECT_EQ(port.lastError, "Read: Failed 1");
    const std::uint8_t byte = 0x1B;
    EXPECT_EQ(port.writeBytes(1, &byte, 0), 0);
    EXPECT_EQ(port.lastError, "Write: Failed 2");
    port.close();
    EXPECT_EQ(port.handle, -1);
    EXPECT_TRUE(port.open());
    EXPECT_EQ(port.lastError, "Could not open Com Port " + pty.path());
}

TEST(SerialPort, IsExclusiveWhileOpenAndFreeAfterClosing) {
    BarePty pty;
    SerialPort first;
    SerialPort second;
    first.portName = pty.path();
    second.portName = pty.path();
    ASSERT_FALSE(first.open());
    EXPECT_TRUE(second.open());
    EXPECT_EQ(second.lastError, "Could not open Com Port " + pty.path());
    EXPECT_EQ(second.probe(pty.path()), 0);
    // A test tone on a port that does not open sends nothing.
    sendTestTone(second, TestTone::Both);
    EXPECT_EQ(drainMaster(pty.master()), "");

    first.close();
    // The terminal is not left in exclusive mode, which would lock out everyone but root.
    const int other = ::open(pty.path().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(other, 0);
    int exclusive = -1;
    ASSERT_EQ(::ioctl(other, TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 0);
    ::close(other);
    EXPECT_FALSE(second.open()) << second.lastError;
}

TEST(SerialPort, ReopeningReleasesTheOldHandle) {
    BarePty pty;
    SerialPort port;
    SerialPort other;
    port.portName = pty.path();
    other.portName = pty.path();
    ASSERT_FALSE(port.open());
    port.portName = "/dev/kavrel-no-such-port";
    EXPECT_TRUE(port.open());
    EXPECT_EQ(port.handle, -1);
    EXPECT_FALSE(other.open()) << other.lastError;
}

TEST(SerialPort, ProbeOpensClosesAndKeepsTheName) {
    BarePty pty;
    SerialPort port;
    EXPECT_EQ(port.probe(pty.path()), 1);
    EXPECT_EQ(port.handle, -1);
    EXPECT_EQ(port.portName, pty.path());
    EXPECT_EQ(port.probe("/dev/kavrel-no-such-port"), 0);
    EXPECT_EQ(port.portName, "/dev/kavrel-no-such-port");
}

TEST(SerialPort, TestToneSendsItsThreeBytesAndClosesThePort) {
    BarePty pty;
    SerialPort port;
    port.portName = pty.path();
    const struct {
        TestTone tone;
        const char* bytes;
    } cases[] = {{TestTone::Tone1200, "\x1B\x1B" "1"}, {TestTone::Tone2200, "\x1B\x1B" "2"},
                 {TestTone::Both, "\x1B\x1B" "3"},     {TestTone::Stop, "\x1B\x1B\x1B"}};
    for (const auto& c : cases) {
        sendTestTone(port, c.tone);
        EXPECT_EQ(port.handle, -1);
        EXPECT_EQ(drainMaster(pty.master()), c.bytes);
    }
}
