// The Win32 SerialPort on COM ports that lead to ptys. CMakeLists.txt runs this with COM3 and COM12
// on bare ptys, COM4 on a device that opens but is no serial port, and every other port absent.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "link/serial_port.h"

namespace {

const std::uint8_t kBytes[] = {0x1B, 'V', 0x00, 0xFF};

HANDLE handleOf(const SerialPort& port) { return reinterpret_cast<HANDLE>(port.handle); }

// Wine has no handle count; a released handle is simply no longer valid, unless the next open was
// given the same value again.
bool isOpen(HANDLE handle) {
    DWORD flags = 0;
    return GetHandleInformation(handle, &flags) != 0;
}

}  // namespace

TEST(Win32SerialPortClosed, EachOperationFailsWithItsOwnTextAndTheHandleStaysClosed) {
    SerialPort port;
    std::uint8_t received = 0;

    EXPECT_EQ(port.writeBytes(4, kBytes, 10), 0);
    EXPECT_EQ(port.lastError, "Write: ComPort Invalid");
    EXPECT_FALSE(port.readByte(received));
    EXPECT_EQ(port.lastError, "Read: ComPort Invalid");
    port.close();
    EXPECT_EQ(port.lastError, "Close: ComPort Invalid");
    EXPECT_EQ(port.handle, -1);
}

TEST(Win32SerialPortOpen, AnAbsentPortFailsAndItsTextOutlivesTheNextSuccess) {
    SerialPort port;  // COM1, which this machine does not have
    EXPECT_TRUE(port.open());
    EXPECT_EQ(port.handle, -1);
    EXPECT_EQ(port.lastError, "Could not open Com Port COM1");

    port.portName = "COM3";
    EXPECT_FALSE(port.open());
    port.close();
    EXPECT_EQ(port.lastError, "Could not open Com Port COM1");
}

TEST(Win32SerialPortOpen, SetsTheTrackersLineAndTimeoutsAtTheCurrentSpeedEveryTime) {
    SerialPort port;
    port.portName = "COM3";
    for (const std::int32_t baud : {2400, 9600}) {
        port.baudRate = baud;
        ASSERT_FALSE(port.open()) << port.lastError;
        DCB dcb{};
        dcb.DCBlength = sizeof dcb;
        ASSERT_TRUE(GetCommState(handleOf(port), &dcb));
        // 8N1 without flow control. DTR and RTS are not checked: a pty has no modem lines, and Wine
        // reports them as on whatever was set.
        EXPECT_EQ((std::vector<DWORD>{dcb.BaudRate, dcb.ByteSize, dcb.Parity, dcb.StopBits, dcb.fOutxCtsFlow,
                                      dcb.fOutX, dcb.fInX}),
                  (std::vector<DWORD>{static_cast<DWORD>(baud), 8, NOPARITY, ONESTOPBIT, 0, 0, 0}));
        COMMTIMEOUTS timeouts{};
        ASSERT_TRUE(GetCommTimeouts(handleOf(port), &timeouts));
        EXPECT_EQ((std::vector<DWORD>{timeouts.ReadIntervalTimeout, timeouts.ReadTotalTimeoutMultiplier,
                                      timeouts.ReadTotalTimeoutConstant, timeouts.WriteTotalTimeoutMultiplier,
                                      timeouts.WriteTotalTimeoutConstant}),
                  (std::vector<DWORD>{50, 3, 100, 2, 300}));
    }
    port.close();
    EXPECT_EQ(port.lastError, "");
}

TEST(Win32SerialPortOpen, NeverLeavesAHandleBehind) {
    HANDLE last = nullptr;
    {
        SerialPort port;
        port.portName = "COM3";
        ASSERT_FALSE(port.open());
        const HANDLE first = handleOf(port);
        ASSERT_FALSE(port.open());  // the first handle is released before the port opens again
        EXPECT_TRUE(handleOf(port) == first || !isOpen(first));
        const HANDLE second = handleOf(port);
        port.close();
        EXPECT_FALSE(isOpen(second));

        ASSERT_FALSE(port.open());
        last = handleOf(port);
        EXPECT_TRUE(isOpen(last));
    }  // the destructor closes it
    EXPECT_FALSE(isOpen(last));
}

TEST(Win32SerialPortIo, CountsWhatWasWrittenAndAQuietLineIsNoError) {
    SerialPort port;
    port.portName = "COM3";
    ASSERT_FALSE(port.open());
    port.lastError = "earlier";

    EXPECT_EQ(port.writeBytes(0, kBytes, 10), 0);
    EXPECT_EQ(port.writeBytes(4, kBytes, 0), 4);
    EXPECT_EQ(port.writeBytes(2, kBytes, 10), 2);
    EXPECT_EQ(port.writeBytes(1, kBytes, -1), 1);  // no pause at all, rather than one without end
    std::uint8_t received = 0;
    EXPECT_FALSE(port.readByte(received));  // nobody answers on this pty: the read times out
    EXPECT_EQ(port.lastError, "earlier");
    port.close();
    EXPECT_EQ(port.lastError, "earlier");
}

TEST(Win32SerialPortProbe, AnswersWhetherThePortOpensAndLeavesItClosedUnderItsName) {
    SerialPort port;
    for (const char* name : {"COM3", "COM2"}) {
        const bool present = name[3] == '3';
        EXPECT_EQ(port.probe(name), present ? 1 : 0);
        EXPECT_EQ(port.handle, -1);
        EXPECT_EQ(port.portName, name);
        EXPECT_EQ(port.lastError, present ? "" : "Could not open Com Port COM2");
    }
}

// COM4 leads to /dev/null: CreateFile succeeds and the line settings cannot be read. A handle
// without time-outs would let a read wait forever, so the port is released at once.
TEST(Win32SerialPortProbe, APortThatRefusesItsSettingsIsReleasedAtOnce) {
    SerialPort port;
    EXPECT_EQ(port.probe("COM4"), 0);
    EXPECT_EQ(port.lastError, "Open: GetCommState failed");
    EXPECT_EQ(port.handle, -1);
    std::uint8_t got = 0;
    EXPECT_FALSE(port.readByte(got));
    EXPECT_EQ(port.lastError, "Read: ComPort Invalid");
}

// Ports above COM9 exist only in the device namespace; the texts keep the name the user chose,
// and a name that already is a device path is handed over unchanged.
TEST(Win32SerialPortNames, APortAboveCom9OpensAndIsNamedPlainlyInItsTexts) {
    SerialPort port;
    for (const char* name : {"COM12", "\\\\.\\COM12"}) {
        port.portName = name;
        EXPECT_FALSE(port.open()) << name << ": " << port.lastError;
        EXPECT_EQ(port.portName, name);
        EXPECT_EQ(port.writeBytes(2, kBytes, 0), 2);
        port.close();
    }
    EXPECT_EQ(port.probe("com12"), 1);
    EXPECT_EQ(port.probe("COM15"), 0);
    EXPECT_EQ(port.lastError, "Could not open Com Port COM15");
}
