// The transfer state machine against a simulated tracker on a pty, driven by the dialog's tick loop.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "link/device_transfer.h"
#include "sim/factory_images.h"
#include "simulated_tracker.h"
#include "support/temp_dir.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using Texts = std::vector<std::string>;
constexpr std::uint8_t ESC = 0x1B;
constexpr int kFirstImageTick = 4;  // three version ticks, then the first chunk
const char kMissingPort[] = "/dev/kavrel-no-such-port";
const std::string kCannotOpen = std::string("Could not open Com Port ") + kMissingPort;

TrackerOptions faulty(std::int32_t generation, FaultKind kind, std::int32_t value = 0) {
    TrackerOptions options = trackerOptions(generation);
    options.fault = {kind, value};
    return options;
}

// The shortest time between ESC and the command byte after it, over all commands the port sent.
struct CommandGaps {
    std::vector<std::pair<std::uint8_t, std::chrono::steady_clock::time_point>> sent;
    PortObserver observer{this, [](void* self, PortEvent event, std::uint8_t value, std::chrono::steady_clock::time_point at) {
                              if (event == PortEvent::Sent) static_cast<CommandGaps*>(self)->sent.push_back({value, at});
                          }};
    double before(std::uint8_t second) const {
        double shortest = 1e9;
        for (std::size_t i = 1; i < sent.size(); ++i)
            if (sent[i - 1].first == ESC && sent[i].first == second)
                shortest = std::min(shortest, std::chrono::duration<double, std::milli>(sent[i].second - sent[i - 1].second).count());
        return shortest;
    }
};

class EveryGeneration : public ::testing::TestWithParam<std::int32_t> {};

}  // namespace

TEST_P(EveryGeneration, ReadsThenWritesInItsOwnLayoutWhateverTheImageWasEncodedFor) {
    const std::int32_t generation = GetParam();
    TrackerRig rig(trackerOptions(generation));
    rig.script.realPauses = true;  // generations 1 and 2 are deaf for a while after storing
    CommandGaps gaps;
    rig.port.observer = &gaps.observer;
    Configurator& c = rig.configurator;
    rig.read();
    EXPECT_EQ(c.statusMessage, "Read Config Successful");
    EXPECT_EQ(c.outcome, Outcome::Succeeded);
    EXPECT_EQ(c.settings.model, generation);
    EXPECT_EQ(c.readImage, factoryImage(generation));
    EXPECT_EQ(rig.answers, (std::vector<std::int32_t>{0, 0, 1, 0, 0, 1}));
    EXPECT_EQ(c.port().handle, -1);

    // Defaults laid out for the next generation: the tracker gets its own layout of them.
    c.settings = TrackerSettings();
    c.settings.model = generation % 4 + 1;
    rig.write();
    EXPECT_EQ(c.statusMessage, "Config Written Successfully!");
    EXPECT_EQ(c.settings.model, generation);
    EXPECT_EQ(rig.answers, (std::vector<std::int32_t>{0, 0, 1, 0, 0, 0, 0, 0, 1}));
    EXPECT_EQ(Texts(rig.statuses.begin() + 2, rig.statuses.end() - 1),
              (Texts{"Writing Config : ", "Writing Config : *", "Writing Config : **", "Writing Config : ***",
                     "Writing Config : ****", "Verifying Config"}));
    EXPECT_EQ(rig.script.pauses, generation <= FirmwareModel::V1_2 ? std::vector<int>{2000} : std::vector<int>{});
    const TrackerEngine& engine = rig.stop();
    ASSERT_EQ(engine.stores().size(), 1u);
    EXPECT_EQ(engine.stores()[0].received, factoryImage(generation));
    // Every command byte but the version request's waits 10 ms after its ESC.
    EXPECT_GE(gaps.before('U'), 9.5);
    EXPECT_GE(gaps.before('D'), 9.5);
    EXPECT_EQ(gaps.sent.size(), 2 + 2 + 2 + 2 + 128 + 2u);
}

INSTANTIATE_TEST_SUITE_P(Generations, EveryGeneration, ::testing::Values(FirmwareModel::V1_1, FirmwareModel::V1_2, FirmwareModel::V1_4, FirmwareModel::FaV1_4));

