// show and encode on configuration files, the conversions of --set, and the command line's
// errors and help.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>

#include "program_run.h"
#include "support/temp_dir.h"

namespace {

class FileCommands : public ::testing::Test {
protected:
    // Encodes with the given extra arguments and answers the image written (empty on failure).
    ImageBytes encoded(std::vector<std::string> args) {
        const std::string out = dir.path("encoded.kvr");
        std::remove(out.c_str());
        args.insert(args.begin(), "encode");
        args.insert(args.end(), {"-o", out});
        const ProgramResult result = runKavrelcfg(args);
        EXPECT_EQ(result.exitCode, 0) << result.err;
        return imageOfFile(readWholeFile(out));
    }

    // The "name = value" lines of show, by name.
    static std::map<std::string, std::string> settingsOf(const std::string& out) {
        std::map<std::string, std::string> settings;
        std::istringstream lines(out);
        for (std::string line; std::getline(lines, line);)
            if (line.find(" = ") != std::string::npos) settings[line.substr(0, line.find(" = "))] = line.substr(line.find(" = ") + 3);
        return settings;
    }

    TempDir dir;
};

TEST_F(FileCommands, ShowPrintsEverySettingInOrder) {
    const ProgramResult result = runKavrelcfg({"show", fileWith(dir, "default.kvr", defaultImageModel4())});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out,
              "callsign = NOCALL\n"
              "path = WIDE1-1,WIDE2-1\n"
              "statusText = Kavrel\n"
              "calibration = 128\n"
              "autoTxDelayMs = 253\n"
              "sendEvery = 3\n"
              "autoTxRateSec = 300\n"
              "quietTimeMs = 1578\n"
              "frequencyMHz = 144.390\n"
              "txTwist = true\n"
              "invertCd = false\n"
              "sendWithWeather = false\n"
              "allowTtlSerial = false\n"
              "peetMode = true\n"
              "wx200Mode = false\n"
              "model = 4\n");
    EXPECT_EQ(result.err, "File Loaded\n");
}

TEST_F(FileCommands, ShowDecodesAsTheGenerationGiven) {
    const std::string model1 = fileWith(dir, "model1.kvr", defaultImageModel1());
    // Loaded as generation 4, the destination's first two bytes are read as the frequency.
    auto asLoaded = settingsOf(runKavrelcfg({"show", model1}).out);
    EXPECT_EQ(asLoaded["frequencyMHz"], "205.450");

    const ProgramResult asModel1 = runKavrelcfg({"show", model1, "--model", "1"});
    EXPECT_EQ(asModel1.exitCode, 0);
    EXPECT_EQ(asModel1.err, "File Loaded\n");
    auto settings = settingsOf(asModel1.out);
    EXPECT_EQ(settings["frequencyMHz"], "144.390");
    EXPECT_EQ(settings["model"], "1");

    settings = settingsOf(runKavrelcfg({"show", fileWith(dir, "model4.kvr", defaultImageModel4()), "--model=3"}).out);
    EXPECT_EQ(settings["frequencyMHz"], "144.390");
    EXPECT_EQ(settings["model"], "3");
}

TEST_F(FileCommands, ForeignTextsStayVisibleAndValidJson) {
    ImageBytes image = defaultImageModel4();
    image[19] = 0x01 << 1;  // the source's second character becomes the control character 0x01
    const std::string text = "caf\xE9 \"q\" \\ x\n";
    for (std::size_t i = 0; i <= text.size(); ++i)
        image[42 + i] = i < text.size() ? static_cast<std::uint8_t>(text[i]) : 0;
    const std::string file = fileWith(dir, "foreign.kvr", image);

    const ProgramResult plain = runKavrelcfg({"show", file});
    EXPECT_EQ(plain.exitCode, 0);
    EXPECT_NE(plain.out.find("callsign = N\\x01CALL\n"), std::string::npos) << plain.out;
    EXPECT_NE(plain.out.find("statusText = caf\\xe9 \"q\" \\\\ x\\x0a\n"), std::string::npos) << plain.out;

    const ProgramResult json = runKavrelcfg({"show", file, "--json"});
    EXPECT_EQ(json.exitCode, 0);
    EXPECT_EQ(json.out.rfind("{\n  \"callsign\": \"N\\u0001CALL\",\n", 0), 0u) << json.out;
    EXPECT_NE(json.out.find("  \"statusText\": \"caf\\u00e9 \\\"q\\\" \\\\ x\\u000a\",\n"), std::string::npos)
        << json.out;
    EXPECT_NE(json.out.find("  \"frequencyMHz\": 144.390,\n"), std::string::npos);
    EXPECT_NE(json.out.find("  \"txTwist\": true,\n  \"invertCd\": false,\n"), std::string::npos);
    EXPECT_EQ(json.out.substr(json.out.size() - 15), "  \"model\": 4\n}\n");
    EXPECT_EQ(json.err, "File Loaded\n");
}

