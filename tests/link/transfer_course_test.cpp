// Reads and writes against a simulated tracker on a pty, driven by the dialog's tick loop: the
// course of each transfer, tick by tick, and what the tracker saw on its line.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "config/tracker_settings.h"
#include "sim/factory_images.h"
#include "simulated_tracker.h"
#include "transfer_rig.h"

namespace {

constexpr std::uint8_t ESC = 0x1B;
const char kMissingPort[] = "/dev/kavrel-no-such-port";

void editSettings(TrackerSettings& s, std::int32_t generation) {
    s.callsign = "KV7XYZ-9";
    s.path = "WIDE2-2";
    s.statusText = "generation " + std::to_string(generation) + " on the bench";
    s.autoTxRateSec = 900;
    s.autoTxDelayMs = 400;
    s.quietTimeMs = 2000;
    s.calibration = 77;
    s.sendEvery = 5;
    s.wx200Mode = true;
    s.peetMode = false;
    s.invertCd = true;
    s.txTwist = false;
    s.frequencyMHz = 146.52f;
}

// Times of the host's bytes on the tracker's line.
SimTime lastTimeOf(const std::vector<WireEvent>& events, WireKind kind, std::size_t count) {
    std::size_t seen = 0;
    for (const WireEvent& event : events)
        if (event.kind == kind && ++seen == count) return event.time;
    return -1;
}

class EveryGeneration : public ::testing::TestWithParam<std::int32_t> {};

}  // namespace

TEST_P(EveryGeneration, ReadsWritesAndReadsBackWhatItWrote) {
    const std::int32_t generation = GetParam();
    SimulatedTracker tracker(trackerOptions(generation));
    TransferRig rig(tracker.path());
    rig.script.realPauses = true;  // generations 1 and 2 are deaf for a while after storing

    rig.read();
    Configurator& c = rig.configurator;
    EXPECT_EQ(c.statusMessage, "Read Config Successful");
    EXPECT_EQ(c.settings.model, generation);
    EXPECT_EQ(c.readImage, factoryImage(generation));
    EXPECT_EQ(c.settings.callsign, "NOCALL");
    EXPECT_EQ(c.settings.path, "WIDE1-1,WIDE2-1");
    EXPECT_EQ(c.settings.statusText, "Kavrel");
    EXPECT_EQ(rig.answers, (std::vector<std::int32_t>{0, 0, 1, 0, 0, 1}));
    EXPECT_EQ(rig.statuses[1], "Reading Version");
    EXPECT_EQ(rig.statuses[2], "Reading Config");
    EXPECT_EQ(c.port().handle, -1);

    editSettings(c.settings, generation);
    rig.write();
    EXPECT_EQ(c.statusMessage, "Config Written Successfully!");
    EXPECT_EQ(rig.answers, (std::vector<std::int32_t>{0, 0, 1, 0, 0, 0, 0, 0, 1}));
    EXPECT_EQ(std::vector<std::string>(rig.statuses.begin() + 2, rig.statuses.end() - 1),
              (std::vector<std::string>{"Writing Config : ", "Writing Config : *", "Writing Config : **",
                                        "Writing Config : ***", "Writing Config : ****", "Verifying Config"}));
    EXPECT_TRUE(rig.script.shown.empty());
    const bool early = generation <= V1_2;
    EXPECT_EQ(rig.script.pauses, early ? std::vector<int>{2000} : std::vector<int>{});

    const ConfigImage written = c.writeImage;
    rig.read();
    EXPECT_EQ(c.statusMessage, "Read Config Successful");
    EXPECT_EQ(c.readImage, written);
    EXPECT_EQ(c.settings.callsign, "KV7XYZ-9");
    EXPECT_EQ(c.settings.path, "WIDE2-2");
    EXPECT_EQ(c.settings.autoTxRateSec, 900);
    EXPECT_TRUE(c.settings.wx200Mode);

    const TrackerEngine& engine = tracker.stop();
    ASSERT_EQ(engine.stores().size(), 1u);
    EXPECT_EQ(engine.stores()[0].received, written);
    EXPECT_EQ(engine.eeprom(), written);
    // ESC "D" and the image went out whole and in order, all at 9600 baud.
    const std::vector<std::uint8_t> sent = bytesOf(engine.events(), WireKind::FromHost);
    std::vector<std::uint8_t> writeCommand{ESC, 'D'};
    writeCommand.insert(writeCommand.end(), written.begin(), written.end());
    writeCommand.push_back(ESC);
    writeCommand.push_back('U');
    EXPECT_NE(std::search(sent.begin(), sent.end(), writeCommand.begin(), writeCommand.end()), sent.end());
    EXPECT_EQ(versionRequestSpeeds(engine.events()), (std::vector<std::int32_t>{9600, 9600, 9600}));
    if (early) {
        // Host bytes: ESC V, ESC U (first read), ESC V, ESC D, 128 image bytes, then ESC U.
        const SimTime lastImageByte = lastTimeOf(engine.events(), WireKind::FromHost, 8 + 128);
        const SimTime readBackCommand = lastTimeOf(engine.events(), WireKind::FromHost, 9 + 128);
        EXPECT_GE(readBackCommand - lastImageByte, millis(2000));
    }
}

