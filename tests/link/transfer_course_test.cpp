// Reads and writes against a simulated tracker on a pty, driven by the dialog's tick loop: the
// course of each transfer, tick by tick, what the tracker saw on its line, and the confirmations.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "config/tracker_settings.h"
#include "sim/factory_images.h"
#include "simulated_tracker.h"

namespace {

constexpr std::uint8_t ESC = 0x1B;
const char kMissingPort[] = "/dev/kavrel-no-such-port";
const std::string kCannotOpen = std::string("Could not open Com Port ") + kMissingPort;

class EveryGeneration : public ::testing::TestWithParam<std::int32_t> {};

}  // namespace

TEST_P(EveryGeneration, ReadsTheFactoryImageWritesAndReadsBackWhatItWrote) {
    const std::int32_t generation = GetParam();
    SimulatedTracker tracker(trackerOptions(generation));
    TransferRig rig(tracker.path());
    rig.script.realPauses = true;  // generations 1 and 2 are deaf for a while after storing
    Configurator& c = rig.configurator;
    // The simulator's factory image is what the default settings encode to.
    c.settings.model = generation;
    ASSERT_EQ(c.encodeImage(), 0);
    EXPECT_EQ(c.writeImage, factoryImage(generation));

    rig.read();
    EXPECT_EQ(c.statusMessage, "Read Config Successful");
    EXPECT_EQ(c.settings.model, generation);
    EXPECT_EQ(c.readImage, factoryImage(generation));
    EXPECT_EQ(rig.answers, (std::vector<std::int32_t>{0, 0, 1, 0, 0, 1}));
    EXPECT_EQ(rig.statuses[1], "Reading Version");
    EXPECT_EQ(rig.statuses[2], "Reading Config");
    EXPECT_EQ(c.port().handle, -1);

    c.settings.callsign = "KV7XYZ-9";
    c.settings.path = "WIDE2-2";
    c.settings.wx200Mode = true;
    rig.write();
    EXPECT_EQ(c.statusMessage, "Config Written Successfully!");
    EXPECT_EQ(rig.answers, (std::vector<std::int32_t>{0, 0, 1, 0, 0, 0, 0, 0, 1}));
    EXPECT_EQ(std::vector<std::string>(rig.statuses.begin() + 2, rig.statuses.end() - 1),
              (std::vector<std::string>{"Writing Config : ", "Writing Config : *", "Writing Config : **",
                                        "Writing Config : ***", "Writing Config : ****", "Verifying Config"}));
    EXPECT_TRUE(rig.script.shown.empty());
    EXPECT_EQ(rig.script.pauses, generation <= V1_2 ? std::vector<int>{2000} : std::vector<int>{});

    const ConfigImage written = c.writeImage;
    rig.read();
    EXPECT_EQ(c.statusMessage, "Read Config Successful");
    EXPECT_EQ(c.readImage, written);
    EXPECT_EQ(c.settings.callsign, "KV7XYZ-9");
    EXPECT_TRUE(c.settings.wx200Mode);

    const TrackerEngine& engine = tracker.stop();
    ASSERT_EQ(engine.stores().size(), 1u);
    EXPECT_EQ(engine.stores()[0].received, written);
    EXPECT_EQ(versionRequestSpeeds(engine.events()), (std::vector<std::int32_t>{9600, 9600, 9600}));
}

INSTANTIATE_TEST_SUITE_P(Generations, EveryGeneration, ::testing::Values(V1_1, V1_2, V1_4, FaV1_4),
                         [](const ::testing::TestParamInfo<std::int32_t>& generation) {
                             return "Generation" + std::to_string(generation.param);
                         });

