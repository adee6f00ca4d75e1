// What a device command shows while it talks to the tracker: on a terminal a one-line progress
// display redrawn after every tick; with --trace what really crossed the line, as the port saw it
// (every byte sent and received with its time, the opens and closes, each new status); with -v
// each new status. It only shows: DeviceRun decides when a transfer stops.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "config/tracker_settings.h"
#include "link/serial_port.h"

class TransferDisplay {
public:
    TransferDisplay(const SerialPort& port, bool trace, bool progress);
    ~TransferDisplay() { flushBytes(); }
    TransferDisplay(const TransferDisplay&) = delete;
    TransferDisplay& operator=(const TransferDisplay&) = delete;

    // What the port's observer saw: traced with --trace.
    void portEvent(PortEvent event, std::uint8_t value, std::chrono::steady_clock::time_point at);
    // A new status of the Configurator.
    void showStatus(const std::string& status);
    // The progress line for where the transfer stands, or none between its phases.
    void drawProgress(const Configurator& configurator);
    // The progress line off, before a message or at the end.
    void clearProgress();
    // Bytes seen and not yet traced.
    void flushBytes();

private:
    void traceLine(std::chrono::steady_clock::time_point at, const char* what, const std::string& detail);

    const SerialPort& port_;
    bool trace_;
    bool progress_;
    bool progressShown_ = false;
    std::chrono::steady_clock::time_point start_;
    // Bytes seen in one direction and not yet printed, and when the first of them came.
    std::string pending_;
    PortEvent pendingDirection_ = PortEvent::Sent;
    std::chrono::steady_clock::time_point pendingSince_;
};