TEST(VersionProbe, FindsA2400TrackerOnTheSecondAttemptGivesUpAfterFiveAndTakesNoEarlierReply) {
    TrackerRig rig(trackerOptions(FirmwareModel::V1_4, 2400));
    rig.read();
    EXPECT_EQ(rig.configurator.statusMessage, "Read Config Successful");
    rig.read();
    EXPECT_EQ(versionRequestSpeeds(rig.stop().events()), (std::vector<std::int32_t>{9600, 2400, 2400}));

    TrackerRig gives(faulty(FirmwareModel::V1_4, FaultKind::Short, 10));  // shorter than any version text
    gives.configurator.settings.model = FirmwareModel::FaV1_4;
    gives.read();
    EXPECT_EQ(gives.configurator.statusMessage, "Kavrel not found : (Kavrel v1.)");
    EXPECT_EQ(gives.configurator.outcome, Outcome::NotFound);
    EXPECT_EQ(gives.configurator.settings.model, FirmwareModel::None);
    EXPECT_EQ(versionRequestSpeeds(gives.stop().events()), (std::vector<std::int32_t>{9600, 2400, 9600, 2400, 9600}));

    // A reply that came before an attempt (too late for the one before) is no answer to it.
    BarePty pty;
    TransferRig late(pty.path());
    ASSERT_EQ(::write(pty.master(), "Kavrel FA v1.4\r\n", 16), 16);
    startRead(late.configurator, TransferOp::VersionOnly, 4);  // the last attempt
    late.runToIdle();
    EXPECT_EQ(late.configurator.outcome, Outcome::NotFound);
}

TEST(VersionProbe, APortThatWillNotReopenEndsTheProbeOrTheRead) {
    for (const bool versionFound : {false, true}) {
        TrackerRig rig(versionFound ? trackerOptions(FirmwareModel::V1_4) : faulty(FirmwareModel::V1_4, FaultKind::Short, 10));
        rig.betweenTicks = [&](int tick) {
            if (tick == 2) rig.port.portName = kMissingPort;
        };
        rig.read();
        EXPECT_EQ(bytesOf(rig.stop().events(), WireKind::Heard), (Bytes{ESC, 'V'}));
        if (versionFound) {
            EXPECT_EQ(rig.configurator.statusMessage, "Config not read ");
            continue;
        }
        EXPECT_EQ(rig.statuses, (Texts{"Reading Version", "Reading Version", kCannotOpen, kCannotOpen, kCannotOpen,
                                           kCannotOpen, "Kavrel not found : (Kavrel v1.)"}));
    }
}

TEST(WriteConfirmation, RiskyPathsAndRatesAskFirstAndDecliningSendsNothing) {
    const struct {
        const char* path;
        int rate;
        std::vector<bool> answers;
        const char* asked;  // P: the path box, R: the rate box
        bool sent;
    } cases[] = {{"WIDE1-1,WIDE2-4", 300, {false}, "P", false}, {"X-6,Y", 60, {false}, "P", false},
                 {"A-45", 300, {true}, "P", true},               {"WIDE2-8,A-1", 120, {}, "", true},
                 {"WIDE7-7", 119, {true, false}, "PR", false},   {"", 119, {true}, "R", true}};
    for (const auto& c : cases) {
        TransferRig rig(kMissingPort);
        rig.configurator.settings.path = c.path;
        rig.configurator.settings.autoTxRateSec = static_cast<std::uint16_t>(c.rate);
        rig.script.answers.assign(c.answers.begin(), c.answers.end());
        rig.configurator.statusMessage = "before";
        EXPECT_EQ(rig.configurator.beginWrite(), 0);
        std::string asked;
        for (const auto& shown : rig.script.shown) {
            EXPECT_EQ(shown.caption, "Kavrel Write");
            asked += shown.text.find("longer path") != std::string::npos ? 'P' : shown.text.find("more frequent") != std::string::npos ? 'R' : '?';
        }
        EXPECT_EQ(asked, c.asked) << c.path;
        // A write that starts finds no port; a declined one leaves everything as it was.
        EXPECT_EQ(rig.configurator.statusMessage, c.sent ? kCannotOpen : "before") << c.path;
        EXPECT_EQ(rig.configurator.outcome, c.sent ? Outcome::PortFailed : Outcome::Declined) << c.path;
        if (!c.sent) { EXPECT_EQ(rig.configurator.writeImage, ConfigImage{}); }
    }
}

