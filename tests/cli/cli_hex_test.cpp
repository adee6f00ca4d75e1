// hex: the annotated table of a file's 128 image bytes, for worked examples and for images no
// tracker would hold.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <sstream>

#include "program_run.h"
#include "support/temp_dir.h"

namespace {

class HexTable : public ::testing::Test {
protected:
    ProgramResult hexOf(const ImageBytes& image, std::vector<std::string> extra = {}) {
        extra.insert(extra.begin(), {"hex", fileWith(dir, "image.kvr", image)});
        return runKavrelcfg(extra, 5000);
    }

    static bool hasLine(const std::string& out, const std::string& line) {
        return out.find("\n" + line + "\n") != std::string::npos;
    }

    TempDir dir;
};

// Checks that the rows, overlapping but leaving no gap, show every byte of the image at its index.
void expectRowsMatch(const std::string& table, const ImageBytes& image, const std::string& label) {
    std::istringstream rows(table);
    std::string row;
    std::getline(rows, row);  // the column titles
    int next = 0;
    while (std::getline(rows, row)) {
        int first = -1, last = -1, consumed = 0;
        if (std::sscanf(row.c_str(), "%d-%d%n", &first, &last, &consumed) < 2 &&
            std::sscanf(row.c_str(), "%d%n", &first, &consumed) == 1)
            last = first;
        ASSERT_TRUE(first >= 0 && first <= next && first <= last && last < 128) << label << ": " << row;
        const char* bytes = row.c_str() + consumed;
        for (int i = first; i <= last; ++i) {
            unsigned value = 0;
            int used = 0;
            ASSERT_EQ(std::sscanf(bytes, " %2X%n", &value, &used), 1) << label << ": " << row;
            EXPECT_EQ(value, image[static_cast<std::size_t>(i)]) << label << ": index " << i << " in " << row;
            bytes += used;
        }
        next = std::max(next, last + 1);
    }
    EXPECT_EQ(next, 128) << label << ": not every byte shown";
}

TEST_F(HexTable, NamesEveryPartOfTheWorkedExample) {
    const ProgramResult result = hexOf(defaultImageModel4());
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.err, "File Loaded\n");
    EXPECT_EQ(result.out, R"(index    bytes                    meaning
0        0B                       address block start: 11
1        80                       calibration 128
2        26                       auto TX delay: 38 steps = 253 ms
3-4      2C 01                    auto TX rate: 300 s
5        41                       flags: txTwist, peetMode
6        2A                       status text start: 42
7        3C                       quiet time: 60 steps = 1578 ms
8        03                       send every 3
9-10     CE 70                    frequency: 28878 steps of 5 kHz = 144.390 MHz
11-17    82 A0 96 AC 62 68 60     destination "APKV14"
18-24    9C 9E 86 82 98 98 60     source "NOCALL"
25-31    AE 92 88 8A 62 40 62     path 1 "WIDE1-1"
32-38    AE 92 88 8A 64 40 63     path 2 "WIDE2-1", end of address block
39       03                       control: UI frame
40       F0                       protocol: no layer 3
41       00                       zero byte
42-47    4B 61 76 72 65 6C        status text "Kavrel"
48       00                       end of status text
49-56    00 00 00 00 00 00 00 00  unused
57-64    00 00 00 00 00 00 00 00  unused
65-72    00 00 00 00 00 00 00 00  unused
73-80    00 00 00 00 00 00 00 00  unused
81-88    00 00 00 00 00 00 00 00  unused
89-96    00 00 00 00 00 00 00 00  unused
97-104   00 00 00 00 00 00 00 00  unused
105-112  00 00 00 00 00 00 00 00  unused
113-120  00 00 00 00 00 00 00 00  unused
121-127  00 00 00 00 00 00 00     unused
)");
}

