// The Win32 SerialPort, on the ports CMakeLists.txt maps.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "link/serial_port.h"

// The imports the port's calls go through; a test may step in between.
extern "C" BOOL(WINAPI* __imp_GetCommState)(HANDLE, LPDCB);
extern "C" BOOL(WINAPI* __imp_SetCommState)(HANDLE, LPDCB);

namespace {

const std::uint8_t kBytes[] = {0x1B, 'V', 0x00, 0xFF};
std::uint8_t received = 0;

TEST(Win32SerialPort, EachFailureHasItsOwnTextAndLeavesNoHandleOpen) {
    SerialPort port;
    EXPECT_EQ(port.writeBytes(4, kBytes, 10), 0);
    EXPECT_EQ(port.lastError, "Write: ComPort Invalid");
    EXPECT_FALSE(port.readByte(received));
    EXPECT_EQ(port.lastError, "Read: ComPort Invalid");
    port.close();
    EXPECT_EQ(port.lastError, "Close: ComPort Invalid");
    EXPECT_EQ(port.probe("COM4"), 0);  // released at once: without time-outs a read could wait forever
    EXPECT_EQ(port.lastError, "Open: GetCommState failed");
    EXPECT_EQ(port.handle, -1);
    port.portName = "COM15";  // above COM9 only the device namespace has them
    EXPECT_TRUE(port.open());
    EXPECT_EQ(port.lastError, "Could not open Com Port COM15");
    for (const char* name : {"COM3", "com12", "\\\\.\\COM12"}) {
        EXPECT_EQ(port.probe(name), 1) << name;
        EXPECT_EQ(port.handle, -1);
        EXPECT_EQ(port.portName, name);
    }
    EXPECT_EQ(port.lastError, "Could not open Com Port COM15") << "a success clears no text";
}

TEST(Win32SerialPort, ReopeningClosingAndTheDestructorReleaseTheHandle) {
    const auto isOpen = [](std::intptr_t h) { DWORD f; return GetHandleInformation(reinterpret_cast<HANDLE>(h), &f); };
    std::intptr_t first = -1, last = -1;
    {
        SerialPort port;
        port.portName = "COM3";
        ASSERT_FALSE(port.open());
        first = port.handle;
        ASSERT_FALSE(port.open());
        EXPECT_TRUE(port.handle == first || !isOpen(first));  // Wine may give the same value again
        port.lastError = "earlier";
        EXPECT_EQ(port.writeBytes(4, kBytes, 0), 4);
        EXPECT_FALSE(port.readByte(received));
        EXPECT_EQ(port.lastError, "earlier") << "a quiet line is no error";
        port.close();
        EXPECT_FALSE(isOpen(first));
        ASSERT_FALSE(port.open());
        last = port.handle;
    }
    EXPECT_FALSE(isOpen(last));
    // Held, a close keeps the handle until it is released.
    SerialPort held;
    held.held = true;
    held.portName = "COM3";
    ASSERT_FALSE(held.open());
    first = held.handle;
    held.close();
    EXPECT_TRUE(held.handle == -1 && isOpen(first));
    ASSERT_FALSE(held.open());
    EXPECT_EQ(held.handle, first);
    held.release();
    EXPECT_FALSE(isOpen(first));
}

// DTR and RTS on, no flow control, other flags kept; checked as handed over, as Wine reads none back.
TEST(Win32SerialPort, OpenSetsTheTrackersLineWithoutFlowControlAndItsTimeouts) {
    static std::uint8_t reported;
    static DCB applied;
    const auto systemGet = __imp_GetCommState, systemSet = __imp_SetCommState;
    __imp_GetCommState = [](HANDLE, LPDCB dcb) -> BOOL { return std::memset(dcb, reported, sizeof *dcb) != nullptr; };
    __imp_SetCommState = [](HANDLE, LPDCB dcb) -> BOOL { return (applied = *dcb).BaudRate != 0; };
    SerialPort port;
    port.portName = "COM3";
    for (const DWORD baud : {2400, 9600}) {
        reported = baud == 2400 ? 0x00 : 0xFF;
        port.baudRate = static_cast<std::int32_t>(baud);
        EXPECT_FALSE(port.open()) << port.lastError;
        DWORD flags = 0;
        std::memcpy(&flags, reinterpret_cast<const char*>(&applied) + 8, 4);  // after DCBlength, BaudRate
        EXPECT_EQ(flags, (reported * 0x01010101u & ~0x236Cu) | 0x1010u) << std::hex << flags;
        EXPECT_EQ((std::vector<DWORD>{applied.BaudRate, applied.ByteSize, applied.Parity, applied.StopBits}),
                  (std::vector<DWORD>{baud, 8, NOPARITY, ONESTOPBIT}));
        COMMTIMEOUTS t{};
        ASSERT_TRUE(GetCommTimeouts(reinterpret_cast<HANDLE>(port.handle), &t));
        EXPECT_EQ(std::vector<DWORD>(&t.ReadIntervalTimeout, &t.WriteTotalTimeoutConstant + 1),
                  (std::vector<DWORD>{50, 3, 100, 2, 300}));
    }
    __imp_GetCommState = systemGet, __imp_SetCommState = systemSet;
}

}  // namespace