TEST(WriteForTheTracker, ATextThatFitsOnlyTheFirstGenerationSendsNothingElsewhere) {
    for (const std::int32_t encodedFor : {FirmwareModel::V1_1, FirmwareModel::V1_4}) {
        TrackerRig rig(trackerOptions(FirmwareModel::V1_4));
        Configurator& c = rig.configurator;
        c.settings.model = encodedFor;
        c.settings.statusText = std::string(87, 'x');  // the room generation 1 leaves with this path
        if (encodedFor == FirmwareModel::V1_1)
            rig.write();  // cut only once the tracker has answered
        else
            EXPECT_EQ(c.beginWrite(), 1);
        EXPECT_EQ(c.statusMessage, encodedFor == FirmwareModel::V1_1 ? "Nothing Written : Text Too Long" : "Read Config Successful");
        EXPECT_EQ(c.outcome, Outcome::Cut);
        if (encodedFor == FirmwareModel::V1_1) { EXPECT_EQ(rig.answers.back(), 1); }  // the form shows the cut settings
        ASSERT_EQ(rig.script.shown.size(), 1u);
        EXPECT_EQ(rig.script.shown[0].caption, "Text Truncated");
        // The settings show what the tracker would have stored.
        EXPECT_EQ(c.settings.statusText, std::string(85, 'x'));
        EXPECT_EQ(c.readImage, c.writeImage);
        const TrackerEngine& engine = rig.stop();
        EXPECT_TRUE(engine.stores().empty());
        EXPECT_EQ(bytesOf(engine.events(), WireKind::Heard).size(), encodedFor == FirmwareModel::V1_1 ? 2u : 0u);  // ESC "V" at most
    }
}

TEST(WriteForTheTracker, CommandsSaveAndLoadDuringTheImageLeaveItWholeAndItsOutcomeTheTrackers) {
    TempDir dir;
    const std::string file = dir.path("other.kvr");
    const struct {
        const char* name;
        std::function<void(TransferRig&)> command;
        const char* status;
    } cases[] = {
        {"save", [&](TransferRig& rig) { rig.configurator.settings.callsign = "SAVED"; rig.configurator.saveFile(file.c_str()); },
         "Config Written Successfully!"},
        {"read", [](TransferRig& rig) { startRead(rig.configurator, TransferOp::VersionThenRead); }, "Read Config Successful"},
        {"write", [](TransferRig& rig) { rig.configurator.beginWrite(); }, "Config Written Successfully!"},
        {"tone", [](TransferRig& rig) { rig.configurator.testTone(TestTone::Both); }, "Config not read "},
    };
    for (const auto& c : cases) {
        TrackerRig rig(trackerOptions(FirmwareModel::FaV1_4));
        rig.configurator.settings.callsign = "KV1ABC";
        rig.betweenTicks = [&](int tick) {
            if (tick == kFirstImageTick) c.command(rig);
        };
        rig.write();
        EXPECT_EQ(rig.configurator.statusMessage, c.status) << c.name;
        rig.betweenTicks = nullptr;
        rig.read();
        EXPECT_EQ(rig.configurator.settings.callsign, "KV1ABC") << c.name;
        const TrackerEngine& engine = rig.stop();
        ASSERT_FALSE(engine.stores().empty()) << c.name;
        for (const StoreEvent& store : engine.stores()) EXPECT_EQ(store.received, rig.configurator.readImage) << c.name;
    }
    // A Load while a first-generation tracker is read: its image is judged under its own generation.
    TrackerRig rig(trackerOptions(FirmwareModel::V1_1));
    rig.betweenTicks = [&](int tick) {
        if (tick == kFirstImageTick) rig.configurator.loadFile(file.c_str());
    };
    rig.read();
    EXPECT_EQ(rig.configurator.statusMessage, "Read Config Successful");
    EXPECT_EQ(rig.configurator.readImage, factoryImage(FirmwareModel::V1_1));
    EXPECT_EQ(rig.configurator.settings.model, FirmwareModel::V1_1);
    EXPECT_EQ(rig.configurator.settings.frequencyMHz, kDefaultFrequencyMHz);
}

