// kavrelcfg end to end: its commands on stored configuration files and against kavrel-sim, their
// exit statuses, and what --trace shows of the line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/config_file.h"
#include "program_run.h"
#include "support/stored_images.h"
#include "support/temp_dir.h"

namespace {

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

std::string fileBytes(const ConfigImage& image) {
    const ConfigFileBytes bytes = configFileBytes(image);
    return std::string(bytes.begin(), bytes.end());
}

std::string imagesDir() { return std::string(KAVREL_TEST_IMAGES) + "/"; }

class Kavrelcfg : public ::testing::Test {
protected:
    std::string file(const std::string& name, const ConfigImage& image) {
        writeWholeFile(dir.path(name), fileBytes(image));
        return dir.path(name);
    }
    TempDir dir;
};

}  // namespace

TEST_F(Kavrelcfg, ShowAndHexReadAFileAsTheGenerationGiven) {
    const ProgramResult shown = runKavrelcfg({"show", imagesDir() + "default-generation4.kvr"});
    EXPECT_EQ(shown.exitCode, 0);
    EXPECT_EQ(shown.out,
              "callsign = NOCALL\npath = WIDE1-1,WIDE2-1\nstatusText = Kavrel\ncalibration = 128\n"
              "autoTxDelayMs = 253\nsendEvery = 3\nautoTxRateSec = 300\nquietTimeMs = 1578\n"
              "frequencyMHz = 144.390\ntxTwist = true\ninvertCd = false\nsendWithWeather = false\n"
              "allowTtlSerial = false\npeetMode = true\nwx200Mode = false\nmodel = 4\n");
    EXPECT_EQ(shown.err, "File Loaded\n");
    const ProgramResult json = runKavrelcfg({"show", imagesDir() + "edge-foreign-callsign.kvr", "--json"});
    EXPECT_TRUE(contains(json.out, "  \"callsign\": \"\\u0001\\u007fNO\",\n")) << json.out;

    const ProgramResult asGeneration1 = runKavrelcfg({"show", imagesDir() + "default-generation1.kvr", "--model", "1"});
    EXPECT_TRUE(contains(asGeneration1.out, "frequencyMHz = 144.390\n")) << asGeneration1.out;
    const ProgramResult hex = runKavrelcfg({"hex", imagesDir() + "default-generation1.kvr"});
    EXPECT_EQ(hex.exitCode, 0);
    for (const char* row : {"0        09                       address block start: 9\n",
                            "5        40                       flags: peetMode\n",
                            "9-10     82 A0                    frequencyMHz: 41090 steps of 5 kHz = 205.450 MHz\n",
                            "9-15     82 A0 96 AC 60 62 60     destination \"APKV01\" (overlaps the bytes above)\n",
                            "30-36    AE 92 88 8A 64 40 63     path 2 \"WIDE2-1\", end of address block\n",
                            "46       00                       end of status text\n"})
        EXPECT_TRUE(contains(hex.out, row)) << row << hex.out;
    const ProgramResult hostile = runKavrelcfg({"hex", imagesDir() + "hostile-no-end-mark.kvr"});
    EXPECT_EQ(hostile.exitCode, 1);
    EXPECT_TRUE(contains(hostile.out, "no end-of-address-block mark")) << hostile.out;
}

TEST_F(Kavrelcfg, EncodeStoresTheDefaultsOrAFileWithItsChanges) {
    for (const char* model : {"0", "1", "2", "3", "4"}) {
        const ProgramResult result = runKavrelcfg({"encode", "--model", model, "-o", dir.path("d.kvr")});
        EXPECT_EQ(result.exitCode, 0) << result.err;
        EXPECT_EQ(readWholeFile(dir.path("d.kvr")), fileBytes(defaultImage(model[0] - '0'))) << model;
    }
    const ProgramResult changed = runKavrelcfg({"encode", "--from", dir.path("d.kvr"), "--set", "callsign=kv1abc-7", "--set",
                                                "autoTxDelayMs=70000", "--set", "wx200Mode=1", "-o", dir.path("e.kvr")});
    EXPECT_EQ(changed.exitCode, 0) << changed.err;
    const ProgramResult shown = runKavrelcfg({"show", dir.path("e.kvr")});
    for (const char* line : {"callsign = KV1ABC-7\n", "autoTxDelayMs = 1700\n", "wx200Mode = true\n", "statusText = Kavrel\n"})
        EXPECT_TRUE(contains(shown.out, line)) << line << shown.out;
}

TEST_F(Kavrelcfg, FailuresExitOneUsageErrorsTwoAndEveryCommandHasHelp) {
    const struct {
        std::vector<std::string> args;
        int exitCode;
        const char* err;
    } cases[] = {
        {{"show", dir.path("absent.kvr")}, 1, "Failed to open file\n"},
        {{"show", imagesDir() + "hostile-blank.kvr"}, 1, "Corrupted EEPROM\n"},
        {{"encode", "-o", dir.path("no/such/folder.kvr")}, 1, "Failed to open file\n"},
        {{"read", "-p", dir.path("no-port")}, 1, "Could not open Com Port "},
        {{"tone", "-p", dir.path("no-port"), "1200"}, 1, "Could not open Com Port "},
        {{"show"}, 2, "kavrelcfg show: give exactly one FILE.kvr\n"},
        {{"encode", "--set", "bogus=1", "-o", dir.path("x.kvr")}, 2, "unknown setting 'bogus'"},
        {{"encode", "--set", "txTwist=maybe", "-o", dir.path("x.kvr")}, 2, "txTwist takes true, false, 1 or 0"},
        {{"frobnicate"}, 2, "unknown command 'frobnicate'"},
    };
    for (const auto& c : cases) {
        const ProgramResult result = runKavrelcfg(c.args);
        EXPECT_EQ(result.exitCode, c.exitCode) << c.args[0];
        EXPECT_TRUE(contains(result.err, c.err)) << result.err;
    }
    for (const char* command : {"show", "encode", "hex", "ports", "version", "read", "write", "tone"}) {
        const ProgramResult help = runKavrelcfg({command, "--help"});
        EXPECT_EQ(help.exitCode, 0);
        EXPECT_TRUE(contains(help.out, std::string("Usage: kavrelcfg ") + command)) << help.out;
    }
}

