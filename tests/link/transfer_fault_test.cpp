// Transfers against trackers that misbehave, and users who act in the middle of a transfer: every
// phase still ends at its judging tick with the judgment the received bytes deserve.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/tracker_settings.h"
#include "link/device_transfer.h"
#include "sim/factory_images.h"
#include "simulated_tracker.h"

namespace {

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

// Reads first, as the user would, so that the write encodes for the tracker's generation.
void readThenWrite(TransferRig& rig) {
    rig.read();
    ASSERT_EQ(rig.configurator.statusMessage, "Read Config Successful");
    rig.configurator.settings.callsign = "KV2ABC";
    rig.write();
}

}  // namespace

TEST(TransferFaults, AStoredByteThatDiffersFailsTheVerification) {
    SimulatedTracker tracker(faulty(V1_4, FaultKind::Corrupt, 20));
    TransferRig rig(tracker.path());
    readThenWrite(rig);
    EXPECT_EQ(rig.configurator.statusMessage, "Verify Failed");
    EXPECT_EQ(rig.configurator.bytesReceived, 128);
    EXPECT_EQ(rig.configurator.settings.callsign, "KV2ABC");  // the settings stay as the user had them
}

TEST(TransferFaults, AShortReadBackFailsOnItsSize) {
    // The version reply is shorter than 100 bytes and comes whole; 100 bytes of the image come.
    SimulatedTracker tracker(faulty(V1_4, FaultKind::Short, 100));
    TransferRig rig(tracker.path());
    rig.read();
    EXPECT_EQ(rig.configurator.statusMessage, "Corrupted EEPROM");
    EXPECT_EQ(rig.configurator.bytesReceived, 100);
    rig.configurator.settings.model = V1_4;
    rig.write();
    EXPECT_EQ(rig.configurator.statusMessage, "Verify FAILED SIZE");
    EXPECT_EQ(rig.configurator.bytesReceived, 100);
}

TEST(TransferFaults, AnOverlongReplyIsCountedInFullButStoredOnlyUpToItsEnd) {
    SimulatedTracker tracker(faulty(FaV1_4, FaultKind::Long, 300));
    TransferRig rig(tracker.path());
    rig.configurator.writeImage = pattern();
    rig.configurator.settings.callsign = "UNTOUCHED";
    rig.read();
    EXPECT_EQ(rig.configurator.statusMessage, "Corrupted EEPROM");
    EXPECT_EQ(rig.configurator.bytesReceived, 300);
    EXPECT_EQ(rig.configurator.readImage, factoryImage(FaV1_4));
    // What lies behind readImage is not written over.
    EXPECT_EQ(rig.configurator.writeImage, pattern());
    EXPECT_EQ(rig.configurator.settings.callsign, "UNTOUCHED");
}

TEST(TransferFaults, TheReadBackIsJudgedOnTheFirstVerifyingTick) {
    // 300 ms late is in time for the third tick of a reading phase, not for the first tick that
    // follows the read-back command.
    SimulatedTracker tracker(faulty(V1_4, FaultKind::Late, 300));
    TransferRig rig(tracker.path());
    readThenWrite(rig);
    EXPECT_EQ(rig.configurator.statusMessage, "Config not read ");
    EXPECT_EQ(rig.statuses.size(), 9u);
    EXPECT_EQ(rig.statuses[7], "Verifying Config");
    EXPECT_EQ(tracker.stop().eeprom(), rig.configurator.writeImage);
}

TEST(TransferFaults, BytesSentDuringTheWriteBeginTheReadBack) {
    // The tracker echoes the image as it stores it; nobody reads while writing, so the echo comes
    // first in the read-back, followed by the tracker's answer to the read-back command.
    SimulatedTracker tracker(faulty(V1_4, FaultKind::Echo));
    TransferRig rig(tracker.path());
    readThenWrite(rig);
    EXPECT_EQ(rig.configurator.statusMessage, "Verify FAILED SIZE");
    EXPECT_EQ(rig.configurator.bytesReceived, 256);
    EXPECT_EQ(rig.configurator.readImage, rig.configurator.writeImage);
}

TEST(TransferFaults, EarlyGenerationsNeedThePauseBeforeTheReadBack) {
    SimulatedTracker tracker(trackerOptions(V1_1));
    TransferRig rig(tracker.path());
    readThenWrite(rig);  // the pause is asked for but not taken
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
