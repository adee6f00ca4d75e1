// Moving values between the controls and the settings: conversions, widths, texts, switches and
// which controls each firmware generation enables.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <string>

#include "dialog_fixture.h"
#include "ui/form_binding.h"
#include "ui/resources/resource.h"

namespace {

using FormBinding = MainDialogTest;

TEST_F(FormBinding, StartUpShowsTheDefaultsWithTheGenerationSwitchesDisabled) {
    EXPECT_EQ(text(IDC_CALLSIGN), "NOCALL");
    EXPECT_EQ(text(IDC_PATH), "WIDE1-1,WIDE2-1");
    EXPECT_EQ(text(IDC_STATUS_TEXT), "Kavrel");
    EXPECT_EQ(text(IDC_CALIBRATION), "128");
    EXPECT_EQ(text(IDC_AUTO_TXD), "253");
    EXPECT_EQ(text(IDC_SEND_EVERY), "3");
    EXPECT_EQ(text(IDC_AUTO_TX_RATE), "300");
    EXPECT_EQ(text(IDC_QUIET_TIME), "1578");
    EXPECT_EQ(text(IDC_FREQUENCY), "144.390");
    EXPECT_TRUE(checked(IDC_TX_TWIST));
    EXPECT_FALSE(checked(IDC_INVERT_CD));
    EXPECT_FALSE(checked(IDC_SEND_WITH_WEATHER));
    EXPECT_FALSE(checked(IDC_ALLOW_TTL_SERIAL));
    EXPECT_TRUE(checked(IDC_PEET));
    EXPECT_FALSE(checked(IDC_WX200));
    for (int id : {IDC_ALLOW_TTL_SERIAL, IDC_INVERT_CD, IDC_SEND_WITH_WEATHER, IDC_TX_TWIST, IDC_FREQUENCY})
        EXPECT_FALSE(enabled(id)) << id;
}

struct NumberCase {
    int control;
    const char* typed;
    long long stored;  // the field's value after readForm
    const char* shown;  // the control after writeForm
};

std::int64_t fieldOf(const TrackerSettings& s, int control) {
    switch (control) {
    case IDC_CALIBRATION: return s.calibration;
    case IDC_AUTO_TXD: return s.autoTxDelayMs;
    case IDC_SEND_EVERY: return s.sendEvery;
    case IDC_AUTO_TX_RATE: return s.autoTxRateSec;
    case IDC_QUIET_TIME: return s.quietTimeMs;
    }
    return -999999;
}

TEST_F(FormBinding, WholeNumbersAreReadAsAtoiAndCutToTheirFieldsWidth) {
    const NumberCase cases[] = {
        {IDC_AUTO_TXD, "", 0, "0"},
        {IDC_AUTO_TXD, "12ab", 12, "12"},
        {IDC_AUTO_TXD, "ab", 0, "0"},
        {IDC_AUTO_TXD, "70000", 4464, "4464"},
        {IDC_AUTO_TXD, "65535", 65535, "65535"},
        {IDC_SEND_EVERY, "300", 44, "44"},
        {IDC_SEND_EVERY, "255", 255, "255"},
        {IDC_CALIBRATION, "-1", -1, "-1"},
        {IDC_AUTO_TX_RATE, "-1", 65535, "65535"},
        {IDC_QUIET_TIME, "0042", 42, "42"},
        {IDC_QUIET_TIME, "  +17 s", 17, "17"},
        {IDC_CALIBRATION, "99999999999", 2147483647, "2147483647"},
        {IDC_CALIBRATION, "-2147483648", -2147483647LL - 1, "-2147483648"},
    };
    for (const NumberCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.control) + " typed \"" + c.typed + "\"");
        setText(c.control, c.typed);
        readForm(dialog);
        EXPECT_EQ(fieldOf(configurator().settings, c.control), c.stored);
        writeForm(dialog);
        EXPECT_EQ(text(c.control), c.shown);
    }
}