TEST_F(HexTable, ReadsFlagsAndFrequencyAsTheGenerationGiven) {
    // Generation 1's destination lies where generation 4 reads the frequency.
    const ProgramResult asLoaded = hexOf(defaultImageModel1());
    EXPECT_TRUE(
        hasLine(asLoaded.out, "9-10     82 A0                    frequency: 41090 steps of 5 kHz = 205.450 MHz"))
        << asLoaded.out;
    EXPECT_TRUE(
        hasLine(asLoaded.out, "9-15     82 A0 96 AC 60 62 60     destination \"APKV01\" (overlaps the bytes above)"))
        << asLoaded.out;

    const ProgramResult asModel1 = hexOf(defaultImageModel1(), {"--model", "1"});
    EXPECT_EQ(asModel1.exitCode, 0);
    EXPECT_EQ(asModel1.out.find("frequency"), std::string::npos) << asModel1.out;
    EXPECT_TRUE(hasLine(asModel1.out, "9-15     82 A0 96 AC 60 62 60     destination \"APKV01\"")) << asModel1.out;
    expectRowsMatch(asModel1.out, defaultImageModel1(), "model 1");

    ImageBytes flags = defaultImageModel4();
    flags[5] = 0xFF;
    const ProgramResult model1Flags = hexOf(flags, {"--model", "1"});
    EXPECT_NE(model1Flags.out.find("flags: txTwist (ignored by generation 1), bit 1 (unused), invertCd (ignored by "
                                   "generation 1), sendWithWeather (ignored by generation 1), allowTtlSerial (ignored "
                                   "by generation 1), bit 5 (unused), peetMode, wx200Mode\n"),
              std::string::npos)
        << model1Flags.out;
    // Generation 3 carries the switches but not the frequency: bytes 9 and 10 are unused.
    const ProgramResult model3 = hexOf(defaultImageModel4(), {"--model", "3"});
    EXPECT_TRUE(hasLine(model3.out, "9-10     CE 70                    unused, not zero")) << model3.out;
}

TEST_F(HexTable, ShowsImagesThatDoNotDecodeWithoutReadingOutside) {
    struct Hostile {
        const char* label;
        ImageBytes image;
    };
    std::vector<Hostile> images = {{"blank EEPROM", ImageBytes(128, 0xFF)}, {"all zero", ImageBytes(128, 0x00)}};
    auto variant = [](std::initializer_list<std::pair<std::size_t, std::uint8_t>> changes) {
        ImageBytes image = defaultImageModel4();
        for (const auto& [index, value] : changes) image[index] = value;
        return image;
    };
    images.push_back({"block start 114, the last that fits", variant({{0, 114}})});
    images.push_back({"block start 115", variant({{0, 115}})});
    images.push_back({"block start 0", variant({{0, 0}})});
    images.push_back({"text start 127", variant({{6, 127}, {127, 'Z'}})});
    images.push_back({"text start 128", variant({{6, 128}})});
    images.push_back({"no end mark", variant({{38, 0x62}})});
    ImageBytes noTextEnd = defaultImageModel4();
    for (std::size_t i = 42; i < 128; ++i) noTextEnd[i] = 'a';
    images.push_back({"text without end byte", noTextEnd});
    std::mt19937 random(20240611);
    for (int n = 0; n < 40; ++n) {
        ImageBytes image(128);
        for (auto& byte : image) byte = static_cast<std::uint8_t>(random());
        // Half of them with a plausible block start and text start, so the walks go deep.
        if (n % 2 == 0) {
            image[0] = static_cast<std::uint8_t>(random() % 120);
            image[6] = static_cast<std::uint8_t>(random() % 130);
        }
        images.push_back({"random", image});
    }

    for (const Hostile& hostile : images) {
        const ProgramResult result = hexOf(hostile.image);
        ASSERT_FALSE(result.timedOut) << hostile.label;
        EXPECT_EQ(result.signal, 0) << hostile.label;
        EXPECT_TRUE(result.exitCode == 0 || result.exitCode == 1) << hostile.label << ": " << result.exitCode;
        expectRowsMatch(result.out, hostile.image, hostile.label);
    }

    const ProgramResult blank = hexOf(ImageBytes(128, 0xFF));
    EXPECT_EQ(blank.exitCode, 1);
    EXPECT_EQ(blank.err, "Corrupted EEPROM\n");
    EXPECT_TRUE(hasLine(blank.out,
                        "0        FF                       address block start: 255 (the source field would "
                        "lie outside the image)"))
        << blank.out;
    EXPECT_TRUE(hasLine(blank.out, "6        FF                       status text start: 255 (outside the image)"));

    const ProgramResult unmarked = hexOf(variant({{38, 0x62}}));
    EXPECT_EQ(unmarked.exitCode, 1);
    EXPECT_NE(unmarked.out.find("no end-of-address-block mark"), std::string::npos) << unmarked.out;

    const ProgramResult endless = hexOf(noTextEnd);
    EXPECT_EQ(endless.exitCode, 0);
    EXPECT_NE(endless.out.find("(no end byte: the text runs to the end of the image)"), std::string::npos)
        << endless.out;
}

}  // namespace
