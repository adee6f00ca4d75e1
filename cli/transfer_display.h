// What a device command shows while a transfer runs: on a terminal a one-line progress display
// redrawn after every tick, and with --trace the bytes exchanged with the tracker.
//
// The trace is taken from the Configurator after each tick, not from inside the SerialPort: it
// shows the commands the transfer sent, the reply bytes it collected and the image chunks it
// wrote, stamped with the time the tick that handled them ended. The one thing it cannot show
// is the bytes that arrive during the judging tick of a version attempt that is then retried,
// since the retry empties the reply; the "not found" message carries the last attempt's reply.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "link/tick_loop.h"

class Configurator;
class SerialPort;

class TransferDisplay {
public:
    TransferDisplay(const SerialPort& port, bool trace, bool progress);

    // Runs the transfer that startOperation or beginWrite has just begun until it is idle again,
    // one poll per 100 ms tick through runUntilIdle, and clears the progress line at the end.
    void run(Configurator& configurator);

    // Starts a request as the dialog's Read Version and Read Config buttons do (a fresh count of
    // attempts, then startOperation with op) and runs it to its end.
    void request(Configurator& configurator, std::int32_t op);

    // For exchanges outside the state machine (test tones): one line of bytes sent.
    void traceSent(const std::uint8_t* bytes, int count, const std::string& note);

private:
    struct Snapshot {
        std::int32_t operation = 0;
        std::int32_t tickCount = 0;
        std::size_t replyLength = 0;
        std::int32_t bytesReceived = 0;
        std::int32_t writePos = 0;
        std::int32_t baudRate = 0;
    };

    static void afterTick(void* context, const Configurator& configurator, std::int32_t pollAnswer);
    Snapshot snapshotOf(const Configurator& configurator) const;
    void traceTick(const Configurator& configurator, const Snapshot& now);
    void traceVersionTick(const Configurator& configurator, const Snapshot& now);
    void traceBytes(const char* direction, const std::uint8_t* bytes, std::size_t count, const std::string& note);
    void traceNote(const std::string& note);
    void drawProgress(const Configurator& configurator);
    void clearProgress();

    const SerialPort& port_;
    bool trace_;
    bool progress_;
    bool progressShown_ = false;
    std::chrono::steady_clock::time_point start_;
    Snapshot last_;
};