TEST_F(FormBinding, EachControlFeedsItsOwnField) {
    setText(IDC_CALLSIGN, "AB1CDE-7");
    setText(IDC_PATH, "WIDE2-2");
    setText(IDC_STATUS_TEXT, "status here");
    setText(IDC_CALIBRATION, "11");
    setText(IDC_AUTO_TXD, "22");
    setText(IDC_SEND_EVERY, "33");
    setText(IDC_AUTO_TX_RATE, "44");
    setText(IDC_QUIET_TIME, "55");
    setText(IDC_FREQUENCY, "145.5");
    readForm(dialog);
    const TrackerSettings& s = configurator().settings;
    EXPECT_EQ(s.callsign, "AB1CDE-7");
    EXPECT_EQ(s.path, "WIDE2-2");
    EXPECT_EQ(s.statusText, "status here");
    EXPECT_EQ(s.calibration, 11);
    EXPECT_EQ(s.autoTxDelayMs, 22);
    EXPECT_EQ(s.sendEvery, 33);
    EXPECT_EQ(s.autoTxRateSec, 44);
    EXPECT_EQ(s.quietTimeMs, 55);
    EXPECT_EQ(s.frequencyMHz, 145.5f);
    EXPECT_EQ(s.model, None) << "the form never sets the model";
}

TEST_F(FormBinding, EachSwitchShowsAndFeedsItsOwnField) {
    TrackerSettings& s = configurator().settings;
    // One field at a time, so that a swapped pair cannot hide.
    bool TrackerSettings::*const fields[] = {&TrackerSettings::txTwist, &TrackerSettings::invertCd,
                                             &TrackerSettings::sendWithWeather, &TrackerSettings::allowTtlSerial,
                                             &TrackerSettings::peetMode, &TrackerSettings::wx200Mode};
    const int controls[] = {IDC_TX_TWIST, IDC_INVERT_CD, IDC_SEND_WITH_WEATHER, IDC_ALLOW_TTL_SERIAL, IDC_PEET, IDC_WX200};
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(controls[i]);
        for (bool* flag : {&s.txTwist, &s.invertCd, &s.sendWithWeather, &s.allowTtlSerial, &s.peetMode, &s.wx200Mode})
            *flag = false;
        s.*fields[i] = true;
        writeForm(dialog);
        for (int j = 0; j < 6; ++j) EXPECT_EQ(checked(controls[j]), i == j) << controls[j];
        s.*fields[i] = false;
        readForm(dialog);  // disabled switches are read like the others
        EXPECT_TRUE(s.*fields[i]);
    }
}

TEST_F(FormBinding, BothModeFieldsSetShowBothRadioButtonsChecked) {
    configurator().settings.peetMode = true;
    configurator().settings.wx200Mode = true;
    writeForm(dialog);
    EXPECT_TRUE(checked(IDC_PEET));
    EXPECT_TRUE(checked(IDC_WX200));
}

TEST_F(FormBinding, TextsArriveThroughA300ByteBuffer) {
    const std::string long400(400, 'Q');
    setText(IDC_STATUS_TEXT, long400);
    setText(IDC_PATH, "");
    readForm(dialog);
    EXPECT_EQ(configurator().settings.statusText, long400.substr(0, 299));
    EXPECT_EQ(configurator().settings.path, "");
}

TEST_F(FormBinding, CallsignAndPathAreTypedInUpperCaseTheStatusTextKeepsItsCase) {
    for (int id : {IDC_CALLSIGN, IDC_PATH, IDC_STATUS_TEXT}) {
        setText(id, "");
        for (char c : std::string("ab1c-9x"))
            SendDlgItemMessageA(dialog, id, WM_CHAR, static_cast<WPARAM>(static_cast<unsigned char>(c)), 1);
    }
    readForm(dialog);
    EXPECT_EQ(configurator().settings.callsign, "AB1C-9X");
    EXPECT_EQ(configurator().settings.path, "AB1C-9X");
    EXPECT_EQ(configurator().settings.statusText, "ab1c-9x");
}

struct FrequencyCase {
    const char* typed;
    float stored;
    const char* shown;
};

