#include <gtest/gtest.h>

#include <cstring>

#include "platform/byte_text.h"
#include "platform/format_text.h"

namespace {

TEST(FormatText, FormatsWhatFitsAndRefusesWhatDoesNot) {
    char buffer[kFormatTextSize];
    EXPECT_EQ(formatText(buffer, "%3.3f", 999999999999999.0), 19);  // exactly 19 characters
    EXPECT_EQ(std::strlen(buffer), 19u);

    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(formatText(buffer, "%3.3f", 1e15), -1);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(formatText(buffer, "%3.3f", -1e14), -1);
    EXPECT_EQ(formatText(buffer, "%3.3f", 3.4e38), -1);
}

// Messages hide only controls; texts from a tracker show every byte that is not printable ASCII.
TEST(ByteText, HexAndEscapes) {
    EXPECT_EQ(hexBytes(std::string("\x0B\x5A\xFF", 3)) + " " + hexByte(0xAB, HexCase::Lower), "0B 5A FF ab");
    const std::string text = "a\\b\"\r\x7F\xC3\xA9";
    EXPECT_EQ(escapedText(text, Escaping::Controls), "a\\b\"\\x0d\\x7f\xC3\xA9");
    EXPECT_EQ(escapedText(text, Escaping::Visible), "a\\\\b\"\\x0d\\x7f\\xc3\\xa9");
    EXPECT_EQ(escapedText(text, Escaping::Quoted), "a\\\\b\\\"\\x0d\\x7f\\xc3\\xa9");
}

}  // namespace