TEST(TransferFaults, ReadBacksThatAreWrongLateOrPrecededByTheEchoFailTheVerification) {
    // An echo of the image begins the read-back; 300 ms late misses the first verifying tick.
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
        TrackerRig rig(faulty(FirmwareModel::V1_4, c.fault, c.value));
        rig.configurator.settings.model = FirmwareModel::V1_4;
        rig.configurator.settings.callsign = "KV2ABC";
        rig.write();
        EXPECT_EQ(rig.configurator.statusMessage, c.status) << c.value;
        EXPECT_EQ(rig.configurator.bytesReceived, c.received) << c.value;
        EXPECT_EQ(rig.configurator.settings.callsign, "KV2ABC");  // the settings stay as the user had them
        EXPECT_EQ(rig.statuses.size(), 9u) << c.value;          // judged on the first verifying tick
    }
}

TEST(TransferFaults, ShortOverlongBabblingAndHungUpImagesAreCountedAndKeptInside) {
    const struct {
        FaultKind fault;
        std::int32_t value;
        std::int32_t fewest, most;  // bytes counted
    } cases[] = {{FaultKind::Short, 100, 100, 100}, {FaultKind::Long, 300, 300, 300}, {FaultKind::Babble, 0, 129, 1 << 20},
                 {FaultKind::HangUp, 13 + 64, 1, 64}};
    for (const auto& c : cases) {
        TrackerOptions options = faulty(FirmwareModel::FaV1_4, c.fault, c.value);
        options.replyDelayMs = c.fault == FaultKind::HangUp ? 150 : 0;  // the line drops while a tick listens
        TrackerRig rig(options);
        rig.configurator.writeImage.fill(0xA5);
        rig.configurator.settings.callsign = "UNTOUCHED";
        rig.read();
        EXPECT_EQ(rig.configurator.outcome, Outcome::Corrupted);
        // Every tick came back (a drain is bounded in time), and nothing behind readImage changed.
        EXPECT_EQ(rig.answers, (std::vector<std::int32_t>{0, 0, 1, 0, 0, 1}));
        EXPECT_EQ(rig.configurator.writeImage[0], 0xA5);
        EXPECT_EQ(rig.configurator.settings.callsign, "UNTOUCHED");
        EXPECT_GE(rig.configurator.bytesReceived, c.fewest);
        EXPECT_LE(rig.configurator.bytesReceived, c.most);
        EXPECT_LE(rig.configurator.versionReply.size(), 256u);
    }
}

TEST(TransferFaults, AnEarlyGenerationIsDeafWithoutThePauseAndATestToneClosesThePort) {
    TrackerRig rig(trackerOptions(FirmwareModel::V1_1));
    rig.configurator.settings.model = FirmwareModel::V1_1;
    rig.write();  // the pause is asked for but not taken
    EXPECT_EQ(rig.script.pauses, std::vector<int>{2000});
    EXPECT_EQ(rig.configurator.statusMessage, "Config not read ");
    EXPECT_EQ(bytesOf(rig.stop().events(), WireKind::Ignored), (Bytes{ESC, 'U'}));

    // Tones on tick 1 of the version and of the reading phase: the phases go on with what they have.
    TrackerRig toned(trackerOptions(FirmwareModel::FaV1_4));
    toned.betweenTicks = [&](int tick) {
        if (tick == 1 || tick == 4) toned.configurator.testTone(tick == 1 ? TestTone::Tone1200 : TestTone::Stop);
    };
    toned.read();
    EXPECT_EQ(toned.configurator.statusMessage, "Read Config Successful");
    EXPECT_EQ(toned.port.lastError, "Close: ComPort Invalid");
    Bytes tones;
    for (const ToneEvent& tone : toned.stop().tones()) tones.push_back(tone.command);
    EXPECT_EQ(tones, (Bytes{'1', ESC}));
}