TEST(VersionProbe, FindsATrackerAt2400OnTheSecondAttemptAndStaysThere) {
    SimulatedTracker tracker(trackerOptions(V1_4, 2400));
    TransferRig rig(tracker.path());
    rig.read();
    EXPECT_EQ(rig.configurator.statusMessage, "Read Config Successful");
    EXPECT_EQ(rig.configurator.readImage, factoryImage(V1_4));
    EXPECT_EQ(rig.port.baudRate, 2400);
    EXPECT_EQ(rig.answers, (std::vector<std::int32_t>{0, 0, 1, 0, 0, 1, 0, 0, 1}));
    rig.read();
    EXPECT_EQ(rig.configurator.statusMessage, "Read Config Successful");
    const TrackerEngine& engine = tracker.stop();
    EXPECT_EQ(versionRequestSpeeds(engine.events()), (std::vector<std::int32_t>{9600, 2400, 2400}));
    // The first attempt reached the tracker as garbage, never as ESC "V".
    std::string heardAt9600;
    for (const WireEvent& event : engine.events())
        if (event.kind == WireKind::Heard && event.hostBaud == 9600) heardAt9600 += static_cast<char>(event.byte);
    EXPECT_FALSE(heardAt9600.empty());
    EXPECT_EQ(heardAt9600.find("\x1BV"), std::string::npos);
}

TEST(VersionProbe, GivesUpAfterFiveAttemptsAlternatingTheSpeed) {
    // A tracker that never answers, and one whose reply is shorter than a version text: every
    // attempt at 9600 is answered, those at 2400 are not understood.
    const struct {
        FaultKind fault;
        std::int32_t value;
        const char* status;
    } cases[] = {{FaultKind::Silent, 0, "Kavrel not found : ()"}, {FaultKind::Short, 10, "Kavrel not found : (Kavrel v1.)"}};
    for (const auto& c : cases) {
        TrackerOptions options = trackerOptions(V1_4);
        options.fault = {c.fault, c.value};
        SimulatedTracker tracker(options);
        TransferRig rig(tracker.path());
        rig.configurator.settings.model = FaV1_4;
        rig.read();
        EXPECT_EQ(rig.configurator.statusMessage, c.status);
        EXPECT_EQ(rig.configurator.settings.model, None);
        EXPECT_EQ(rig.configurator.retryCount, 5);
        EXPECT_EQ(rig.port.baudRate, 9600);
        EXPECT_EQ(rig.answers.size(), 15u);
        EXPECT_EQ(versionRequestSpeeds(tracker.stop().events()),
                  (std::vector<std::int32_t>{9600, 2400, 9600, 2400, 9600}));
    }
}

TEST(VersionProbe, APortThatWillNotReopenForAnotherAttemptUsesTheRemainingAttemptsAtOnce) {
    TrackerOptions options = trackerOptions(V1_4);
    options.fault = {FaultKind::Short, 10};
    SimulatedTracker tracker(options);
    TransferRig rig(tracker.path());
    rig.betweenTicks = [&](int tick) {
        if (tick == 2) rig.port.portName = kMissingPort;
    };
    rig.read();
    EXPECT_EQ(rig.statuses, (std::vector<std::string>{"Reading Version", "Reading Version", kCannotOpen, kCannotOpen,
                                                      kCannotOpen, kCannotOpen, "Kavrel not found : (Kavrel v1.)"}));
    EXPECT_EQ(rig.configurator.operation, Idle);
    EXPECT_EQ(versionRequestSpeeds(tracker.stop().events()), (std::vector<std::int32_t>{9600}));
}

TEST(VersionProbe, APortThatWillNotReopenForReadingEndsInConfigNotRead) {
    SimulatedTracker tracker(trackerOptions(V1_4));
    TransferRig rig(tracker.path());
    rig.betweenTicks = [&](int tick) {
        if (tick == 2) rig.port.portName = kMissingPort;
    };
    rig.read();
    EXPECT_EQ(rig.configurator.settings.model, V1_4);
    EXPECT_EQ(rig.configurator.statusMessage, "Config not read ");
    EXPECT_EQ(rig.answers, (std::vector<std::int32_t>{0, 0, 1, 0, 0, 1}));
    EXPECT_EQ(rig.port.lastError, "Close: ComPort Invalid");
    EXPECT_EQ(bytesOf(tracker.stop().events(), WireKind::Heard), (std::vector<std::uint8_t>{ESC, 'V'}));
}

