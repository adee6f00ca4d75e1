// The simulator's engine on its own, for what a transfer over a pty cannot show.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "sim/factory_images.h"
#include "sim/tracker_engine.h"
#include "simulated_tracker.h"

namespace {

constexpr std::uint8_t ESC = 0x1B;

// Feeds the bytes to the engine 10 ms apart, then runs its clock on for `after`; answers what it sent.
std::vector<std::uint8_t> exchange(TrackerEngine& engine, SimTime& now, const std::vector<std::uint8_t>& bytes,
                                   SimTime after) {
    std::vector<std::uint8_t> received;
    const auto runFor = [&](SimTime duration) {
        const SimTime end = now + duration;
        do {
            now = std::max(now, std::min(engine.nextWake(), end));
            engine.advance(now);
            const std::vector<std::uint8_t> got = engine.takeForHost();
            received.insert(received.end(), got.begin(), got.end());
        } while (now < end);
    };
    for (std::uint8_t byte : bytes) {
        engine.fromHost(byte, now);
        runFor(millis(10));
    }
    runFor(after);
    return received;
}

}  // namespace

TEST(TrackerEngine, EscapesInsideAStoredImageAreDataAndTheImageComesBack) {
    TrackerEngine engine(trackerOptions(V1_4));
    engine.setHost(true, 9600, 0);
    SimTime now = 0;
    std::vector<std::uint8_t> image(kImageSize, ESC);
    image[1] = 'V';
    image[3] = 'U';
    std::vector<std::uint8_t> store = image;
    store.insert(store.begin(), {ESC, 'D'});
    EXPECT_TRUE(exchange(engine, now, store, millis(100)).empty());
    EXPECT_EQ(std::vector<std::uint8_t>(engine.eeprom().begin(), engine.eeprom().end()), image);
    EXPECT_EQ(exchange(engine, now, {ESC, 'U'}, millis(300)), image);
}
