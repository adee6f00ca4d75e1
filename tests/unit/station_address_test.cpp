#include <gtest/gtest.h>

#include <string>

#include "config/station_address.h"

namespace {

struct ParseCase {
    std::string text;
    std::string callsign;
    int ssid;
};

TEST(StationAddressParse, TakesLettersAndDigitsUpToTheStopAndReadsTheSsid) {
    const ParseCase cases[] = {
        {"NOCALL", "NOCALL", 0},    {"nocall-7", "NOCALL", 7},   {"WIDE1-1", "WIDE1 ", 1},
        {"NOCALLXY-3", "NOCALL", 3}, {"NO CALL", "NOCALL", 0},    {"NOCALL -2", "NOCALL", 2},
        {"NOCALL-05", "NOCALL", 5},  {"NOCALL-16", "NOCALL", 0},  {"NOCALL-", "NOCALL", 0},
        {"NOCALL--5", "NOCALL", 0},  {"NOCALL/P", "NOCALL", 0},   {"", "      ", 0},
        {"-5", "      ", 5},         {"N\x01O\x7F" "CALL", "NO    ", 0},  // DEL stops the walk
        {"\xC4" "AB-15", "AB    ", 15}, {"AB- +12", "AB    ", 12}, {"AB-12x", "AB    ", 12},
    };
    for (const ParseCase& c : cases) {
        const StationAddress address = parseStationAddress(c.text);
        EXPECT_EQ(address.callsign, c.callsign) << "text: " << c.text;
        EXPECT_EQ(address.ssid, c.ssid) << "text: " << c.text;
    }
}

TEST(StationAddressParse, AnSsidBeyondThirtyTwoBitsIsOutOfRangeOnEveryPlatform) {
    EXPECT_EQ(parseStationAddress("NOCALL-4294967301").ssid, 0);  // 2^32 + 5 must not wrap to 5
    EXPECT_EQ(parseStationAddress("NOCALL-99999999999999999999").ssid, 0);
    EXPECT_EQ(parseStationAddress("NOCALL--4294967291").ssid, 0);
}

TEST(WholeNumber, ReadsLikeTheWindowsRuntimeAndSaturates) {
    EXPECT_EQ(parseWholeNumber(""), 0);
    EXPECT_EQ(parseWholeNumber("ab"), 0);
    EXPECT_EQ(parseWholeNumber("12ab"), 12);
    EXPECT_EQ(parseWholeNumber("  \t-42"), -42);
    EXPECT_EQ(parseWholeNumber("+0042"), 42);
    EXPECT_EQ(parseWholeNumber("- 5"), 0);
    EXPECT_EQ(parseWholeNumber("2147483647"), 2147483647);
    EXPECT_EQ(parseWholeNumber("2147483648"), 2147483647);
    EXPECT_EQ(parseWholeNumber("-2147483648"), -2147483647 - 1);
    EXPECT_EQ(parseWholeNumber("-99999999999999999999999"), -2147483647 - 1);
}

TEST(StationAddressField, EncodesAndFormatsTheSevenBytes) {
    const AddressField field = encodeStationAddress(parseStationAddress("NOCALL-7"));
    EXPECT_EQ(field, (AddressField{0x9C, 0x9E, 0x86, 0x82, 0x98, 0x98, 0x6E}));

    std::uint8_t bytes[7] = {0x9C, 0x9E, 0x86, 0x82, 0x98, 0x98, 0x60};
    EXPECT_EQ(formatStationAddress(bytes), "NOCALL");
    bytes[6] = 0x78;
    EXPECT_EQ(formatStationAddress(bytes), "NOCALL-12");
    bytes[6] = 0x7F;  // SSID 15 with the end mark
    EXPECT_EQ(formatStationAddress(bytes), "NOCALL-15");
    bytes[6] = 0x95;  // bits 7, 5 and the mark play no part: SSID 10
    EXPECT_EQ(formatStationAddress(bytes), "NOCALL-10");

    const std::uint8_t inner[7] = {0x9C, 0x40, 0x86, 0x82, 0x98, 0x98, 0x60};
    EXPECT_EQ(formatStationAddress(inner), "NCALL");
    const std::uint8_t blank[7] = {0x40, 0x40, 0x40, 0x40, 0x40, 0x40, 0x60};
    EXPECT_EQ(formatStationAddress(blank), "");
    const std::uint8_t blankWithSsid[7] = {0x40, 0x40, 0x40, 0x40, 0x40, 0x40, 0x6A};
    EXPECT_EQ(formatStationAddress(blankWithSsid), "-5");
}

TEST(StationAddressField, ForeignBytesFormatWithinTheFieldAndDropNul) {
    // 0x00 and 0x01 shift to NUL; 0x02 to 0x01, 0xFE to 0x7F.
    const std::uint8_t foreign[7] = {0x00, 0x01, 0x02, 0xFE, 0x82, 0x40, 0xFF};
    const std::string text = formatStationAddress(foreign);
    EXPECT_EQ(text, std::string("\x01\x7F" "A-15"));
}

TEST(PathText, SplitsAtCommasDroppingOnlyAFinalEmptyPiece) {
    using Pieces = std::vector<std::string>;
    EXPECT_EQ(splitPath(""), Pieces{});
    EXPECT_EQ(splitPath(","), Pieces{""});
    EXPECT_EQ(splitPath("WIDE1-1,"), Pieces{"WIDE1-1"});
    EXPECT_EQ(splitPath(",WIDE2-1"), (Pieces{"", "WIDE2-1"}));
    EXPECT_EQ(splitPath("A,,B"), (Pieces{"A", "", "B"}));
    EXPECT_EQ(splitPath("A, "), (Pieces{"A", " "}));
    EXPECT_EQ(splitPath("A,,"), (Pieces{"A", ""}));
}

TEST(PathText, JoinsWithoutACommaBeforeTheFirstNonEmptyField) {
    EXPECT_EQ(joinPath({}), "");
    EXPECT_EQ(joinPath({"", "WIDE2-1"}), "WIDE2-1");
    EXPECT_EQ(joinPath({"WIDE1-1", "", "WIDE2-1"}), "WIDE1-1,,WIDE2-1");
    EXPECT_EQ(joinPath({"WIDE1-1", ""}), "WIDE1-1,");
    EXPECT_EQ(joinPath({"", ""}), "");
}

}  // namespace