TEST_F(FileCommands, EncodeOfTheDefaultsGivesTheWorkedExamples) {
    EXPECT_EQ(encoded({}), defaultImageModel4());
    EXPECT_EQ(encoded({"--model", "1"}), defaultImageModel1());
    // Generation 3 carries no frequency: only bytes 9 and 10 differ from generation 4.
    ImageBytes model3 = defaultImageModel4();
    model3[9] = model3[10] = 0x00;
    EXPECT_EQ(encoded({"--model", "3"}), model3);
}

TEST_F(FileCommands, SetConvertsNumbersAsTheFormDoes) {
    struct Case {
        const char* set;
        std::size_t index;
        std::vector<std::uint8_t> bytes;
    };
    const Case cases[] = {
        {"autoTxRateSec=70000", 3, {0x70, 0x11}},  // 70000 keeps its low 16 bits: 4464
        {"quietTimeMs=70000", 7, {170}},           // 4464 ms, not the 255 of a saturated value
        {"autoTxDelayMs=65789", 2, {38}},          // low 16 bits 253, the default's byte
        {"autoTxDelayMs=70000", 2, {255}},         // 4464 ms is beyond the last step
        {"sendEvery=300", 8, {44}},
        {"calibration=-1", 1, {0xFF}},
        {"calibration=12ab", 1, {12}},
        {"frequencyMHz=146.52", 9, {0x78, 0x72}},
        {"frequencyMHz=144,39", 9, {0x80, 0x70}},  // atof stops at the comma: 144.0
        {"frequencyMHz=148.01", 9, {0xCE, 0x70}},  // outside the band: the image takes 144.39
    };
    for (const Case& c : cases) {
        const ImageBytes image = encoded({"--set", c.set});
        ASSERT_EQ(image.size(), 128u) << c.set;
        EXPECT_EQ(ImageBytes(image.begin() + static_cast<long>(c.index),
                             image.begin() + static_cast<long>(c.index + c.bytes.size())),
                  c.bytes)
            << c.set;
    }
}

TEST_F(FileCommands, SetTakesTextsAndSwitches) {
    const ImageBytes image = encoded({"--set", "callsign=n0call-7", "--set", "path=", "--set", "statusText=Hi there",
                                      "--set", "txTwist=0", "--set", "invertCd=1", "--set", "sendWithWeather=true",
                                      "--set", "allowTtlSerial=false", "--set", "peetMode=0", "--set", "wx200Mode=1"});
    ASSERT_EQ(image.size(), 128u);
    EXPECT_EQ(image[5], 0x80 | 0x04 | 0x08);
    // An empty path: the source field carries the end mark and the text starts at 28.
    EXPECT_EQ(ImageBytes(image.begin() + 18, image.begin() + 25),
              (ImageBytes{0x9C, 0x60, 0x86, 0x82, 0x98, 0x98, 0x6F}));
    EXPECT_EQ(image[6], 28);
    EXPECT_EQ(std::string(image.begin() + 28, image.begin() + 37), std::string("Hi there\0", 9));
    // A later --set of the same name wins.
    EXPECT_EQ(encoded({"--set", "sendEvery=5", "--set", "sendEvery=6"})[8], 6);
}

TEST_F(FileCommands, EncodeFromAFileKeepsItsSettings) {
    const std::string model1 = fileWith(dir, "model1.kvr", defaultImageModel1());
    ImageBytes expected = defaultImageModel1();
    const std::string hello("Hello\0", 6);
    std::copy(hello.begin(), hello.end(), expected.begin() + 40);
    EXPECT_EQ(encoded({"--model", "1", "--from", model1, "--set", "statusText=Hello"}), expected);
}

TEST_F(FileCommands, ShownSettingsEncodeToTheSameFile) {
    const ImageBytes original =
        encoded({"--set", "callsign=AB1CD-9", "--set", "path=WIDE1-1,WIDE2-2,RELAY", "--set", "statusText=On the road",
                 "--set", "calibration=77", "--set", "frequencyMHz=146.52", "--set", "allowTtlSerial=true"});
    const std::string file = fileWith(dir, "original.kvr", original);
    const ProgramResult shown = runKavrelcfg({"show", file});
    ASSERT_EQ(shown.exitCode, 0);
    std::vector<std::string> args;
    for (const auto& [name, value] : settingsOf(shown.out))
        if (name != "model") args.insert(args.end(), {"--set", name + "=" + value});
    ASSERT_EQ(args.size(), 30u);
    EXPECT_EQ(encoded(args), original);
}