TEST(WriteConfirmation, LongPathsAskFirstAndDecliningSendsNothing) {
    const struct {
        const char* path;
        bool asks;
    } cases[] = {{"WIDE1-1,WIDE2-4", true}, {"X-6,Y", true}, {"A-45", true},
                 {"WIDE2-8", false},        {"", false},     {"WIDE1-1,WIDE2-2,WIDE3-3", false}};
    for (const auto& c : cases) {
        TransferRig rig(kMissingPort);
        rig.configurator.settings.path = c.path;
        rig.configurator.settings.autoTxRateSec = c.asks ? 60 : 120;  // 60 would ask too, after the path
        rig.configurator.statusMessage = "before";
        EXPECT_EQ(rig.configurator.beginWrite(), 0);
        if (!c.asks) {
            EXPECT_TRUE(rig.script.shown.empty()) << c.path;
            EXPECT_EQ(rig.configurator.statusMessage, kCannotOpen);  // the write started
            continue;
        }
        ASSERT_EQ(rig.script.shown.size(), 1u) << c.path;
        EXPECT_EQ(rig.script.shown[0].kind, "confirm");
        EXPECT_EQ(rig.script.shown[0].caption, "Kavrel Write");
        EXPECT_NE(rig.script.shown[0].text.find("longer path"), std::string::npos);
        EXPECT_EQ(rig.configurator.statusMessage, "before");
        EXPECT_EQ(rig.configurator.operation, Idle);
        EXPECT_EQ(rig.configurator.writeImage, ConfigImage{});
    }
}

TEST(WriteConfirmation, FrequentRateAsksAfterThePathAndAcceptingBothWrites) {
    SimulatedTracker tracker(trackerOptions(V1_4));
    TransferRig rig(tracker.path());
    rig.configurator.settings.model = V1_4;
    rig.configurator.settings.path = "WIDE7-7";
    rig.configurator.settings.autoTxRateSec = 119;
    rig.script.answers = {true, false};
    EXPECT_EQ(rig.configurator.beginWrite(), 0);
    ASSERT_EQ(rig.script.shown.size(), 2u);
    EXPECT_NE(rig.script.shown[1].text.find("more frequent"), std::string::npos);
    EXPECT_EQ(rig.configurator.statusMessage, "");
    EXPECT_EQ(rig.configurator.operation, Idle);

    rig.script.answers = {true, true};
    rig.write();
    EXPECT_EQ(rig.script.shown.size(), 4u);
    EXPECT_EQ(rig.configurator.statusMessage, "Config Written Successfully!");
    EXPECT_EQ(rig.configurator.settings.autoTxRateSec, 119);
    const TrackerEngine& engine = tracker.stop();
    EXPECT_EQ(engine.stores().size(), 1u);
    EXPECT_EQ(engine.eeprom(), rig.configurator.writeImage);
}

TEST(WriteConfirmation, TooLongStatusTextSendsNothingAndShowsTheCutImage) {
    SimulatedTracker tracker(trackerOptions(V1_4));
    TransferRig rig(tracker.path());
    rig.configurator.settings.model = V1_4;
    rig.configurator.settings.statusText = std::string(86, 'x');
    EXPECT_EQ(rig.configurator.beginWrite(), 1);
    EXPECT_EQ(rig.configurator.readImage, rig.configurator.writeImage);
    EXPECT_EQ(rig.configurator.bytesReceived, 128);
    EXPECT_EQ(rig.configurator.settings.statusText, std::string(85, 'x'));
    EXPECT_EQ(rig.configurator.operation, Idle);
    EXPECT_TRUE(tracker.stop().events().empty());
}
