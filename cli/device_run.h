// A device command's transfer run to its end, one poll per 100 ms tick, and the one place that
// decides when it stops early: at once on an interrupt or a failed port during a read or probe;
// on an interrupt while an image is under way only after the image and its read-back, so that
// the tracker keeps a whole one. What it shows meanwhile is the TransferDisplay's.
#pragma once

#include <cstdint>
#include <string>

#include "cli/transfer_display.h"
#include "config/tracker_settings.h"
#include "link/serial_port.h"

enum class TransferEnd {
    Finished,     // the transfer ran to its end; the Configurator's outcome tells how it went
    Interrupted,  // stopped on an interrupt before anything was sent that must be finished
    PortFailed,   // stopped at once: the port failed (gone, I/O error); failureText() tells how
};

class DeviceRun {
public:
    DeviceRun(SerialPort& port, bool trace, bool progress);
    ~DeviceRun();
    DeviceRun(const DeviceRun&) = delete;
    DeviceRun& operator=(const DeviceRun&) = delete;

    // Starts a request as the dialog's Read Version and Read Config buttons do (startRead with op)
    // and runs it to its end. attemptsUsed counts some of the five probe attempts as made already,
    // for a shorter probe.
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

    SerialPort& port_;
    PortObserver observer_;
    TransferDisplay display_;
    std::string lastStatus_;
    Configurator* running_ = nullptr;
    TransferEnd end_ = TransferEnd::Finished;
    std::string failureText_;
    int failureCode_ = 0;
    int sentWhileWriting_ = 0;  // ESC "D", the image bytes, then ESC "U"
    int receivedAfterWriteCommand_ = 0;
    bool finishing_ = false;
};
