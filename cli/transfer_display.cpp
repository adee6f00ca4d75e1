#include "cli/transfer_display.h"

#include <cstdio>

#include "cli/messages.h"
#include "platform/byte_text.h"

namespace {

constexpr int kProgressWidth = 50;
constexpr std::size_t kBytesPerTraceLine = 16;

bool isVersionPhase(TransferOp op) {
    return op == TransferOp::VersionOnly || op == TransferOp::VersionThenRead || op == TransferOp::VersionThenWrite;
}

}  // namespace

TransferDisplay::TransferDisplay(const SerialPort& port, bool trace, bool progress)
    : port_(port), trace_(trace), progress_(progress && verbosity() != Verbosity::Quiet),
      start_(std::chrono::steady_clock::now()) {}

void TransferDisplay::portEvent(PortEvent event, std::uint8_t value, std::chrono::steady_clock::time_point at) {
    if (event == PortEvent::Opened || event == PortEvent::Closed) {
        flushBytes();
        traceLine(at, event == PortEvent::Opened ? "open" : "close",
                  event == PortEvent::Opened ? port_.portName + " at " + std::to_string(port_.baudRate) + " baud" : std::string());
        return;
    }
    if (!pending_.empty() && (event != pendingDirection_ || pending_.size() == kBytesPerTraceLine)) flushBytes();
    if (pending_.empty()) {
        pendingDirection_ = event;
        pendingSince_ = at;
    }
    pending_ += static_cast<char>(value);
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