TEST_F(FileCommands, TooLongStatusTextIsCutWithANotice) {
    const std::string out = dir.path("long.kvr");
    const ProgramResult result = runKavrelcfg({"encode", "--set", "statusText=" + std::string(100, 'x'), "-o", out});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_NE(
        result.err.find("Text Truncated: The Status Text is too long and has been tuncated.  To have longer text, "
                        "use fewer digipeaters.\n"),
        std::string::npos)
        << result.err;
    EXPECT_NE(result.err.find("File Saved\n"), std::string::npos);
    const ImageBytes image = imageOfFile(readWholeFile(out));
    ASSERT_EQ(image.size(), 128u);
    EXPECT_EQ(std::string(image.begin() + 42, image.begin() + 127), std::string(85, 'x'));
    EXPECT_EQ(image[127], 0);
}

TEST_F(FileCommands, FailuresExitWithTheStatusMessage) {
    const std::string missing = dir.path("missing.kvr");
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"encode", "--from", missing, "-o", dir.path("x.kvr")},
          std::vector<std::string>{"encode", "-o", dir.path("no/such/folder.kvr")}}) {
        const ProgramResult result = runKavrelcfg(args);
        EXPECT_EQ(result.exitCode, 1) << args[0];
        EXPECT_EQ(result.err, "Failed to open file\n") << args[0];
        EXPECT_EQ(result.out, "");
    }
    EXPECT_FALSE(std::ifstream(dir.path("x.kvr")).good());

    std::string badMagic = configFileOf(defaultImageModel4());
    badMagic[3] = '2';
    const std::string bad = dir.path("bad.kvr");
    const struct {
        std::string file, err;
    } cases[] = {{badMagic, "Invalid File Format\n"},
                 {configFileOf(defaultImageModel4()).substr(0, 100), "Failed to read data\n"},
                 {configFileOf(ImageBytes(128, 0xFF)),
                  "Corrupted EEPROM\nThe image does not decode; 'kavrelcfg hex " + bad + "' shows its bytes.\n"}};
    for (const auto& c : cases) {
        writeWholeFile(bad, c.file);
        const ProgramResult result = runKavrelcfg({"show", bad, "--json"});
        EXPECT_EQ(result.exitCode, 1) << c.err;
        EXPECT_EQ(result.out, "") << c.err;
        EXPECT_EQ(result.err, c.err);
    }
}

TEST_F(FileCommands, UsageErrorsExitTwoAndDoNothing) {
    const std::string out = dir.path("never.kvr");
    const std::string file = fileWith(dir, "default.kvr", defaultImageModel4());
    const std::vector<std::vector<std::string>> lines = {
        {}, {"frobnicate"}, {"show", file, file}, {"show", file, "--model", "4x"}, {"show", file, "--json=yes"},
        {"encode", "-o"}, {"encode", "-o", out, "--set", "model=3"}, {"encode", "-o", out, "--set", "txTwist=yes"},
        {"read", "-o", out}, {"tone", "-p", "/dev/null", "4000"},
    };
    for (const std::vector<std::string>& args : lines) {
        const ProgramResult result = runKavrelcfg(args);
        EXPECT_EQ(result.exitCode, 2) << result.err;
        EXPECT_EQ(result.out, "") << result.err;
        EXPECT_NE(result.err.find("Try 'kavrelcfg"), std::string::npos) << result.err;
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 2) << result.err;
    }
    EXPECT_FALSE(std::ifstream(out).good());
}

TEST_F(FileCommands, EveryCommandHasHelp) {
    const ProgramResult overview = runKavrelcfg({"--help"});
    EXPECT_EQ(overview.exitCode, 0);
    for (const char* command : {"show", "encode", "hex", "ports", "version", "read", "write", "tone"}) {
        EXPECT_NE(overview.out.find(std::string("  ") + command + " "), std::string::npos) << command;
        const ProgramResult help = runKavrelcfg({command, "--help"});
        EXPECT_EQ(help.exitCode, 0) << command;
        EXPECT_EQ(help.out.rfind(std::string("Usage: kavrelcfg ") + command, 0), 0u) << command;
    }
    // Help wins over the mistakes beside it.
    EXPECT_EQ(runKavrelcfg({"encode", "--bogus", "-h"}).exitCode, 0);
}

}  // namespace
