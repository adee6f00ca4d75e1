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
        // An SSID beyond 32 bits is out of range on every platform, never wrapped into it.
        {"NOCALL-4294967301", "NOCALL", 0}, {"NOCALL-99999999999999999999", "NOCALL", 0},
        {"NOCALL--4294967291", "NOCALL", 0},
    };
    for (const ParseCase& c : cases) {
        const StationAddress address = parseStationAddress(c.text);
        EXPECT_EQ(address.callsign, c.callsign) << "text: " << c.text;
        EXPECT_EQ(address.ssid, c.ssid) << "text: " << c.text;
    }
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

}  // namespace
