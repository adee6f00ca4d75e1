// A write stores what the user asked for in the layout of the tracker that answered, and whole:
// whatever generation the image was first laid out for, whatever command, Save or Load comes
// while the image goes out.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "config/config_image.h"
#include "config/tracker_settings.h"
#include "link/device_transfer.h"
#include "sim/factory_images.h"
#include "simulated_tracker.h"
#include "support/temp_dir.h"

namespace {

constexpr int kFirstImageTick = 4;  // three version ticks, then the first chunk

class FoundGeneration : public ::testing::TestWithParam<std::int32_t> {};

std::vector<std::uint8_t> heard(const TrackerEngine& engine) { return bytesOf(engine.events(), WireKind::Heard); }

}  // namespace

TEST_P(FoundGeneration, TheImageIsLaidOutForTheTrackerWhateverItWasEncodedFor) {
    const std::int32_t found = GetParam();
    TrackerOptions options = trackerOptions(found);
    options.storeDeafMs = 0;  // the pause before the read-back is another test's
    SimulatedTracker tracker(options);
    TransferRig rig(tracker.path());
    for (const std::int32_t encodedFor : {None, V1_1, V1_2, V1_4, FaV1_4}) {
        if (encodedFor == found) continue;
        rig.configurator.settings = TrackerSettings();
        rig.configurator.settings.model = encodedFor;
        rig.write();
        EXPECT_EQ(rig.configurator.statusMessage, "Config Written Successfully!") << encodedFor;
        EXPECT_EQ(rig.configurator.settings.model, found);
        // The simulator's own image of the default settings for its generation.
        EXPECT_EQ(rig.configurator.writeImage, factoryImage(found)) << encodedFor;
    }
    const TrackerEngine& engine = tracker.stop();
    ASSERT_EQ(engine.stores().size(), 4u);
    for (const StoreEvent& store : engine.stores()) EXPECT_EQ(store.received, factoryImage(found));
}

INSTANTIATE_TEST_SUITE_P(Generations, FoundGeneration, ::testing::Values(V1_1, V1_2, V1_4, FaV1_4),
                         [](const ::testing::TestParamInfo<std::int32_t>& generation) {
                             return "Generation" + std::to_string(generation.param);
                         });

TEST(WriteForTheTracker, ATextThatFitsOnlyTheFirstGenerationSendsNothingElsewhere) {
    SimulatedTracker tracker(trackerOptions(V1_4));
    TransferRig rig(tracker.path());
    Configurator& c = rig.configurator;
    c.settings.model = V1_1;
    c.settings.statusText = std::string(87, 'x');  // the room generation 1 leaves with this path
    rig.write();
    EXPECT_EQ(c.statusMessage, "Nothing Written : Text Too Long");
    EXPECT_EQ(c.operation, Idle);
    ASSERT_EQ(rig.script.shown.size(), 1u);
    EXPECT_EQ(rig.script.shown[0].caption, "Text Truncated");
    // The form shows what the tracker would have stored.
    EXPECT_EQ(c.settings.statusText, std::string(85, 'x'));
    EXPECT_EQ(c.settings.model, V1_4);
    EXPECT_EQ(rig.answers.back(), 1);
    const TrackerEngine& engine = tracker.stop();
    EXPECT_TRUE(engine.stores().empty());
    EXPECT_EQ(heard(engine), (std::vector<std::uint8_t>{0x1B, 'V'}));
}

TEST(WriteForTheTracker, ACommandDuringTheImageComesAfterItsLastByte) {
    const struct {
        const char* name;
        std::function<void(TransferRig&)> command;
        const char* status;
    } cases[] = {
        {"read", [](TransferRig& rig) { rig.start(VersionThenRead); }, "Read Config Successful"},
        {"write", [](TransferRig& rig) { rig.configurator.beginWrite(); }, "Config Written Successfully!"},
        {"tone", [](TransferRig& rig) { rig.configurator.testTone(TestTone::Both); }, "Config not read "},
    };
    for (const auto& c : cases) {
        SimulatedTracker tracker(trackerOptions(FaV1_4));
        TransferRig rig(tracker.path());
        rig.configurator.settings.callsign = "KV1ABC";
        rig.betweenTicks = [&](int tick) {
            if (tick == kFirstImageTick) c.command(rig);
        };
        rig.write();
        EXPECT_EQ(rig.configurator.statusMessage, c.status) << c.name;
        rig.betweenTicks = nullptr;
        rig.read();
        EXPECT_EQ(rig.configurator.statusMessage, "Read Config Successful") << c.name;
        EXPECT_EQ(rig.configurator.settings.callsign, "KV1ABC") << c.name;
        const TrackerEngine& engine = tracker.stop();
        ASSERT_FALSE(engine.stores().empty()) << c.name;
        for (const StoreEvent& store : engine.stores()) EXPECT_EQ(store.received, rig.configurator.readImage) << c.name;
    }
}

TEST(WriteForTheTracker, SaveAndLoadDuringATransferLeaveItsBytesAndOutcome) {
    TempDir dir;
    const std::string file = dir.path("other.kvr");
    {
        SimulatedTracker tracker(trackerOptions(FaV1_4));
        TransferRig rig(tracker.path());
        Configurator& c = rig.configurator;
        c.settings.callsign = "KV1ABC";
        rig.betweenTicks = [&](int tick) {
            if (tick != kFirstImageTick) return;
            c.settings.callsign = "SAVED";  // the form, read by Save
            c.saveFile(file.c_str());
        };
        rig.write();
        EXPECT_EQ(c.statusMessage, "Config Written Successfully!");
        EXPECT_EQ(c.settings.callsign, "KV1ABC");
        const TrackerEngine& engine = tracker.stop();
        ASSERT_EQ(engine.stores().size(), 1u);
        EXPECT_EQ(engine.stores()[0].received, c.writeImage);
    }
    // A Load in the middle of reading a first-generation tracker: the read judges the tracker's
    // image, under the tracker's generation.
    SimulatedTracker tracker(trackerOptions(V1_1));
    TransferRig rig(tracker.path());
    Configurator& c = rig.configurator;
    rig.betweenTicks = [&](int tick) {
        if (tick == kFirstImageTick) {
            c.loadFile(file.c_str());
            EXPECT_EQ(c.statusMessage, "File Loaded");
            EXPECT_EQ(c.settings.callsign, "SAVED");
        }
    };
    rig.read();
    EXPECT_EQ(c.statusMessage, "Read Config Successful");
    EXPECT_EQ(c.readImage, factoryImage(V1_1));
    EXPECT_EQ(c.settings.model, V1_1);
    EXPECT_EQ(c.settings.callsign, "NOCALL");
    EXPECT_EQ(c.settings.frequencyMHz, kDefaultFrequencyMHz);
}
