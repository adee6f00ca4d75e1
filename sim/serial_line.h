// One direction of an asynchronous serial line (8N1): frames put on the wire at the sender's
// speed, and the bytes a receiving UART at its own speed makes of them. At equal speeds every byte
// arrives as sent, one frame time later; at different speeds the receiver samples the wrong bits
// and sees garbage, or nothing, as on a real line.
#pragma once

#include <cstdint>
#include <deque>
#include <vector>

#include "sim/sim_time.h"

struct LineByte {
    std::uint8_t byte;
    SimTime time;  // when the receiver had the whole byte
};

class SerialLine {
public:
    explicit SerialLine(std::int32_t receiverBaud);

    void setReceiverBaud(std::int32_t baud);

    // Puts one frame on the wire at senderBaud, starting at `earliest` or as soon as the previous
    // frame has ended and the receiver has been asked up to; answers when the frame ends.
    SimTime send(std::uint8_t byte, std::int32_t senderBaud, SimTime earliest);

    // Appends the bytes the receiver has made out by `now`. The line is known only up to `now`:
    // a frame sent later never starts before it.
    void receive(SimTime now, std::vector<LineByte>& out);

    // When the receiver may next complete a byte, or kNever.
    SimTime nextByteAt() const;
    // When the last frame on the wire ends.
    SimTime freeAt() const { return freeAt_; }

private:
    struct Frame {
        double start;
        double bitNs;
        std::uint8_t byte;
        double end() const { return start + 10 * bitNs; }
    };

    int levelAt(double t) const;
    bool nextFallingEdge(double from, double& edge) const;

    std::deque<Frame> frames_;
    double receiverBitNs_;
    double searchFrom_ = 0;  // the receiver looks for a start bit from here on
    SimTime freeAt_ = 0;
    SimTime askedUpTo_ = 0;
};

// The duration of one frame (start bit, 8 data bits, stop bit) at the given speed.
SimTime frameTime(std::int32_t baud);
