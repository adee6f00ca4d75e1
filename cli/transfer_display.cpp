#include "cli/transfer_display.h"

#include <cstdio>

#include "cli/text_escaping.h"
#include "config/tracker_settings.h"
#include "link/tick_loop.h"

namespace {

constexpr int kProgressWidth = 50;
constexpr std::size_t kBytesPerTraceLine = 16;

bool isVersionPhase(std::int32_t op) { return op == VersionOnly || op == VersionThenRead || op == VersionThenWrite; }

std::string hexBytes(const std::string& bytes) {
    std::string hex;
    for (const char c : bytes) {
        char pair[4];
        std::snprintf(pair, sizeof pair, "%02X", static_cast<unsigned>(static_cast<unsigned char>(c)));
        if (!hex.empty()) hex += ' ';
        hex += pair;
    }
    return hex;
}

}  // namespace

TransferDisplay::TransferDisplay(SerialPort& port, bool trace, bool progress)
    : port_(port), observer_{this, seen}, trace_(trace), progress_(progress), start_(std::chrono::steady_clock::now()) {
    if (trace_) port_.observer = &observer_;
}

TransferDisplay::~TransferDisplay() {
    flushBytes();
    if (port_.observer == &observer_) port_.observer = nullptr;
}

void TransferDisplay::run(Configurator& configurator) {
    lastStatus_ = configurator.statusMessage;
    drawProgress(configurator);
    runUntilIdle(configurator, TickObserver{this, afterTick});
    flushBytes();
    clearProgress();
}

void TransferDisplay::request(Configurator& configurator, std::int32_t op) {
    configurator.retryCount = 0;
    configurator.startOperation(static_cast<TransferOp>(op));
    if (trace_) traceLine(std::chrono::steady_clock::now(), "status", visibleText(configurator.statusMessage));
    run(configurator);
}

void TransferDisplay::seen(void* context, PortEvent event, std::uint8_t value, std::chrono::steady_clock::time_point at) {
    auto& self = *static_cast<TransferDisplay*>(context);
    if (event == PortEvent::Opened || event == PortEvent::Closed) {
        self.flushBytes();
        self.traceLine(at, event == PortEvent::Opened ? "open" : "close",
                       event == PortEvent::Opened ? self.port_.portName + " at " + std::to_string(self.port_.baudRate) + " baud"
                                                  : std::string());
        return;
    }
    if (!self.pending_.empty() && (event != self.pendingDirection_ || self.pending_.size() == kBytesPerTraceLine))
        self.flushBytes();
    if (self.pending_.empty()) {
        self.pendingDirection_ = event;
        self.pendingSince_ = at;
    }
    self.pending_ += static_cast<char>(value);
}

void TransferDisplay::afterTick(void* context, const Configurator& configurator, std::int32_t) {
    auto& self = *static_cast<TransferDisplay*>(context);
    if (self.trace_ && configurator.statusMessage != self.lastStatus_) {
        self.flushBytes();
        self.traceLine(std::chrono::steady_clock::now(), "status", visibleText(configurator.statusMessage));
    }
    self.lastStatus_ = configurator.statusMessage;
    self.drawProgress(configurator);
}

void TransferDisplay::flushBytes() {
    if (pending_.empty()) return;
    const bool sent = pendingDirection_ == PortEvent::Sent;
    std::string detail = hexBytes(pending_);
    if (!sent) detail += std::string(kBytesPerTraceLine * 3 - detail.size(), ' ') + " \"" + visibleText(pending_, true) + "\"";
    traceLine(pendingSince_, sent ? "tx" : "rx", detail);
    pending_.clear();
}

void TransferDisplay::traceLine(std::chrono::steady_clock::time_point at, const char* what, const std::string& detail) {
    if (!trace_) return;
    clearProgress();
    const double seconds = std::chrono::duration<double>(at - start_).count();
    std::fprintf(stderr, "%8.3f s  %-6s %s\n", seconds, what, detail.c_str());
}

void TransferDisplay::drawProgress(const Configurator& c) {
    if (!progress_) return;
    std::string line;
    if (isVersionPhase(c.operation))
        line = "Reading Version (" + std::to_string(port_.baudRate) + " baud)  " +
               std::to_string(c.versionReply.size()) + " bytes";
    else if (c.operation == Reading)
        line = "Reading Config  " + std::to_string(c.bytesReceived) + "/128";
    else if (c.operation == Writing)
        line = "Writing Config  " + std::to_string(c.writePos) + "/128";
    else if (c.operation == Verifying)
        line = "Verifying Config  " + std::to_string(c.bytesReceived) + "/128";
    if (line.empty()) {
        clearProgress();
        return;
    }
    std::fprintf(stderr, "\r%-*s", kProgressWidth, line.c_str());
    std::fflush(stderr);
    progressShown_ = true;
}

void TransferDisplay::clearProgress() {
    if (!progressShown_) return;
    std::fprintf(stderr, "\r%*s\r", kProgressWidth, "");
    std::fflush(stderr);
    progressShown_ = false;
}
