#include "cli/transfer_display.h"

#include <algorithm>
#include <cstdio>

#include "cli/text_escaping.h"
#include "config/tracker_settings.h"
#include "link/serial_port.h"

namespace {

constexpr int kProgressWidth = 50;
constexpr std::size_t kBytesPerTraceLine = 16;

bool isVersionPhase(std::int32_t op) { return op == VersionOnly || op == VersionThenRead || op == VersionThenWrite; }

}  // namespace

TransferDisplay::TransferDisplay(const SerialPort& port, bool trace, bool progress)
    : port_(port), trace_(trace), progress_(progress), start_(std::chrono::steady_clock::now()) {}

void TransferDisplay::run(Configurator& configurator) {
    last_ = snapshotOf(configurator);
    // startOperation has opened the port and sent the version request, unless the port failed.
    if (isVersionPhase(configurator.operation)) {
        static const std::uint8_t readVersion[] = {0x1B, 'V'};
        traceBytes("tx", readVersion, 2, "read version, " + std::to_string(port_.baudRate) + " baud");
    }
    drawProgress(configurator);
    runUntilIdle(configurator, TickObserver{this, afterTick});
    clearProgress();
}

void TransferDisplay::request(Configurator& configurator, std::int32_t op) {
    configurator.retryCount = 0;
    configurator.startOperation(static_cast<TransferOp>(op));
    run(configurator);
}

void TransferDisplay::traceSent(const std::uint8_t* bytes, int count, const std::string& note) {
    traceBytes("tx", bytes, static_cast<std::size_t>(count), note);
}

void TransferDisplay::afterTick(void* context, const Configurator& configurator, std::int32_t) {
    auto& self = *static_cast<TransferDisplay*>(context);
    const Snapshot now = self.snapshotOf(configurator);
    if (self.trace_) self.traceTick(configurator, now);
    self.last_ = now;
    self.drawProgress(configurator);
}

TransferDisplay::Snapshot TransferDisplay::snapshotOf(const Configurator& c) const {
    Snapshot s;
    s.operation = c.operation;
    s.tickCount = c.tickCount;
    s.replyLength = c.versionReply.size();
    s.bytesReceived = c.bytesReceived;
    s.writePos = c.writePos;
    s.baudRate = port_.baudRate;
    return s;
}

void TransferDisplay::traceTick(const Configurator& c, const Snapshot& now) {
    const Snapshot& was = last_;
    if (isVersionPhase(was.operation)) {
        traceVersionTick(c, now);
    } else if (was.operation == Reading || was.operation == Verifying) {
        const std::int32_t kept = std::min(now.bytesReceived, kImageSize);
        if (kept > was.bytesReceived)
            traceBytes("rx", c.readImage.data() + was.bytesReceived, static_cast<std::size_t>(kept - was.bytesReceived),
                       "image bytes " + std::to_string(was.bytesReceived) + " to " + std::to_string(kept - 1));
        const std::int32_t beyond = now.bytesReceived - std::max(was.bytesReceived, kImageSize);
        if (beyond > 0) traceNote("rx " + std::to_string(beyond) + " more bytes beyond the 128th (counted, not kept)");
        if (now.operation == Idle) traceNote("judged: " + visibleText(c.statusMessage));
    } else if (was.operation == Writing) {
        if (now.writePos > was.writePos)
            traceBytes("tx", c.writeImage.data() + was.writePos, static_cast<std::size_t>(now.writePos - was.writePos),
                       "image bytes " + std::to_string(was.writePos) + " to " + std::to_string(now.writePos - 1));
        if (now.operation == Verifying) {
            if (c.settings.model <= V1_2)
                traceNote("waited 2000 ms for generation " + std::to_string(c.settings.model) + " to store the image");
            static const std::uint8_t readImage[] = {0x1B, 'U'};
            traceBytes("tx", readImage, 2, "read image back");
        }
    }
}

void TransferDisplay::traceVersionTick(const Configurator& c, const Snapshot& now) {
    const Snapshot& was = last_;
    const bool retried = now.operation == was.operation && now.tickCount == 0;
    if (!retried && now.replyLength > was.replyLength) {
        const std::string fresh = c.versionReply.substr(was.replyLength);
        traceBytes("rx", reinterpret_cast<const std::uint8_t*>(fresh.data()), fresh.size(),
                   "\"" + visibleText(fresh, true) + "\"");
    }
    if (now.operation == was.operation && now.tickCount == was.tickCount + 1 && now.baudRate == was.baudRate) return;
    if (retried) {
        traceNote("no known version; trying again at " + std::to_string(now.baudRate) + " baud");
        static const std::uint8_t readVersion[] = {0x1B, 'V'};
        traceBytes("tx", readVersion, 2, "read version, " + std::to_string(now.baudRate) + " baud");
    } else if (now.operation == was.operation) {
        traceNote("no known version; the port did not open again at " + std::to_string(now.baudRate) +
                  " baud: " + visibleText(c.statusMessage));
    } else if (now.operation == Idle) {
        traceNote("judged: " + visibleText(c.statusMessage));
    } else {
        traceNote("version known: generation " + std::to_string(c.settings.model));
        static const std::uint8_t readImage[] = {0x1B, 'U'};
        static const std::uint8_t writeImage[] = {0x1B, 'D'};
        if (now.operation == Reading) traceBytes("tx", readImage, 2, "read image");
        if (now.operation == Writing) traceBytes("tx", writeImage, 2, "write image");
    }
}

void TransferDisplay::traceBytes(const char* direction, const std::uint8_t* bytes, std::size_t count,
                                 const std::string& note) {
    if (!trace_) return;
    clearProgress();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    for (std::size_t line = 0; line < count || line == 0; line += kBytesPerTraceLine) {
        std::string hex;
        for (std::size_t i = line; i < count && i < line + kBytesPerTraceLine; ++i) {
            char pair[4];
            std::snprintf(pair, sizeof pair, "%02X", static_cast<unsigned>(bytes[i]));
            if (!hex.empty()) hex += ' ';
            hex += pair;
        }
        if (line == 0)
            std::fprintf(stderr, "%8.3f s  %s  %-47s  %s\n", seconds, direction, hex.c_str(), note.c_str());
        else
            std::fprintf(stderr, "%8s    %s  %s\n", "", direction, hex.c_str());
    }
}

void TransferDisplay::traceNote(const std::string& note) {
    if (!trace_) return;
    clearProgress();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    std::fprintf(stderr, "%8.3f s  %s\n", seconds, note.c_str());
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
