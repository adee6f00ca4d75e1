// Reads and writes against a simulated tracker on a pty, driven by the dialog's tick loop: the
// course of each transfer tick by tick, what the tracker saw on its line, the confirmations, and
// trackers that misbehave or users who act mid-transfer.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "config/tracker_settings.h"
#include "link/device_transfer.h"
#include "sim/factory_images.h"
#include "simulated_tracker.h"

namespace {

constexpr std::uint8_t ESC = 0x1B;
const char kMissingPort[] = "/dev/kavrel-no-such-port";
const std::string kCannotOpen = std::string("Could not open Com Port ") + kMissingPort;

TrackerOptions faulty(std::int32_t generation, FaultKind kind, std::int32_t value = 0) {
    TrackerOptions options = trackerOptions(generation);
    options.fault = {kind, value};
    return options;
}

ConfigImage pattern() {
    ConfigImage image{};
    image.fill(0xA5);
    return image;
}

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

TEST(VersionProbe, APortThatWillNotReopenEndsTheProbeOrTheRead) {
    // With a reply too short for a version the remaining attempts are used at once; with a
    // version the read never starts.
    for (const bool versionFound : {false, true}) {
        TrackerOptions options = trackerOptions(V1_4);
        if (!versionFound) options.fault = {FaultKind::Short, 10};
        SimulatedTracker tracker(options);
        TransferRig rig(tracker.path());
        rig.betweenTicks = [&](int tick) {
            if (tick == 2) rig.port.portName = kMissingPort;
        };
        rig.read();
        EXPECT_EQ(rig.configurator.operation, Idle);
        EXPECT_EQ(bytesOf(tracker.stop().events(), WireKind::Heard), (std::vector<std::uint8_t>{ESC, 'V'}));
        if (!versionFound) {
            EXPECT_EQ(rig.statuses, (std::vector<std::string>{"Reading Version", "Reading Version", kCannotOpen,
                                                              kCannotOpen, kCannotOpen, kCannotOpen,
                                                              "Kavrel not found : (Kavrel v1.)"}));
            continue;
        }
        EXPECT_EQ(rig.configurator.settings.model, V1_4);
        EXPECT_EQ(rig.configurator.statusMessage, "Config not read ");
        EXPECT_EQ(rig.answers, (std::vector<std::int32_t>{0, 0, 1, 0, 0, 1}));
        EXPECT_EQ(rig.port.lastError, "Close: ComPort Invalid");
    }
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

TEST(TransferFaults, AReadBackThatIsWrongLateOrPrecededByTheEchoFailsTheVerification) {
    // Short: the version reply is shorter than 100 bytes and comes whole, 100 bytes of the image
    // come. Echo: the tracker echoes the image as it stores it; nobody reads while writing, so the
    // echo begins the read-back. Late: 300 ms is in time for the third tick of a reading phase, not
    // for the first tick after the read-back command.
    const struct {
        FaultKind fault;
        std::int32_t value;
        const char* status;
        std::int32_t received;
    } cases[] = {{FaultKind::Corrupt, 20, "Verify Failed", 128},
                 {FaultKind::Short, 100, "Verify FAILED SIZE", 100},
                 {FaultKind::Echo, 0, "Verify FAILED SIZE", 256},
                 {FaultKind::Late, 300, "Config not read ", 0}};
    for (const auto& c : cases) {
        SimulatedTracker tracker(faulty(V1_4, c.fault, c.value));
        TransferRig rig(tracker.path());
        rig.configurator.settings.model = V1_4;  // as a read would have set it
        rig.configurator.settings.callsign = "KV2ABC";
        rig.write();
        EXPECT_EQ(rig.configurator.statusMessage, c.status) << c.value;
        EXPECT_EQ(rig.configurator.bytesReceived, c.received) << c.value;
        EXPECT_EQ(rig.configurator.settings.callsign, "KV2ABC");  // the settings stay as the user had them
        ASSERT_EQ(rig.statuses.size(), 9u) << c.value;  // judged on the first verifying tick
        EXPECT_EQ(rig.statuses[7], "Verifying Config");
        if (c.fault == FaultKind::Echo) { EXPECT_EQ(rig.configurator.readImage, rig.configurator.writeImage); }
        if (c.fault != FaultKind::Corrupt) { EXPECT_EQ(tracker.stop().eeprom(), rig.configurator.writeImage); }
    }
}

TEST(TransferFaults, AShortOrOverlongImageIsCountedInFullButStoredOnlyUpToItsEnd) {
    for (const std::int32_t length : {100, 300}) {
        SimulatedTracker tracker(faulty(FaV1_4, length < 128 ? FaultKind::Short : FaultKind::Long, length));
        TransferRig rig(tracker.path());
        rig.configurator.writeImage = pattern();
        rig.configurator.settings.callsign = "UNTOUCHED";
        rig.read();
        EXPECT_EQ(rig.configurator.statusMessage, "Corrupted EEPROM");
        EXPECT_EQ(rig.configurator.bytesReceived, length);
        if (length > 128) { EXPECT_EQ(rig.configurator.readImage, factoryImage(FaV1_4)); }
        // What lies behind readImage is not written over.
        EXPECT_EQ(rig.configurator.writeImage, pattern());
        EXPECT_EQ(rig.configurator.settings.callsign, "UNTOUCHED");
    }
}

TEST(TransferFaults, EarlyGenerationsNeedThePauseBeforeTheReadBack) {
    SimulatedTracker tracker(trackerOptions(V1_1));
    TransferRig rig(tracker.path());
    rig.configurator.settings.model = V1_1;
    rig.write();  // the pause is asked for but not taken
    EXPECT_EQ(rig.script.pauses, std::vector<int>{2000});
    EXPECT_EQ(rig.configurator.statusMessage, "Config not read ");
    const std::vector<std::uint8_t> ignored = bytesOf(tracker.stop().events(), WireKind::Ignored);
    EXPECT_EQ(ignored, (std::vector<std::uint8_t>{0x1B, 'U'}));
}

TEST(TransferFaults, ABabblingTrackerCannotHoldATickOrOverfillTheReplies) {
    SimulatedTracker tracker(faulty(V1_4, FaultKind::Babble));
    TransferRig rig(tracker.path());
    rig.configurator.writeImage = pattern();
    rig.read();
    // Every tick came back (a drain is bounded in time), and the version reply in length.
    EXPECT_EQ(rig.answers, (std::vector<std::int32_t>{0, 0, 1, 0, 0, 1}));
    EXPECT_EQ(rig.configurator.settings.model, V1_4);
    EXPECT_EQ(rig.configurator.versionReply.size(), 256u);
    EXPECT_EQ(rig.configurator.versionReply.substr(0, 13), "Kavrel v1.4\r\n");
    EXPECT_EQ(rig.configurator.statusMessage, "Corrupted EEPROM");
    EXPECT_GT(rig.configurator.bytesReceived, 128);
    EXPECT_EQ(rig.configurator.writeImage, pattern());
}

TEST(TransferFaults, AHangUpInTheMiddleOfTheImageLeavesAPartialRead) {
    // The image starts while a reading tick is listening; the line drops 64 bytes into it (the
    // version reply was 13 bytes), and what the host had not read yet goes with it.
    TrackerOptions options = faulty(V1_4, FaultKind::HangUp, 13 + 64);
    options.replyDelayMs = 150;
    SimulatedTracker tracker(options);
    TransferRig rig(tracker.path());
    rig.read();
    EXPECT_EQ(rig.configurator.statusMessage, "Corrupted EEPROM");
    EXPECT_GT(rig.configurator.bytesReceived, 0);
    EXPECT_LE(rig.configurator.bytesReceived, 64);
    EXPECT_EQ(rig.port.lastError, "Read: Failed 1");
    EXPECT_EQ(rig.port.handle, -1);

    rig.read();
    EXPECT_EQ(rig.configurator.statusMessage, "Could not open Com Port " + tracker.path());
}

TEST(TestToneDuringATransfer, ClosesThePortAndThePhaseGoesOnWithWhatItHas) {
    SimulatedTracker tracker(trackerOptions(FaV1_4));
    TransferRig rig(tracker.path());
    // Tick 1 of the version phase has the reply; tick 1 of the reading phase has the image.
    rig.betweenTicks = [&](int tick) {
        if (tick == 1) sendTestTone(rig.port, TestTone::Tone1200);
        if (tick == 4) sendTestTone(rig.port, TestTone::Stop);
    };
    rig.read();
    EXPECT_EQ(rig.configurator.statusMessage, "Read Config Successful");
    EXPECT_EQ(rig.configurator.readImage, factoryImage(FaV1_4));
    EXPECT_EQ(rig.port.handle, -1);
    EXPECT_EQ(rig.port.lastError, "Close: ComPort Invalid");
    std::vector<std::uint8_t> tones;
    for (const ToneEvent& tone : tracker.stop().tones()) tones.push_back(tone.command);
    EXPECT_EQ(tones, (std::vector<std::uint8_t>{'1', 0x1B}));
}

TEST(TestToneDuringATransfer, BeforeTheReplyComesItLeavesNothingToJudge) {
    TrackerOptions options = trackerOptions(FaV1_4);
    options.replyDelayMs = 250;
    SimulatedTracker tracker(options);
    TransferRig rig(tracker.path());
    rig.configurator.settings.model = FaV1_4;
    rig.betweenTicks = [&](int tick) {
        if (tick == 3) sendTestTone(rig.port, TestTone::Tone2200);  // right after ESC "U"
    };
    rig.read();
    EXPECT_EQ(rig.configurator.statusMessage, "Config not read ");
    EXPECT_EQ(rig.configurator.bytesReceived, 0);
    EXPECT_EQ(tracker.stop().tones().size(), 1u);
}