INSTANTIATE_TEST_SUITE_P(Generations, EveryGeneration, ::testing::Values(V1_1, V1_2, V1_4, FaV1_4),
                         [](const ::testing::TestParamInfo<std::int32_t>& generation) {
                             return "Generation" + std::to_string(generation.param);
                         });

TEST(VersionProbe, ReadVersionShowsTheReplyWithItsLineEnd) {
    SimulatedTracker tracker(trackerOptions(V1_4));
    TransferRig rig(tracker.path());
    rig.startVersion();
    EXPECT_EQ(rig.configurator.statusMessage, "Reading Version");
    rig.runToIdle();
    EXPECT_EQ(rig.configurator.statusMessage, "Version Read : \"Kavrel v1.4\r\n\"");
    EXPECT_EQ(rig.configurator.settings.model, V1_4);
    EXPECT_EQ(rig.answers, (std::vector<std::int32_t>{0, 0, 1}));
}

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
    // The first attempt reached the tracker as garbage.
    std::vector<std::uint8_t> heardAt9600;
    for (const WireEvent& event : engine.events())
        if (event.kind == WireKind::Heard && event.hostBaud == 9600) heardAt9600.push_back(event.byte);
    const std::uint8_t versionCommand[] = {ESC, 'V'};
    EXPECT_EQ(std::search(heardAt9600.begin(), heardAt9600.end(), std::begin(versionCommand), std::end(versionCommand)),
              heardAt9600.end());
}

TEST(VersionProbe, GivesUpAfterFiveAttemptsAlternatingTheSpeed) {
    SimulatedTracker tracker(trackerOptions(None));
    TransferRig rig(tracker.path());
    rig.configurator.settings.model = FaV1_4;
    rig.read();
    EXPECT_EQ(rig.configurator.statusMessage, "Kavrel not found : ()");
    EXPECT_EQ(rig.configurator.settings.model, None);
    EXPECT_EQ(rig.configurator.retryCount, 5);
    EXPECT_EQ(rig.port.baudRate, 9600);
    EXPECT_EQ(rig.answers.size(), 15u);
    EXPECT_EQ(versionRequestSpeeds(tracker.stop().events()), (std::vector<std::int32_t>{9600, 2400, 9600, 2400, 9600}));
}

TEST(VersionProbe, ReplyShorterThanTheVersionTextIsNoVersion) {
    TrackerOptions options = trackerOptions(V1_4);
    options.fault = {FaultKind::Short, 10};
    SimulatedTracker tracker(options);
    TransferRig rig(tracker.path());
    rig.read();
    EXPECT_EQ(rig.configurator.statusMessage, "Kavrel not found : (Kavrel v1.)");
    EXPECT_EQ(rig.configurator.settings.model, None);
    // Every attempt at 9600 was answered; those at 2400 were not understood.
    EXPECT_EQ(versionRequestSpeeds(tracker.stop().events()), (std::vector<std::int32_t>{9600, 2400, 9600, 2400, 9600}));
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
    const std::string cannotOpen = std::string("Could not open Com Port ") + kMissingPort;
    EXPECT_EQ(rig.statuses, (std::vector<std::string>{"Reading Version", "Reading Version", cannotOpen, cannotOpen,
                                                      cannotOpen, cannotOpen, "Kavrel not found : (Kavrel v1.)"}));
    EXPECT_EQ(rig.configurator.operation, Idle);
    EXPECT_EQ(rig.port.baudRate, 9600);
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
    const std::vector<std::uint8_t> heard = bytesOf(tracker.stop().events(), WireKind::Heard);
    EXPECT_EQ(heard, (std::vector<std::uint8_t>{ESC, 'V'}));
}

