// The one connection to the tracker: a serial port opened with the tracker's line settings
// (8N1, no flow control, DTR and RTS on) and short time-outs, written and read one byte at a time.
// serial_port_win32.cpp and serial_port_posix.cpp implement it; CMake picks one.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>

enum class PortEvent : std::uint8_t { Opened, Sent, Received, Closed };

// Sees what really happened on the line: each byte the system took to send or delivered, and each
// open and close, when it happened. The window has none; kavrelcfg's --trace is one.
struct PortObserver {
    void* context;
    void (*seen)(void* context, PortEvent event, std::uint8_t value, std::chrono::steady_clock::time_point at);
};

class SerialPort {
public:
    SerialPort();
    ~SerialPort();
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    std::intptr_t handle = -1;  // -1: closed
    std::string portName = "COM1";
    std::int32_t baudRate = 9600;
    std::string lastError;
    // The system's own code for the failure behind lastError (errno, or GetLastError on Windows);
    // 0 when the system reported none, as for a time-out or a port that was not open.
    int lastErrorCode = 0;
    const PortObserver* observer = nullptr;

    // true on failure, false on success.
    bool open();
    // Writes count bytes, one per call, pausing delayMs after each; answers the bytes accepted.
    std::int32_t writeBytes(std::int32_t count, const std::uint8_t* data, std::int32_t delayMs);
    // true when a byte arrived; false when closed, failed, or 103 ms passed without a byte.
    bool readByte(std::uint8_t& out);
    void close();
    // 1 when the named port opens and takes its settings (it is closed again), 0 otherwise.
    std::int32_t probe(const std::string& name);

    // Held, a close keeps the system's handle, and with it the port's exclusivity: a command that
    // reads the tracker and then writes to it holds its port throughout, so that no other program
    // comes between the two. An open of the same port takes the handle up again, its line
    // settings applied anew and its input discarded; release() gives it back, as the destructor
    // does.
    bool held = false;
    void release();
    // Drops the bytes that arrived and were not read: a reply that came too late for one attempt
    // must not count for the next.
    void discardInput();

private:
    void fail(std::string text, int code) {
        lastError = std::move(text);
        lastErrorCode = code;
    }
    void notify(PortEvent event, std::uint8_t value = 0) const {
        if (observer != nullptr) observer->seen(observer->context, event, value, std::chrono::steady_clock::now());
    }
    // Closes a port whose line settings or time-outs were refused; answers true (failure).
    bool releaseRefused(const char* text, int code);

    // Closes the system's handle for good, putting back what the port was set to before.
    bool closeHandle(std::intptr_t systemHandle);

    std::string openedName_;        // the name the handle was opened by
    std::intptr_t heldHandle_ = -1;  // the handle a held port kept at its last close
    // What the port was set to before this object opened it, put back when the handle goes.
    struct SavedSettings;
    std::unique_ptr<SavedSettings> saved_;

    // Windows: the timer resolution is raised to 1 ms while the port is open, so that the 10 ms
    // pacing lasts 10 ms; it is restored with the handle.
    [[maybe_unused]] bool timerRaised_ = false;
};
