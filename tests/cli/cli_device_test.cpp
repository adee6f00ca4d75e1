// version, read, write and tone against kavrel-sim on a pty of its own per test.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "program_run.h"
#include "support/temp_dir.h"

namespace {

const char kRateWarning[] =
    "Kavrel Write: You are about to configure your Kavrel with the ability to send at a rate that is more frequent "
    "then is normally recommended. Are you sure you want to do this?";

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

class DeviceCommands : public ::testing::Test {
protected:
    // What the tracker holds now, read back through kavrelcfg itself: the settings as read prints
    // them, and the image.
    struct TrackerState {
        std::string settings;
        ImageBytes image;
    };
    TrackerState readBack(const SimulatorProcess& sim) {
        const std::string out = dir.path("readback.kvr");
        const ProgramResult result = runKavrelcfg({"read", "-p", sim.port(), "-o", out});
        EXPECT_EQ(result.exitCode, 0) << result.err;
        return {result.out, imageOfFile(readWholeFile(out))};
    }

    TempDir dir;
};

TEST_F(DeviceCommands, VersionFindsTheGenerationAt9600Or2400AndAbsenceAndNoPortAreFailures) {
    const struct {
        std::vector<std::string> sim, args;
        int exitCode;
        const char* out;
        std::vector<const char*> err;  // all of it when there is one, else parts of it
    } cases[] = {
        {{"--generation", "4"}, {"version"}, 0, "version = Kavrel FA v1.4\\x0d\\x0a\nmodel = 4\n",
         {"Version Read : \"Kavrel FA v1.4\\x0d\\x0a\"\n"}},
        {{"--generation", "1", "--baud", "2400"}, {"version", "--trace"}, 0,
         "version = Kavrel v1.1\\x0d\\x0a\nmodel = 1\n", {"tx  1B 56", "no known version; trying again at 2400 baud"}},
        {{"--generation", "none"}, {"read"}, 1, "", {"Kavrel not found : ()\n"}},
    };
    for (const auto& c : cases) {
        SimulatorProcess sim(c.sim);
        ASSERT_FALSE(sim.port().empty());
        std::vector<std::string> args = c.args;
        args.insert(args.begin() + 1, {"-p", sim.port()});
        const ProgramResult result = runKavrelcfg(args);
        EXPECT_EQ(result.exitCode, c.exitCode) << result.err;
        EXPECT_EQ(result.out, c.out);
        if (c.err.size() == 1) { EXPECT_EQ(result.err, c.err[0]); }
        for (const char* part : c.err) EXPECT_TRUE(contains(result.err, part)) << result.err;
    }

    const std::string nowhere = dir.path("no-such-port");
    const ProgramResult read = runKavrelcfg({"read", "-p", nowhere});
    EXPECT_EQ(read.exitCode, 1);
    EXPECT_TRUE(contains(read.err, "Could not open Com Port " + nowhere + "\n")) << read.err;
    const ProgramResult tone = runKavrelcfg({"tone", "-p", nowhere, "1200"});
    EXPECT_EQ(tone.exitCode, 1);
    EXPECT_EQ(tone.err, "Could not open Com Port " + nowhere + "\n");
}

TEST_F(DeviceCommands, ReadPrintsTheSettingsAndSavesTheBytesAsTheyAre) {
    // Delay byte 1 decodes to 7 ms, which would encode to 2; the unused byte 100 would be lost
    // by encoding too. A saved read must keep both.
    ImageBytes image = defaultImageModel4();
    image[2] = 1;
    image[100] = 0x5A;
    const std::string eeprom = fileWith(dir, "eeprom.kvr", image);
    SimulatorProcess sim({"--eeprom", eeprom});
    ASSERT_FALSE(sim.port().empty());
    const std::string saved = dir.path("saved.kvr");
    const ProgramResult result = runKavrelcfg({"read", "-p", sim.port(), "-o", saved, "--json", "--trace"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(contains(result.out, "  \"autoTxDelayMs\": 7,\n")) << result.out;
    EXPECT_TRUE(contains(result.out, "  \"model\": 4\n}\n")) << result.out;
    EXPECT_TRUE(contains(result.err, "Read Config Successful\nFile Saved\n")) << result.err;
    EXPECT_TRUE(contains(result.err, "rx  0B 80 01 2C 01 41 2A 3C 03 CE 70 82 A0 96 AC 62  image bytes 0 to 127"))
        << result.err;
    EXPECT_EQ(readWholeFile(saved), readWholeFile(eeprom));
}

TEST_F(DeviceCommands, RiskyWriteIsDeclinedWithoutYesAndAcceptedWithItAndTooLongTextIsNot) {
    const std::string own = dir.path("own.kvr");
    ASSERT_EQ(runKavrelcfg({"encode", "--set", "callsign=AB1CD", "--set", "statusText=Own text", "-o", own}).exitCode,
              0);
    SimulatorProcess sim({"--eeprom", own});
    ASSERT_FALSE(sim.port().empty());
    // Declined without --yes; a status text that does not fit is not written even with it.
    const struct {
        std::vector<std::string> set;
        std::vector<std::string> err;
    } refusals[] = {{{"autoTxRateSec=60"}, {kRateWarning, "Nothing written"}},
                    {{"statusText=" + std::string(100, 'x'), "--yes"},
                     {"Text Truncated: ", "Nothing written: with this path the status text holds at most 85 characters.\n"}}};
    for (const auto& refusal : refusals) {
        std::vector<std::string> args{"write", "-p", sim.port(), "--set"};
        args.insert(args.end(), refusal.set.begin(), refusal.set.end());
        const ProgramResult refused = runKavrelcfg(args);
        EXPECT_EQ(refused.exitCode, 1);
        for (const std::string& part : refusal.err) EXPECT_TRUE(contains(refused.err, part)) << refused.err;
        EXPECT_EQ(readBack(sim).image, imageOfFile(readWholeFile(own)));
    }

    const ProgramResult result =
        runKavrelcfg({"write", "-p", sim.port(), "--set", "autoTxRateSec=60", "--set", "path=WIDE5-5", "--yes"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(contains(result.err, "longer path than is normally recommended")) << result.err;
    EXPECT_TRUE(contains(result.err, kRateWarning)) << result.err;
    EXPECT_TRUE(contains(result.err, "Config Written Successfully!\n")) << result.err;
    const std::string settings = readBack(sim).settings;
    EXPECT_TRUE(contains(settings, "path = WIDE5-5\n")) << settings;
    EXPECT_TRUE(contains(settings, "autoTxRateSec = 60\n")) << settings;
    // What was not set stays as the tracker had it.
    EXPECT_TRUE(contains(settings, "callsign = AB1CD\n")) << settings;
    EXPECT_TRUE(contains(settings, "statusText = Own text\n")) << settings;
}

TEST_F(DeviceCommands, WriteTakesTheFileAndTheTrackersGeneration) {
    const std::string from = dir.path("from.kvr");
    ASSERT_EQ(runKavrelcfg({"encode", "--set", "callsign=test-5", "--set", "path=WIDE2-2", "--set",
                            "statusText=From file", "--set", "frequencyMHz=146.52", "-o", from})
                  .exitCode,
              0);
    SimulatorProcess sim({"--generation", "3"});
    ASSERT_FALSE(sim.port().empty());
    const ProgramResult result = runKavrelcfg({"write", "-p", sim.port(), "--from", from, "--set", "sendEvery=7"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    const TrackerState state = readBack(sim);
    EXPECT_TRUE(contains(state.settings, "callsign = TEST-5\npath = WIDE2-2\nstatusText = From file\n"))
        << state.settings;
    EXPECT_TRUE(contains(state.settings, "sendEvery = 7\n")) << state.settings;
    EXPECT_TRUE(contains(state.settings, "model = 3\n")) << state.settings;
    // Encoded for generation 3: its destination, and no frequency in bytes 9 and 10.
    ASSERT_EQ(state.image.size(), 128u);
    EXPECT_EQ(ImageBytes(state.image.begin() + 9, state.image.begin() + 18),
              (ImageBytes{0x00, 0x00, 0x82, 0xA0, 0x96, 0xAC, 0x62, 0x68, 0x60}));
}

TEST_F(DeviceCommands, BlankTrackerNeedsAWholeConfiguration) {
    const std::string blank = fileWith(dir, "blank.kvr", ImageBytes(128, 0xFF));
    SimulatorProcess sim({"--eeprom", blank});
    ASSERT_FALSE(sim.port().empty());
    const ProgramResult refused = runKavrelcfg({"write", "-p", sim.port(), "--set", "callsign=AB1CD"});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(contains(refused.err, "Corrupted EEPROM\n")) << refused.err;
    EXPECT_TRUE(contains(refused.err, "--from")) << refused.err;

    const std::string defaults = fileWith(dir, "defaults.kvr", defaultImageModel4());
    const ProgramResult written = runKavrelcfg({"write", "-p", sim.port(), "--from", defaults});
    EXPECT_EQ(written.exitCode, 0) << written.err;
    EXPECT_EQ(readBack(sim).image, defaultImageModel4());
}

TEST_F(DeviceCommands, OnATerminalTheWriteAsksAndShowsProgress) {
    SimulatorProcess sim({"--generation", "4"});
    ASSERT_FALSE(sim.port().empty());
    const ProgramResult declined =
        runKavrelcfgOnTerminal({"write", "-p", sim.port(), "--set", "autoTxRateSec=90"}, "Continue? [y/N] ", "n\n");
    EXPECT_EQ(declined.exitCode, 1) << declined.out;
    EXPECT_TRUE(contains(declined.out, "Nothing written")) << declined.out;

    const ProgramResult accepted =
        runKavrelcfgOnTerminal({"write", "-p", sim.port(), "--set", "autoTxRateSec=90"}, "Continue? [y/N] ", "y\n");
    EXPECT_EQ(accepted.exitCode, 0) << accepted.out;
    EXPECT_TRUE(contains(accepted.out, "\rReading Config  128/128")) << accepted.out;
    EXPECT_TRUE(contains(accepted.out, "\rWriting Config  128/128")) << accepted.out;
    EXPECT_TRUE(contains(accepted.out, "Config Written Successfully!")) << accepted.out;
}

TEST_F(DeviceCommands, ToneCommandsReachTheTracker) {
    SimulatorProcess sim({"--generation", "4", "--trace"});
    ASSERT_FALSE(sim.port().empty());
    const ProgramResult both = runKavrelcfg({"tone", "-p", sim.port(), "both", "--trace"});
    EXPECT_EQ(both.exitCode, 0) << both.err;
    EXPECT_TRUE(contains(both.err, "tx  1B 1B 33")) << both.err;
    EXPECT_EQ(runKavrelcfg({"tone", "-p", sim.port(), "stop"}).exitCode, 0);
    const std::string trace = sim.trace();
    EXPECT_TRUE(contains(trace, "heard 33")) << trace;
    // ESC ESC "3", then ESC ESC ESC.
    std::size_t escapes = 0;
    for (std::size_t at = trace.find("heard 1B"); at != std::string::npos; at = trace.find("heard 1B", at + 1))
        ++escapes;
    EXPECT_EQ(escapes, 5u) << trace;
}

}  // namespace
