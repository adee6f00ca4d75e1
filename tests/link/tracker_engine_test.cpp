// The simulator's engine on its own, in simulated time: what a tracker of each kind says, when,
// and what it makes of a host at the wrong speed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "link/serial_port.h"
#include "sim/factory_images.h"
#include "sim/sim_options.h"
#include "sim/tracker_engine.h"
#include "simulated_tracker.h"
#include "support/scripted_prompts.h"

namespace {

constexpr std::uint8_t ESC = 0x1B;

// A host wired straight to the engine, with a clock that only moves when told.
struct WiredHost {
    explicit WiredHost(const TrackerOptions& options, std::int32_t hostBaud = 9600) : engine(options) {
        engine.setHost(true, hostBaud, 0);
    }

    // Sends the bytes one after another, `gap` apart, as the port's paced writes do.
    void send(const std::vector<std::uint8_t>& bytes, SimTime gap = 0) {
        for (std::uint8_t byte : bytes) {
            engine.fromHost(byte, now);
            runFor(gap);
        }
    }
    void runFor(SimTime duration) {
        const SimTime end = now + duration;
        for (;;) {
            now = std::max(now, std::min(engine.nextWake(), end));
            engine.advance(now);
            const std::vector<std::uint8_t> got = engine.takeForHost();
            received.insert(received.end(), got.begin(), got.end());
            if (now >= end || engine.hungUp()) break;
        }
    }
    std::vector<SimTime> timesOf(WireKind kind) const {
        std::vector<SimTime> times;
        for (const WireEvent& event : engine.events())
            if (event.kind == kind) times.push_back(event.time);
        return times;
    }
    std::string receivedText() const { return std::string(received.begin(), received.end()); }

