#include "cli/transfer_display.h"

#include <cstdio>

#include "cli/compat/interrupts.h"
#include "cli/messages.h"
#include "platform/byte_text.h"
#include "config/tracker_settings.h"
#include "link/device_transfer.h"
#include "link/tick_loop.h"

namespace {

constexpr int kProgressWidth = 50;
constexpr std::size_t kBytesPerTraceLine = 16;

bool isVersionPhase(TransferOp op) { return op == TransferOp::VersionOnly || op == TransferOp::VersionThenRead || op == TransferOp::VersionThenWrite; }

// From ESC "D" until the read-back is judged, the tracker must get its whole image.
bool imageUnderWay(TransferOp op) { return op == TransferOp::Writing || op == TransferOp::Verifying; }

constexpr int kWriteCommandBytes = 2;

}  // namespace

TransferDisplay::TransferDisplay(SerialPort& port, bool trace, bool progress)
    : port_(port), observer_{this, seen}, trace_(trace), progress_(progress && verbosity() != Verbosity::Quiet),
      start_(std::chrono::steady_clock::now()) {
    port_.observer = &observer_;
}

TransferDisplay::~TransferDisplay() {
    flushBytes();
    if (port_.observer == &observer_) port_.observer = nullptr;
}

int TransferDisplay::imageBytesSent() const {
    const int image = sentWhileWriting_ - kWriteCommandBytes;
    return image < 0 ? 0 : image > kImageSize ? kImageSize : image;
}

TransferEnd TransferDisplay::run(Configurator& configurator) {
    running_ = &configurator;
    end_ = TransferEnd::Finished;
    lastStatus_ = configurator.statusMessage;
    drawProgress(configurator);
    runUntilIdle(configurator, TickObserver{this, afterTick, stopAfterTick});
    flushBytes();
    clearProgress();
    setWriteUnderWay(false);
    if (end_ != TransferEnd::Finished) {
        // Stopped where it stood: the port is given back, so nothing of the system's is left held.
        if (port_.handle != -1) port_.close();
        configurator.operation = TransferOp::Idle;
    }
    running_ = nullptr;
    return end_;
}

TransferEnd TransferDisplay::request(Configurator& configurator, TransferOp op, std::int32_t attemptsUsed) {
    port_.lastError.clear();
    port_.lastErrorCode = 0;
    startRead(configurator, op, attemptsUsed);
    showStatus(configurator.statusMessage);
    return run(configurator);
}

TransferEnd TransferDisplay::write(Configurator& configurator, const ConfigImage* exact) {
    port_.lastError.clear();
    port_.lastErrorCode = 0;
    sentWhileWriting_ = 0;
    receivedAfterWriteCommand_ = 0;
    finishing_ = false;
    if (exact != nullptr)
        configurator.beginImageWrite(*exact);
    else
        configurator.beginWrite();
    if (configurator.operation == TransferOp::Idle) return TransferEnd::Finished;
    showStatus(configurator.statusMessage);
    return run(configurator);
}

void TransferDisplay::seen(void* context, PortEvent event, std::uint8_t value, std::chrono::steady_clock::time_point at) {
    auto& self = *static_cast<TransferDisplay*>(context);
    if (event == PortEvent::Sent && self.running_ != nullptr && self.running_->operation == TransferOp::Writing)
        ++self.sentWhileWriting_;
    if (event == PortEvent::Received && self.writeCommandSent()) ++self.receivedAfterWriteCommand_;
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
    if (configurator.statusMessage != self.lastStatus_) self.showStatus(configurator.statusMessage);
    self.lastStatus_ = configurator.statusMessage;
    if (imageUnderWay(configurator.operation)) setWriteUnderWay(true);
    self.drawProgress(configurator);
}

bool TransferDisplay::stopAfterTick(void* context) {
    auto& self = *static_cast<TransferDisplay*>(context);
    Configurator& configurator = *self.running_;
    if (!self.port_.lastError.empty()) {
        // A port that failed once (gone, I/O error) takes nothing more: stop before the next tick.
        self.failureText_ = self.port_.lastError;
        self.failureCode_ = self.port_.lastErrorCode;
        self.end_ = TransferEnd::PortFailed;
        return true;
    }
    if (!interruptRequested() || configurator.operation == TransferOp::Idle) return false;
    if (!imageUnderWay(configurator.operation)) {
        self.end_ = TransferEnd::Interrupted;
        return true;
    }
    if (!self.finishing_) {
        self.finishing_ = true;
        self.clearProgress();
        printWarning("interrupted: the write goes on to its end (the rest of the image, then its read-back), so "
                     "that the tracker keeps a whole image");
        configurator.finishImage();
    }
    return false;
}

void TransferDisplay::showStatus(const std::string& status) {
    if (trace_) {
        flushBytes();
        traceLine(std::chrono::steady_clock::now(), "status", escapedText(status, Escaping::Visible));
    } else if (verbosity() == Verbosity::Verbose) {
        clearProgress();
        printDetail(escapedText(status, Escaping::Visible));
    }
}

void TransferDisplay::flushBytes() {
    if (pending_.empty()) return;
    const bool sent = pendingDirection_ == PortEvent::Sent;
    std::string detail = hexBytes(pending_);
    if (!sent) detail += std::string(kBytesPerTraceLine * 3 - detail.size(), ' ') + " \"" + escapedText(pending_, Escaping::Quoted) + "\"";
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
    else if (c.operation == TransferOp::Reading)
        line = "Reading Config  " + std::to_string(c.bytesReceived) + "/128";
    else if (c.operation == TransferOp::Writing)
        line = "Writing Config  " + std::to_string(c.writePos) + "/128";
    else if (c.operation == TransferOp::Verifying)
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
