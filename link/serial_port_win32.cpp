// SerialPort on Windows COM ports, with kernel32's synchronous byte-at-a-time I/O.
#include "link/serial_port.h"

#include <windows.h>

namespace {

HANDLE handleOf(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

// COM10 and above exist only in the device namespace; "COM" and a number is opened there, any
// other name is handed over unchanged.
std::string deviceNameFor(const std::string& portName) {
    if (portName.size() < 4 || portName.size() > 6) return portName;
    if ((portName[0] != 'C' && portName[0] != 'c') || (portName[1] != 'O' && portName[1] != 'o') ||
        (portName[2] != 'M' && portName[2] != 'm'))
        return portName;
    for (std::size_t i = 3; i < portName.size(); ++i)
        if (portName[i] < '0' || portName[i] > '9') return portName;
    return "\\\\.\\" + portName;
}

}  // namespace

// Windows programs set a port's DCB when they open it, and closing the handle drops DTR and RTS:
// nothing of the port's earlier state needs putting back.
struct SerialPort::SavedSettings {};

SerialPort::SerialPort() = default;

SerialPort::~SerialPort() { release(); }

bool SerialPort::closeHandle(std::intptr_t systemHandle) {
    const bool closed = CloseHandle(handleOf(systemHandle)) != 0;
    const DWORD error = GetLastError();  // for the caller's message, whatever timeEndPeriod does
    if (timerRaised_) {
        timeEndPeriod(1);
        timerRaised_ = false;
    }
    SetLastError(error);
    return closed;
}

void SerialPort::release() {
    if (heldHandle_ != -1) closeHandle(heldHandle_);
    heldHandle_ = -1;
    if (handle != -1 && closeHandle(handle)) {
        handle = -1;
        notify(PortEvent::Closed);
    }
}

void SerialPort::discardInput() {
    if (handle != -1) PurgeComm(handleOf(handle), PURGE_RXCLEAR);
}

bool SerialPort::open() {
    if (handle != -1) {
        if (held) {
            heldHandle_ = handle;
            handle = -1;
            notify(PortEvent::Closed);
        } else if (closeHandle(handle)) {
            handle = -1;
            notify(PortEvent::Closed);
        } else {
            fail("Close: Failed", static_cast<int>(GetLastError()));
        }
    }
    HANDLE opened = INVALID_HANDLE_VALUE;
    if (heldHandle_ != -1 && openedName_ == portName) {
        opened = handleOf(heldHandle_);
        heldHandle_ = -1;
        PurgeComm(opened, PURGE_RXCLEAR);
    } else {
        if (heldHandle_ != -1) closeHandle(heldHandle_);
        heldHandle_ = -1;
        const std::string device = deviceNameFor(portName);
        opened = CreateFileA(device.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (opened == INVALID_HANDLE_VALUE) {
            handle = -1;
            fail("Could not open Com Port " + portName, static_cast<int>(GetLastError()));
            return true;
        }
        openedName_ = portName;
        // While a port is open Sleep(10) must last 10 ms, not the default tick of 15.6 ms.
        timerRaised_ = timeBeginPeriod(1) == TIMERR_NOERROR;
    }
    handle = reinterpret_cast<std::intptr_t>(opened);

    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(opened, &dcb)) return releaseRefused("Open: GetCommState failed", static_cast<int>(GetLastError()));
    dcb.BaudRate = static_cast<DWORD>(baudRate);
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    // On the DCB's flag word: (flags AND NOT 0x236C) OR 0x1010. The other flags stay as the
    // driver reported them.
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fDsrSensitivity = FALSE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    if (!SetCommState(opened, &dcb)) return releaseRefused("Open: SetCommState failed", static_cast<int>(GetLastError()));
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = 50;
    timeouts.ReadTotalTimeoutMultiplier = 3;
    timeouts.ReadTotalTimeoutConstant = 100;
    timeouts.WriteTotalTimeoutMultiplier = 2;
    timeouts.WriteTotalTimeoutConstant = 300;
    if (!SetCommTimeouts(opened, &timeouts))
        return releaseRefused("Open: SetCommTimeouts failed", static_cast<int>(GetLastError()));
    notify(PortEvent::Opened);
    return false;
}

// A handle without our time-outs would let the next ReadFile wait forever for a byte, so a port
// that refuses its settings is not kept open: the failure text stays, the port is closed.
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
    std::int32_t sum = 0;
    for (std::int32_t i = 0; i < count; ++i) {
        DWORD written = 0;
        if (!WriteFile(handleOf(handle), data + i, 1, &written, nullptr))
            fail("Write: Failed 1", static_cast<int>(GetLastError()));
        else if (written == 1)
            notify(PortEvent::Sent, data[i]);
        // A negative pause would be Sleep's INFINITE; it is taken as 0, as on POSIX.
        Sleep(delayMs > 0 ? static_cast<DWORD>(delayMs) : 0);
        sum += static_cast<std::int32_t>(written);
    }
    if (sum != count) fail("Write: Failed 2", lastErrorCode);
    return sum;
}

bool SerialPort::readByte(std::uint8_t& out) {
    if (handle == -1) {
        fail("Read: ComPort Invalid", 0);
        return false;
    }
    DWORD got = 0;
    if (!ReadFile(handleOf(handle), &out, 1, &got, nullptr)) {
        fail("Read: Failed 1", static_cast<int>(GetLastError()));
        return false;
    }
    if (got == 1) notify(PortEvent::Received, out);
    return got == 1;
}

void SerialPort::close() {
    if (handle == -1) {
        fail("Close: ComPort Invalid", 0);
        return;
    }
    if (held) {
        PurgeComm(handleOf(handle), PURGE_RXCLEAR);
        heldHandle_ = handle;
    } else if (!closeHandle(handle)) {
        fail("Close: Failed", static_cast<int>(GetLastError()));
        return;
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