TEST_F(Kavrelcfg, ReadAndVersionShowWhatCrossedTheLine) {
    ConfigImage image = defaultImage(4);
    image[2] = 1;      // decodes to 7 ms, which would encode to 2: a saved read keeps the byte
    image[100] = 0x5A;  // and bytes the layout does not use
    SimulatorProcess sim({"--eeprom", file("eeprom.kvr", image), "--baud", "2400"});
    ASSERT_FALSE(sim.port().empty());
    const ProgramResult read = runKavrelcfg({"read", "-p", sim.port(), "-o", dir.path("saved.kvr"), "--json", "--trace"});
    EXPECT_EQ(read.exitCode, 0) << read.err;
    EXPECT_TRUE(contains(read.out, "  \"autoTxDelayMs\": 7,\n")) << read.out;
    for (const char* line : {"open   " , "at 2400 baud\n", "tx     1B 56\n", "tx     1B 55\n",
                             "rx     0B 80 01 2C 01 41 2A 3C 03 CE 70 82 A0 96 AC 62 ", "status Reading Config\n",
                             "Read Config Successful\nFile Saved\n"})
        EXPECT_TRUE(contains(read.err, line)) << line << read.err;
    EXPECT_EQ(readWholeFile(dir.path("saved.kvr")), fileBytes(image));

    const ProgramResult version = runKavrelcfg({"version", "-p", sim.port()});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, "version = Kavrel FA v1.4\\x0d\\x0a\nmodel = 4\n");
    SimulatorProcess none({"--generation", "none"});
    const ProgramResult absent = runKavrelcfg({"version", "-p", none.port()});
    EXPECT_EQ(absent.exitCode, 1);
    EXPECT_EQ(absent.err, "Kavrel not found : ()\n");
}

TEST_F(Kavrelcfg, WriteAsksRefusesWhatDoesNotFitAndLaysTheFileOutForTheTracker) {
    SimulatorProcess sim({"--generation", "3"});
    ASSERT_FALSE(sim.port().empty());
    const struct {
        std::vector<std::string> args;
        int exitCode;
        const char* err;
    } cases[] = {
        {{"--set", "autoTxRateSec=60"}, 1, "more frequent then is normally recommended. Are you sure you want to do "
                                           "this?\nDeclined: no terminal to ask on; use --yes to accept.\nNothing written: the write was not confirmed.\n"},
        {{"--set", "statusText=" + std::string(100, 'x'), "--yes"}, 1, "status text holds at most 85 characters.\n"},
        {{"--from", imagesDir() + "default-generation1.kvr", "--set", "path=WIDE5-5", "--yes"}, 0,
         "Config Written Successfully!\n"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args{"write", "-p", sim.port()};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const ProgramResult result = runKavrelcfg(args);
        EXPECT_EQ(result.exitCode, c.exitCode) << result.err;
        EXPECT_TRUE(contains(result.err, c.err)) << result.err;
    }
    const ProgramResult back = runKavrelcfg({"read", "-p", sim.port(), "-o", dir.path("back.kvr")});
    EXPECT_TRUE(contains(back.out, "path = WIDE5-5\n")) << back.out;
    // Generation 3's layout: its destination at 11, and no frequency in bytes 9 and 10.
    EXPECT_EQ(readWholeFile(dir.path("back.kvr")).substr(8 + 9, 9), std::string("\0\0\x82\xA0\x96\xAC\x62\x68\x60", 9));

    const ProgramResult tone = runKavrelcfg({"tone", "-p", sim.port(), "both", "--trace"});
    EXPECT_EQ(tone.exitCode, 0);
    EXPECT_TRUE(contains(tone.err, "tx     1B 1B 33\n")) << tone.err;
}

TEST_F(Kavrelcfg, OnATerminalTheWriteAsksAndShowsProgress) {
    SimulatorProcess sim({"--generation", "4"});
    ASSERT_FALSE(sim.port().empty());
    const ProgramResult declined =
        runKavrelcfgOnTerminal({"write", "-p", sim.port(), "--set", "autoTxRateSec=90"}, "Continue? [y/N] ", "n\n");
    EXPECT_EQ(declined.exitCode, 1) << declined.out;
    const ProgramResult accepted =
        runKavrelcfgOnTerminal({"write", "-p", sim.port(), "--set", "autoTxRateSec=90"}, "Continue? [y/N] ", "y\n");
    EXPECT_EQ(accepted.exitCode, 0) << accepted.out;
    EXPECT_TRUE(contains(accepted.out, "\rWriting Config  128/128")) << accepted.out;
}