TEST(VersionProbe, APortThatDoesNotOpenLeavesThePhaseAlone) {
    TransferRig rig(kMissingPort);
    rig.configurator.statusMessage = "earlier";
    rig.configurator.startOperation(VersionThenRead);
    EXPECT_EQ(rig.configurator.statusMessage, std::string("Could not open Com Port ") + kMissingPort);
    EXPECT_EQ(rig.configurator.operation, Idle);
}

TEST(WriteConfirmation, LongPathsAskFirstAndDecliningSendsNothing) {
    for (const char* path : {"WIDE1-1,WIDE2-4", "WIDE5-5", "X-6,Y", "RELAY,WIDE7-7", "A-45"}) {
        TransferRig rig(kMissingPort);
        rig.configurator.settings.path = path;
        rig.configurator.settings.autoTxRateSec = 60;  // would ask too, but declining the path ends it
        rig.configurator.statusMessage = "before";
        EXPECT_EQ(rig.configurator.beginWrite(), 0);
        ASSERT_EQ(rig.script.shown.size(), 1u) << path;
        EXPECT_EQ(rig.script.shown[0].kind, "confirm");
        EXPECT_EQ(rig.script.shown[0].caption, "Kavrel Write");
        EXPECT_NE(rig.script.shown[0].text.find("longer path"), std::string::npos);
        EXPECT_EQ(rig.configurator.statusMessage, "before");
        EXPECT_EQ(rig.configurator.operation, Idle);
        EXPECT_EQ(rig.configurator.writeImage, ConfigImage{});
    }
}

TEST(WriteConfirmation, OrdinaryPathsAndRatesDoNotAsk) {
    for (const char* path : {"WIDE1-1,WIDE2-1", "WIDE3-3", "WIDE2-8", "", "WIDE1-1,WIDE2-2,WIDE3-3"}) {
        TransferRig rig(kMissingPort);
        rig.configurator.settings.path = path;
        rig.configurator.settings.autoTxRateSec = 120;
        EXPECT_EQ(rig.configurator.beginWrite(), 0);
        EXPECT_TRUE(rig.script.shown.empty()) << path;
        // With nothing to confirm the write starts: here the port does not open.
        EXPECT_EQ(rig.configurator.statusMessage, std::string("Could not open Com Port ") + kMissingPort);
    }
}

TEST(WriteConfirmation, FrequentRateAsksAfterThePath) {
    TransferRig rig(kMissingPort);
    rig.configurator.settings.path = "WIDE6-6";
    rig.configurator.settings.autoTxRateSec = 119;
    rig.script.answers = {true, false};
    EXPECT_EQ(rig.configurator.beginWrite(), 0);
    ASSERT_EQ(rig.script.shown.size(), 2u);
    EXPECT_NE(rig.script.shown[0].text.find("longer path"), std::string::npos);
    EXPECT_NE(rig.script.shown[1].text.find("more frequent"), std::string::npos);
    EXPECT_EQ(rig.configurator.statusMessage, "");

    rig.script.shown.clear();
    rig.script.answers = {true, true};
    EXPECT_EQ(rig.configurator.beginWrite(), 0);
    EXPECT_EQ(rig.script.shown.size(), 2u);
    EXPECT_EQ(rig.configurator.statusMessage, std::string("Could not open Com Port ") + kMissingPort);
}

TEST(WriteConfirmation, AcceptedBoxesLetTheWriteThrough) {
    SimulatedTracker tracker(trackerOptions(V1_4));
    TransferRig rig(tracker.path());
    rig.configurator.settings.model = V1_4;
    rig.configurator.settings.path = "WIDE7-7";
    rig.configurator.settings.autoTxRateSec = 30;
    rig.script.answers = {true, true};
    rig.write();
    EXPECT_EQ(rig.configurator.statusMessage, "Config Written Successfully!");
    EXPECT_EQ(rig.configurator.settings.path, "WIDE7-7");
    EXPECT_EQ(rig.configurator.settings.autoTxRateSec, 30);
    EXPECT_EQ(tracker.stop().eeprom(), rig.configurator.writeImage);
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
