// What a device command shows while it talks to the tracker, and when it stops: on a terminal a
// one-line progress display redrawn after every tick; with --trace what really crossed the line,
// as the port saw it (every byte sent and received with its time, the opens and closes, each new
// status); with -v each new status. A read or probe stops at once on an interrupt or a failed
// port; an image under way is finished first on an interrupt, so the tracker keeps a whole one.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "config/tracker_settings.h"
#include "link/serial_port.h"

enum class TransferEnd {
    Finished,     // the transfer ran to its end; the Configurator's outcome tells how it went
    Interrupted,  // stopped on an interrupt before anything was sent that must be finished
    PortFailed,   // stopped at once: the port failed (gone, I/O error); failure() tells how
};

class TransferDisplay {
public:
    TransferDisplay(SerialPort& port, bool trace, bool progress);
    ~TransferDisplay();
    TransferDisplay(const TransferDisplay&) = delete;
    TransferDisplay& operator=(const TransferDisplay&) = delete;

    // Starts a request as the dialog's Read Version and Read Config buttons do (a fresh count of
    // attempts, then startOperation with op) and runs it to its end, one poll per 100 ms tick.
    // attemptsUsed counts some of the five probe attempts as made already, for a shorter probe.
    TransferEnd request(Configurator& configurator, TransferOp op, std::int32_t attemptsUsed = 0);
    // beginWrite, and the write it starts run to its end; with exact, beginImageWrite of that image.
    TransferEnd write(Configurator& configurator, const ConfigImage* exact = nullptr);

    // The port's failure that stopped the transfer, as it was when it happened.
    const std::string& failureText() const { return failureText_; }
    int failureCode() const { return failureCode_; }
    // Of the last write: whether ESC "D" left, how many image bytes followed it (0 to 128), and
    // whether an interrupt came while the image was under way (it was finished, then verified).
    bool writeCommandSent() const { return sentWhileWriting_ >= 2; }
    int imageBytesSent() const;
    bool interruptedWrite() const { return finishing_; }
    // Whether the tracker sent anything after ESC "D" left: it is listening for commands again.
    bool answeredAfterWriteCommand() const { return receivedAfterWriteCommand_ > 0; }

private:
    TransferEnd run(Configurator& configurator);
    static void seen(void* context, PortEvent event, std::uint8_t value, std::chrono::steady_clock::time_point at);
    static void afterTick(void* context, const Configurator& configurator, std::int32_t pollAnswer);
    static bool stopAfterTick(void* context);
    void flushBytes();
    void traceLine(std::chrono::steady_clock::time_point at, const char* what, const std::string& detail);
    void showStatus(const std::string& status);
    void drawProgress(const Configurator& configurator);
    void clearProgress();

    SerialPort& port_;
    PortObserver observer_;
    bool trace_;
    bool progress_;
    bool progressShown_ = false;
    std::chrono::steady_clock::time_point start_;
    // Bytes seen in one direction and not yet printed, and when the first of them came.
    std::string pending_;
    PortEvent pendingDirection_ = PortEvent::Sent;
    std::chrono::steady_clock::time_point pendingSince_;
    std::string lastStatus_;

    Configurator* running_ = nullptr;
    TransferEnd end_ = TransferEnd::Finished;
    std::string failureText_;
    int failureCode_ = 0;
    int sentWhileWriting_ = 0;  // ESC "D", the image bytes, then ESC "U"
    int receivedAfterWriteCommand_ = 0;
    bool finishing_ = false;
};
