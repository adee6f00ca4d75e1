// What a device command shows while it talks to the tracker: on a terminal a one-line progress
// display redrawn after every tick, and with --trace what really crossed the line, as the port
// saw it: every byte sent and received with its time, the opens and closes, and each new status.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "link/serial_port.h"

class Configurator;

class TransferDisplay {
public:
    TransferDisplay(SerialPort& port, bool trace, bool progress);
    ~TransferDisplay();
    TransferDisplay(const TransferDisplay&) = delete;
    TransferDisplay& operator=(const TransferDisplay&) = delete;

    // Runs the transfer that startOperation or beginWrite has just begun until it is idle again,
    // one poll per 100 ms tick through runUntilIdle, and clears the progress line at the end.
    void run(Configurator& configurator);

    // Starts a request as the dialog's Read Version and Read Config buttons do (a fresh count of
    // attempts, then startOperation with op) and runs it to its end.
    void request(Configurator& configurator, std::int32_t op);

private:
    static void seen(void* context, PortEvent event, std::uint8_t value, std::chrono::steady_clock::time_point at);
    static void afterTick(void* context, const Configurator& configurator, std::int32_t pollAnswer);
    void flushBytes();
    void traceLine(std::chrono::steady_clock::time_point at, const char* what, const std::string& detail);
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
};
