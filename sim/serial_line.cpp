#include "sim/serial_line.h"

#include <algorithm>
#include <cmath>

namespace {

double bitTime(std::int32_t baud) { return 1e9 / static_cast<double>(baud > 0 ? baud : 1); }

// Bit j of a frame: 0 is the start bit (low), 1 to 8 the data bits from the least significant,
// 9 the stop bit (high).
int frameBit(std::uint8_t byte, int j) {
    if (j <= 0) return 0;
    if (j >= 9) return 1;
    return (byte >> (j - 1)) & 1;
}

}  // namespace

SimTime frameTime(std::int32_t baud) { return static_cast<SimTime>(std::llround(10 * bitTime(baud))); }

SerialLine::SerialLine(std::int32_t receiverBaud) : receiverBitNs_(bitTime(receiverBaud)) {}

void SerialLine::setReceiverBaud(std::int32_t baud) { receiverBitNs_ = bitTime(baud); }

SimTime SerialLine::send(std::uint8_t byte, std::int32_t senderBaud, SimTime earliest) {
    const SimTime start = std::max({earliest, freeAt_, askedUpTo_});
    const Frame frame{static_cast<double>(start), bitTime(senderBaud), byte};
    frames_.push_back(frame);
    freeAt_ = static_cast<SimTime>(std::ceil(frame.end()));
    return freeAt_;
}

int SerialLine::levelAt(double t) const {
    for (const Frame& frame : frames_) {
        if (t < frame.start) break;
        if (t < frame.end()) return frameBit(frame.byte, static_cast<int>((t - frame.start) / frame.bitNs));
    }
    return 1;  // an idle line is high
}

bool SerialLine::nextFallingEdge(double from, double& edge) const {
    for (const Frame& frame : frames_) {
        if (frame.end() <= from) continue;
        for (int j = 0; j < 10; ++j) {
            const double at = frame.start + j * frame.bitNs;
            if (at < from) continue;
            // Before a start bit the line is high: idle, or the stop bit of the frame before.
            if (j == 0 || (frameBit(frame.byte, j - 1) == 1 && frameBit(frame.byte, j) == 0)) {
                edge = at;
                return true;
            }
        }
    }
    return false;
}

void SerialLine::receive(SimTime now, std::vector<LineByte>& out) {
    askedUpTo_ = std::max(askedUpTo_, now);
    const double t = receiverBitNs_;
    double edge = 0;
    while (nextFallingEdge(searchFrom_, edge) && edge + 9.5 * t <= static_cast<double>(now)) {
        // The start bit is checked in its middle; a glitch shorter than half a bit is no start.
        if (levelAt(edge + 0.5 * t) != 0) {
            searchFrom_ = edge + 0.5 * t;
            continue;
        }
        std::uint8_t byte = 0;
        for (int i = 0; i < 8; ++i)
            if (levelAt(edge + (1.5 + i) * t) != 0) byte = static_cast<std::uint8_t>(byte | (1u << i));
        // A low stop bit is a framing error; the UART hands the byte on all the same.
        out.push_back({byte, static_cast<SimTime>(std::llround(edge + 9.5 * t))});
        searchFrom_ = edge + 9.5 * t;
        while (!frames_.empty() && frames_.front().end() <= searchFrom_) frames_.pop_front();
    }
}

SimTime SerialLine::nextByteAt() const {
    double edge = 0;
    if (!nextFallingEdge(searchFrom_, edge)) return kNever;
    return static_cast<SimTime>(std::ceil(edge + 9.5 * receiverBitNs_));
}