    TrackerEngine engine;
    SimTime now = 0;
    std::vector<std::uint8_t> received;
};

std::vector<std::uint8_t> sampleImage() {
    std::vector<std::uint8_t> image(kImageSize);
    for (int i = 0; i < kImageSize; ++i) image[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i * 7 + 3);
    return image;
}

std::vector<std::uint8_t> withHeader(std::vector<std::uint8_t> head, const std::vector<std::uint8_t>& tail) {
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

std::vector<std::uint8_t> asVector(const ConfigImage& image) { return std::vector<std::uint8_t>(image.begin(), image.end()); }

TrackerOptions withFault(TrackerOptions options, FaultKind kind, std::int32_t value = 0) {
    options.fault = {kind, value};
    return options;
}

}  // namespace

TEST(FactoryImage, IsWhatTheDefaultSettingsEncodeToForEachGeneration) {
    SerialPort port;
    ScriptedPrompts script;
    const Prompts prompts = script.prompts();
    for (std::int32_t generation : {None, V1_1, V1_2, V1_4, FaV1_4}) {
        Configurator configurator(port, prompts);
        configurator.settings.model = generation;
        ASSERT_EQ(configurator.encodeImage(), 0);
        EXPECT_EQ(configurator.writeImage, factoryImage(generation)) << "generation " << generation;
    }
}

TEST(TrackerEngine, AnswersTheVersionOfItsGenerationPacedAtTheLineRate) {
    for (std::int32_t generation : {V1_1, V1_2, V1_4, FaV1_4}) {
        WiredHost host(trackerOptions(generation));
        host.send({ESC, 'V'});
        host.runFor(millis(100));
        EXPECT_EQ(host.receivedText(), std::string(trackerVersionText(generation)) + "\r\n");
        const std::vector<SimTime> times = host.timesOf(WireKind::ToHost);
        ASSERT_EQ(times.size(), host.received.size());
        for (std::size_t i = 1; i < times.size(); ++i) EXPECT_NEAR(times[i] - times[i - 1], frameTime(9600), 2);
        // The reply follows the command's last frame; nothing answers before it is heard.
        EXPECT_GE(times.front(), 2 * frameTime(9600));
    }
}

TEST(TrackerEngine, ImageReplyTakesTenBitsPerByteAtEitherSpeed) {
    for (std::int32_t baud : {9600, 2400}) {
        WiredHost host(trackerOptions(V1_4, baud), baud);
        host.send({ESC, 'U'}, millis(10));
        host.runFor(millis(1000));
        EXPECT_EQ(host.received, asVector(factoryImage(V1_4)));
        const std::vector<SimTime> times = host.timesOf(WireKind::ToHost);
        ASSERT_EQ(times.size(), 128u);
        EXPECT_NEAR(static_cast<double>(times.back() - times.front()), 127.0 * 10 * 1e9 / baud, 1000.0);
    }
}

TEST(TrackerEngine, HostAtTheWrongSpeedIsHeardAsGarbageAndGetsNoAnswer) {
    struct Case {
        std::int32_t trackerBaud, hostBaud;
    };
    for (const Case c : {Case{2400, 9600}, Case{9600, 2400}}) {
        WiredHost host(trackerOptions(FaV1_4, c.trackerBaud), c.hostBaud);
        host.send({ESC, 'V'});                 // back to back, as the probe sends it
        host.send({ESC, 'V'}, millis(10));     // and paced
        host.send({ESC, 'U'}, millis(10));
        host.runFor(millis(1000));
        const std::vector<std::uint8_t> heard = bytesOf(host.engine.events(), WireKind::Heard);
        EXPECT_FALSE(heard.empty()) << c.trackerBaud;
        const std::uint8_t versionCommand[] = {ESC, 'V'};
        EXPECT_EQ(std::search(heard.begin(), heard.end(), std::begin(versionCommand), std::end(versionCommand)), heard.end());
        EXPECT_NE(heard, (std::vector<std::uint8_t>{ESC, 'V', ESC, 'V', ESC, 'U'}));
        EXPECT_TRUE(host.received.empty()) << c.trackerBaud;
    }
}

TEST(TrackerEngine, ReplyToAHostThatChangedSpeedArrivesGarbled) {
    TrackerOptions options = trackerOptions(FaV1_4);
    options.replyDelayMs = 50;
    WiredHost host(options, 9600);
    host.send({ESC, 'V'});
    host.runFor(millis(10));
    host.engine.setHost(true, 2400, host.now);
    host.runFor(millis(200));
    EXPECT_FALSE(host.received.empty());
    EXPECT_EQ(host.receivedText().find("Kavrel"), std::string::npos);
}

TEST(TrackerEngine, StoresAnImageAndSendsItBack) {
    WiredHost host(trackerOptions(V1_4));
    const std::vector<std::uint8_t> image = sampleImage();
    host.send(withHeader({ESC, 'D'}, image), millis(10));
    ASSERT_EQ(host.engine.stores().size(), 1u);
    EXPECT_EQ(asVector(host.engine.stores()[0].received), image);
    EXPECT_EQ(asVector(host.engine.eeprom()), image);
    host.send({ESC, 'U'}, millis(10));
    host.runFor(millis(300));
    EXPECT_EQ(host.received, image);
}

TEST(TrackerEngine, StoredImageMayHoldEscapeBytes) {
    // Inside an image ESC is data: ESC "V" there must not be answered.
    WiredHost host(trackerOptions(V1_4));
    std::vector<std::uint8_t> image(kImageSize, ESC);
    image[1] = 'V';
    image[3] = 'U';
    host.send(withHeader({ESC, 'D'}, image), millis(10));
    host.runFor(millis(100));
    EXPECT_TRUE(host.received.empty());
    EXPECT_EQ(asVector(host.engine.eeprom()), image);
}

TEST(TrackerEngine, EarlyGenerationsAreDeafForAWhileAfterStoring) {
    TrackerOptions options = trackerOptions(V1_1);
    ASSERT_EQ(options.storeDeafMs, 1500);
    WiredHost host(options);
    host.send(withHeader({ESC, 'D'}, sampleImage()), millis(10));
    const SimTime stored = host.engine.stores().at(0).time;
    host.runFor(stored + millis(1000) - host.now);
    host.send({ESC, 'U'}, millis(10));
    host.runFor(millis(200));
    EXPECT_TRUE(host.received.empty());
    EXPECT_EQ(bytesOf(host.engine.events(), WireKind::Ignored), (std::vector<std::uint8_t>{ESC, 'U'}));

    host.runFor(stored + millis(1600) - host.now);
    host.send({ESC, 'U'}, millis(10));
    host.runFor(millis(300));
    EXPECT_EQ(host.received, sampleImage());
}

TEST(TrackerEngine, RecordsToneCommandsAndIgnoresOtherDoubleEscapes) {
    WiredHost host(trackerOptions(FaV1_4));
    host.send({ESC, ESC, '2', ESC, ESC, 'x', ESC, ESC, '1', ESC, ESC, '3', ESC, ESC, ESC}, millis(10));
    host.send({ESC, 'V'});
    host.runFor(millis(100));
    std::vector<std::uint8_t> commands;
    for (const ToneEvent& tone : host.engine.tones()) commands.push_back(tone.command);
    EXPECT_EQ(commands, (std::vector<std::uint8_t>{'2', '1', '3', ESC}));
    EXPECT_EQ(host.receivedText(), "Kavrel FA v1.4\r\n");
}

TEST(TrackerEngine, BytesSentWhileTheHostPortIsClosedAreLost) {
    WiredHost host(trackerOptions(V1_4));
    host.send({ESC, 'U'});
    host.engine.setHost(false, 9600, host.now);
    host.runFor(millis(300));
    EXPECT_TRUE(host.received.empty());
    EXPECT_EQ(bytesOf(host.engine.events(), WireKind::Lost), asVector(factoryImage(V1_4)));
}

TEST(TrackerFaults, SilentStoresButNeverAnswers) {
    WiredHost host(withFault(trackerOptions(V1_4), FaultKind::Silent));
    host.send({ESC, 'V'});
    host.send(withHeader({ESC, 'D'}, sampleImage()), millis(10));
    host.send({ESC, 'U'}, millis(10));
    host.runFor(millis(500));
    EXPECT_TRUE(host.received.empty());
    EXPECT_EQ(asVector(host.engine.eeprom()), sampleImage());
}

TEST(TrackerFaults, LongImageReplyGoesOnWithBytesThatDifferFromTheImage) {
    WiredHost host(withFault(trackerOptions(FaV1_4), FaultKind::Long, 200));
    host.send({ESC, 'U'}, millis(10));
    host.runFor(millis(500));
    const std::vector<std::uint8_t> image = asVector(factoryImage(FaV1_4));
    ASSERT_EQ(host.received.size(), 200u);
    EXPECT_TRUE(std::equal(image.begin(), image.end(), host.received.begin()));
    for (std::size_t i = 128; i < 200; ++i) EXPECT_NE(host.received[i], image[i % 128]) << i;
}

TEST(TrackerFaults, HangUpDropsTheLineOnceItsByteCountIsOut) {
    WiredHost host(withFault(trackerOptions(V1_4), FaultKind::HangUp, 20));
    host.send({ESC, 'V'});
    host.runFor(millis(50));
    EXPECT_FALSE(host.engine.hungUp());
    host.send({ESC, 'U'}, millis(10));
    host.runFor(millis(500));
    EXPECT_TRUE(host.engine.hungUp());
    EXPECT_EQ(host.received.size(), 20u);
    EXPECT_EQ(host.engine.nextWake(), kNever);
}

TEST(SimOptions, ReadsEveryOption) {
    const char* argv[] = {"kavrel-sim", "--generation", "2",       "--baud",  "2400",         "--reply-delay", "40",
                          "--fault",    "corrupt:9",    "--link",  "/tmp/l", "--store-deaf", "700",           "--trace"};
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
}

TEST(SimOptions, RefusesBadValues) {
    const std::vector<std::vector<const char*>> bad = {
        {"--generation", "5"}, {"--generation", "0"}, {"--baud", "4800"}, {"--reply-delay", "-3"},
        {"--fault", "late"},   {"--fault", "silent:3"}, {"--fault", "short:128"}, {"--fault", "long:128"},
        {"--fault", "corrupt:128"}, {"--fault", "hangup:x"}, {"--fault", "melt"}, {"--link"}, {"--bogus", "1"}};
    for (const std::vector<const char*>& args : bad) {
        std::vector<const char*> argv = {"kavrel-sim"};
        argv.insert(argv.end(), args.begin(), args.end());
        SimOptions options;
        std::string error;
        EXPECT_FALSE(parseSimOptions(static_cast<int>(argv.size()), argv.data(), options, error)) << args[0];
        EXPECT_FALSE(error.empty());
    }
}
