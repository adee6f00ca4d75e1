// The strict values kavrelcfg takes, and records that do not fit the image or hold what no tool writes.
#include <gtest/gtest.h>

#include <string>

#include "config/setting_rules.h"

namespace {

struct ValueCase {
    const char* setting;
    std::string text;
    const char* stored;  // valueText of what was stored, or nullptr: refused
    const char* why;     // the refusal
};

TEST(SettingRules, EachSettingTakesItsValuesAndNamesWhyItRefusesTheRest) {
    const ValueCase cases[] = {
        {"callsign", "kv1abc-07", "KV1ABC-7", ""},
        {"callsign", "N0CALL-0", "N0CALL", ""},
        {"callsign", "\xC3\x96" "E1ABC", nullptr, "'\xC3\x96" "E1ABC' is not a callsign"},
        {"callsign", "LONGCALLSIGN", nullptr, "'LONGCALLSIGN' is not a callsign"},
        {"callsign", "", nullptr, "'' is not a callsign"},
        {"callsign", "N0CALL-16", nullptr, "'N0CALL-16' is not a callsign"},
        {"path", "wide1-1,WIDE2-01", "WIDE1-1,WIDE2-1", ""},
        {"path", "", "", ""},
        {"path", "WIDE1-1 WIDE2-1", nullptr, "'WIDE1-1 WIDE2-1' is no digipeater"},
        {"path", "WIDE1-1,,WIDE2-1", nullptr, "'WIDE1-1,,WIDE2-1': an empty entry"},
        {"statusText", "\x7F", nullptr, "the text holds the byte 0x7F, which is not printable ASCII"},
        {"autoTxRateSec", "65535", "65535", ""},
        {"autoTxRateSec", "5m", nullptr, "'5m' is not a whole number"},
        {"autoTxRateSec", "-1", nullptr, "'-1' is not a whole number"},
        {"autoTxRateSec", "70000", nullptr, "'70000' is out of range"},
        {"calibration", "300", nullptr, "'300' is out of range"},
        {"autoTxDelayMs", "1701", nullptr, "'1701' is out of range"},
        {"frequencyMHz", "144.39", "144.390", ""},
        {"frequencyMHz", "147.9999", "147.9999", ""},
        {"frequencyMHz", "143.999", nullptr, "'143.999' is outside the band"},
        {"frequencyMHz", "144,390", nullptr, "'144,390' is not a frequency in MHz with a decimal point"},
        {"txTwist", "Yes", "true", ""},
        {"txTwist", "maybe", nullptr, "'maybe' is not a switch value"},
    };
    for (const ValueCase& c : cases) {
        const SettingSpec* spec = findSetting(c.setting);
        ASSERT_NE(spec, nullptr) << c.setting;
        TrackerSettings settings;
        settings.model = FirmwareModel::FaV1_4;
        const TrackerSettings before = settings;
        std::string why;
        const bool taken = parseStrictValue(*spec, c.text, settings, why);
        EXPECT_EQ(taken, c.stored != nullptr) << c.setting << " = " << c.text << ": " << why;
        if (c.stored != nullptr) {
            EXPECT_EQ(valueText(settings, *spec), c.stored) << c.setting << " = " << c.text;
        } else {
            EXPECT_EQ(why, c.why) << c.setting << " = " << c.text;
            EXPECT_TRUE(sameSetting(*spec, settings, before)) << "refused, yet stored: " << c.setting;
        }
    }
    EXPECT_EQ(allowedValues(*findSetting("autoTxRateSec")), "0 to 65535 s");
    EXPECT_EQ(allowedValues(*findSetting("txTwist")), "true, false, yes, no, 1 or 0");
}

// A record can hold what no text gives, e.g. control characters decoded from a damaged image.
TEST(SettingRules, RecordsThatDoNotFitOrThatNoToolWritesAreNamed) {
    TrackerSettings settings;
    settings.model = FirmwareModel::V1_1;
    settings.sendEvery = 255;
    settings.calibration = 256;
    std::string why;
    EXPECT_TRUE(checkStrictValue(*findSetting("sendEvery"), settings, why)) << why;
    EXPECT_FALSE(checkStrictValue(*findSetting("calibration"), settings, why));
    EXPECT_EQ(why, "256 is out of range");

    settings.statusText = std::string(100, 'x');
    const std::vector<FitProblem> fit = checkFit(settings);
    ASSERT_EQ(fit.size(), 1u);
    EXPECT_EQ(fit[0].setting, SettingId::StatusText);
    EXPECT_EQ(fit[0].why, "100 characters do not fit: with this path 87 fit");

    settings.statusText = "ok";
    EXPECT_TRUE(implausibleValues(settings).empty());
    settings.callsign = "\x01\x7FNO";
    settings.model = FirmwareModel::FaV1_4;
    settings.frequencyMHz = 150.0f;
    const std::vector<FitProblem> odd = implausibleValues(settings);
    ASSERT_EQ(odd.size(), 2u);
    EXPECT_EQ(odd[0].setting, SettingId::Callsign);
    EXPECT_EQ(odd[1].setting, SettingId::FrequencyMHz);
}

}  // namespace
