#include "bench/protocol_floor.h"

#include <algorithm>

namespace {

constexpr double kTickMs = 100;       // the dialog's timer
constexpr double kQuietMs = 103;      // a read gives up after 103 ms without a byte
constexpr double kPacingMs = 10;      // pause after every byte but the version command's
constexpr double kStoreWaitMs = 2000; // before the read-back from generations 1 and 2
constexpr int kChunks = 4;
constexpr int kChunkBytes = 32;
constexpr int kImageBytes = 128;

// Ticks as the tick loop runs them: every 100 ms, or at once after one that ran late.
class TickClock {
public:
    double now = 0;
    void beginTick() {
        if (now < due_)
            now = due_;
        else
            due_ = now;
    }
    void endTick() { due_ += kTickMs; }

private:
    double due_ = kTickMs;
};

struct Line {
    double baud;
    double bytesMs(int count) const { return count * 10 * 1000.0 / baud; }
};

// A drain reads what comes and ends one read time-out after the last byte.
double drainEnd(double start, double lastArrival) { return std::max(start, lastArrival) + kQuietMs; }

// Sends a paced two-byte command at `clock.now`; answers when a reply of `replyBytes` has fully
// arrived, the tracker answering as soon as it has heard the command.
double sendPacedCommand(TickClock& clock, const Line& line, int replyBytes) {
    const double heard = clock.now + kPacingMs + line.bytesMs(1);
    clock.now += 2 * kPacingMs;
    return heard + line.bytesMs(replyBytes);
}

// The version phase: ESC "V" unpaced, judged on the third tick. Ends with the clock inside the
// third tick, after its drain.
void versionPhase(TickClock& clock, const Line& line, const FloorCase& c) {
    const double replyEnd = line.bytesMs(2) + line.bytesMs(c.versionLength);
    for (int tick = 1; tick <= 3; ++tick) {
        clock.beginTick();
        clock.now = drainEnd(clock.now, replyEnd);
        if (tick < 3) clock.endTick();
    }
}

}  // namespace

double readFloorMs(const FloorCase& c) {
    const Line line{static_cast<double>(c.baud)};
    TickClock clock;
    versionPhase(clock, line, c);
    const double imageEnd = sendPacedCommand(clock, line, kImageBytes);  // ESC "U"
    clock.endTick();
    for (int tick = 1; tick <= 3; ++tick) {
        clock.beginTick();
        clock.now = drainEnd(clock.now, imageEnd);
        clock.endTick();
    }
    return clock.now;
}

double writeFloorMs(const FloorCase& c) {
    const Line line{static_cast<double>(c.baud)};
    TickClock clock;
    versionPhase(clock, line, c);
    sendPacedCommand(clock, line, 0);  // ESC "D"
    clock.endTick();
    for (int chunk = 0; chunk < kChunks; ++chunk) {
        clock.beginTick();
        clock.now += kChunkBytes * kPacingMs;
        clock.endTick();
    }
    clock.beginTick();
    if (c.generation <= 2) clock.now += kStoreWaitMs;
    const double readBackEnd = sendPacedCommand(clock, line, kImageBytes);  // ESC "U"
    clock.endTick();
    clock.beginTick();
    clock.now = drainEnd(clock.now, readBackEnd);
    return clock.now;
}