TEST_F(FormBinding, FrequencyIsReadAsAtofInTheCLocaleRoundedToSinglePrecision) {
    const FrequencyCase cases[] = {
        {"144,39", 144.0f, "144.000"},
        {"146.52", 146.52f, "146.520"},
        {"", 0.0f, "0.000"},
        {"MHz", 0.0f, "0.000"},
        {"  147.3x", 147.3f, "147.300"},
        {"16777219", 16777220.0f, "16777220.000"},  // a tie between two floats goes to the even one
        {"1e15", 999999986991104.0f, "999999986991104.000"},  // the largest that "%3.3f" fits in 19
    };
    for (const FrequencyCase& c : cases) {
        SCOPED_TRACE(std::string("typed \"") + c.typed + "\"");
        setText(IDC_FREQUENCY, c.typed);
        readForm(dialog);
        EXPECT_EQ(configurator().settings.frequencyMHz, c.stored);
        writeForm(dialog);
        EXPECT_EQ(text(IDC_FREQUENCY), c.shown);
    }
}

// "%3.3f" does not fit the 20-byte buffer from 1e15 up and -1e14 down: such a value is shown in a
// shorter form that reads back as the same float.
TEST_F(FormBinding, FrequencyTooLongForTheBufferIsShownInAFormThatReadsBack) {
    for (const char* typed : {"2e15", "-1e14", "-123456789012345", "3e38", "3.40282356e38"}) {
        SCOPED_TRACE(std::string("typed ") + typed);
        setText(IDC_FREQUENCY, typed);
        readForm(dialog);
        const float value = configurator().settings.frequencyMHz;
        ASSERT_TRUE(std::isfinite(value));
        writeForm(dialog);
        const std::string shown = text(IDC_FREQUENCY);
        ASSERT_FALSE(shown.empty());
        EXPECT_LT(shown.size(), 20u);
        readForm(dialog);
        EXPECT_NEAR(configurator().settings.frequencyMHz, value, std::fabs(value) * 1e-5f) << shown;
        writeForm(dialog);
        EXPECT_EQ(text(IDC_FREQUENCY), shown) << "the shown text is not stable";
    }
}

TEST_F(FormBinding, FrequencyBeyondTheFloatRangeRoundsAsIeeeDoes) {
    setText(IDC_FREQUENCY, "3.40282356e38");  // above FLT_MAX, below the rounding boundary
    readForm(dialog);
    EXPECT_EQ(configurator().settings.frequencyMHz, FLT_MAX);
    setText(IDC_FREQUENCY, "1e39");
    readForm(dialog);
    EXPECT_TRUE(std::isinf(configurator().settings.frequencyMHz));
    EXPECT_GT(configurator().settings.frequencyMHz, 0.0f);
    writeForm(dialog);
    EXPECT_EQ(text(IDC_FREQUENCY), "inf");
    setText(IDC_FREQUENCY, "-1e300");
    readForm(dialog);
    writeForm(dialog);
    EXPECT_EQ(text(IDC_FREQUENCY), "-inf");
    configurator().settings.frequencyMHz = std::nanf("");
    writeForm(dialog);
    EXPECT_EQ(text(IDC_FREQUENCY), "nan");
}

TEST_F(FormBinding, GenerationDecidesWhichControlsAreEnabled) {
    const int dependent[] = {IDC_INVERT_CD, IDC_SEND_WITH_WEATHER, IDC_ALLOW_TTL_SERIAL, IDC_TX_TWIST, IDC_FREQUENCY};
    const bool expected[5][5] = {
        // 1029, 1030, 1028, 1031, 1084
        {false, false, false, false, false},  // None
        {false, false, false, false, false},  // V1_1
        {true, true, true, false, false},     // V1_2
        {true, true, true, true, false},      // V1_4
        {true, true, true, true, true},       // FaV1_4
    };
    // Down and up again, so that enabling and disabling are both seen.
    for (int model : {4, 3, 2, 1, 0, 2, 4, 0}) {
        SCOPED_TRACE("model " + std::to_string(model));
        configurator().settings.model = model;
        updateEnables(dialog);
        for (int i = 0; i < 5; ++i) EXPECT_EQ(enabled(dependent[i]), expected[model][i]) << dependent[i];
        // Nothing else is ever disabled.
        for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
            const int id = GetDlgCtrlID(child);
            if (std::find(std::begin(dependent), std::end(dependent), id) == std::end(dependent)) {
                EXPECT_TRUE(IsWindowEnabled(child)) << id;
            }
        }
    }
}

}  // namespace
