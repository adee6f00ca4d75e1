// The simulator's engine on its own, for what a transfer over a pty cannot show, and its options.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "sim/factory_images.h"
#include "sim/sim_options.h"
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

TEST(TrackerEngine, AReplyToAHostThatChangedSpeedArrivesGarbled) {
    TrackerOptions options = trackerOptions(FaV1_4);
    options.replyDelayMs = 50;
    TrackerEngine engine(options);
    engine.setHost(true, 9600, 0);
    SimTime now = 0;
    exchange(engine, now, {ESC, 'V'}, 0);
    engine.setHost(true, 2400, now);
    const std::vector<std::uint8_t> got = exchange(engine, now, {}, millis(200));
    EXPECT_FALSE(got.empty());
    EXPECT_EQ(std::string(got.begin(), got.end()).find("Kavrel"), std::string::npos);
}

TEST(SimOptions, ReadsEveryOptionAndRefusesBadValues) {
    const char* argv[] = {"kavrel-sim", "--generation", "2",      "--baud", "2400",         "--reply-delay", "40",
                          "--fault",    "corrupt:9",    "--link", "/tmp/l", "--store-deaf", "700",           "--trace"};
    SimOptions options;
    std::string error;
    ASSERT_TRUE(parseSimOptions(static_cast<int>(std::size(argv)), argv, options, error)) << error;
    finishSimOptions(options);
    EXPECT_EQ(options.tracker.generation, V1_2);
    EXPECT_EQ(options.tracker.lineBaud, 2400);
    EXPECT_EQ(options.tracker.replyDelayMs, 40);
    EXPECT_EQ(options.tracker.storeDeafMs, 700);
    EXPECT_EQ(options.tracker.fault.kind, FaultKind::Corrupt);
    EXPECT_EQ(options.tracker.fault.value, 9);
    EXPECT_EQ(options.linkPath, "/tmp/l");
    EXPECT_TRUE(options.trace);

    for (const std::vector<const char*>& args :
         std::vector<std::vector<const char*>>{{"--baud", "4800"}, {"--fault", "long:128"}, {"--link"}}) {
        std::vector<const char*> bad = {"kavrel-sim"};
        bad.insert(bad.end(), args.begin(), args.end());
        SimOptions refused;
        error.clear();
        EXPECT_FALSE(parseSimOptions(static_cast<int>(bad.size()), bad.data(), refused, error)) << args[0];
        EXPECT_FALSE(error.empty()) << args[0];
    }
}
