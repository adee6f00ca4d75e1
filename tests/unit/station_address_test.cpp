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

TEST(StationAddressField, FormatsTheSevenBytes) {
    const struct { AddressField bytes; const char* text; } cases[] = {
        {{0x9C, 0x9E, 0x86, 0x82, 0x98, 0x98, 0x78}, "NOCALL-12"},
        {{0x9C, 0x9E, 0x86, 0x82, 0x98, 0x98, 0x7F}, "NOCALL-15"},  // SSID 15 with the end mark
        {{0x9C, 0x9E, 0x86, 0x82, 0x98, 0x98, 0x95}, "NOCALL-10"},  // bits 7, 5 and the mark play no part
        {{0x40, 0x40, 0x40, 0x40, 0x40, 0x40, 0x60}, ""},
        {{0x40, 0x40, 0x40, 0x40, 0x40, 0x40, 0x6A}, "-5"},
    };
    for (const auto& c : cases) EXPECT_EQ(formatStationAddress(c.bytes.data()), c.text) << c.text;
}

}  // namespace
