// The one connection to the tracker: a serial port opened with the tracker's line settings
// (8N1, no flow control, DTR and RTS on) and short time-outs, written and read one byte at a time.
// serial_port_win32.cpp and serial_port_posix.cpp implement it; CMake picks one.
#pragma once

#include <cstdint>
#include <string>

class SerialPort {
public:
    SerialPort() = default;
    ~SerialPort();
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    std::intptr_t handle = -1;  // -1: closed
    std::string portName = "COM1";
    std::int32_t baudRate = 9600;
    std::string lastError;

    // true on failure, false on success.
    bool open();
    // Writes count bytes, one per call, pausing delayMs after each; answers the bytes accepted.
    std::int32_t writeBytes(std::int32_t count, const std::uint8_t* data, std::int32_t delayMs);
    // true when a byte arrived; false when closed, failed, or 103 ms passed without a byte.
    bool readByte(std::uint8_t& out);
    void close();
    // 1 when the named port opens and takes its settings (it is closed again), 0 otherwise.
    std::int32_t probe(const std::string& name);

private:
    // Closes a port whose line settings or time-outs were refused; answers true (failure).
    bool releaseRefused(const char* text);

    // Windows: the timer resolution is raised to 1 ms while the port is open, so that the 10 ms
    // pacing lasts 10 ms; it is restored with the handle.
    [[maybe_unused]] bool timerRaised_ = false;
};
