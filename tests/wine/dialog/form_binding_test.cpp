// Moving values between the controls and the settings: conversions, widths, texts, switches and
// which controls each firmware generation enables.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <string>

#include "dialog_fixture.h"
#include "ui/form_binding.h"
#include "ui/resources/resource.h"

namespace {

using FormBinding = MainDialogTest;

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

// One control at a time, the others keeping their different defaults: a swapped pair shows.
TEST_F(FormBinding, WholeNumbersAreReadAsAtoiAndCutToTheirFieldsWidth) {
    const struct {
        int control;
        const char* typed;
        long long stored;  // the field's value after readForm
        const char* shown;  // the control after writeForm
    } cases[] = {
        {IDC_AUTO_TXD, "", 0, "0"},
        {IDC_AUTO_TXD, "12ab", 12, "12"},
        {IDC_AUTO_TXD, "70000", 4464, "4464"},
        {IDC_SEND_EVERY, "300", 44, "44"},
        {IDC_CALIBRATION, "-1", -1, "-1"},
        {IDC_AUTO_TX_RATE, "-1", 65535, "65535"},
        {IDC_QUIET_TIME, "  +17 s", 17, "17"},
        {IDC_CALIBRATION, "99999999999", 2147483647, "2147483647"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.control) + " typed \"" + c.typed + "\"");
        setText(c.control, c.typed);
        readForm(dialog);
        EXPECT_EQ(fieldOf(configurator().settings, c.control), c.stored);
        writeForm(dialog);
        EXPECT_EQ(text(c.control), c.shown);
    }
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
        for (bool TrackerSettings::*field : fields) s.*field = false;
        s.*fields[i] = true;
        writeForm(dialog);
        for (int j = 0; j < 6; ++j) EXPECT_EQ(checked(controls[j]), i == j) << controls[j];
        s.*fields[i] = false;
        readForm(dialog);  // disabled switches are read like the others
        EXPECT_TRUE(s.*fields[i]);
    }
}

// Callsign and path are typed in upper case, the status text keeps its case; texts arrive
// through a 300-byte buffer.
TEST_F(FormBinding, TextsKeepTheirOwnFieldsCasesAndLength) {
    const std::pair<int, std::string> typed[] = {
        {IDC_CALLSIGN, "ab1c-9x"}, {IDC_PATH, "wide2-2"}, {IDC_STATUS_TEXT, "st at"}};
    for (const auto& t : typed) {
        setText(t.first, "");
        for (char c : t.second)
            SendDlgItemMessageA(dialog, t.first, WM_CHAR, static_cast<WPARAM>(static_cast<unsigned char>(c)), 1);
    }
    readForm(dialog);
    EXPECT_EQ(configurator().settings.callsign, "AB1C-9X");
    EXPECT_EQ(configurator().settings.path, "WIDE2-2");
    EXPECT_EQ(configurator().settings.statusText, "st at");

    setText(IDC_STATUS_TEXT, std::string(400, 'Q'));
    readForm(dialog);
    EXPECT_EQ(configurator().settings.statusText, std::string(299, 'Q'));
}

// "%3.3f" does not fit the 20-byte buffer from 1e15 up and -1e14 down: such a value (shown as
// nullptr here) is shown in a shorter, stable form that reads back as the same float.
TEST_F(FormBinding, FrequencyIsReadAsAtofInTheCLocaleRoundedToSinglePrecision) {
    const struct { const char* typed; float stored; const char* shown; } cases[] = {
        {"144,39", 144.0f, "144.000"},
        {"146.52", 146.52f, "146.520"},
        {"MHz", 0.0f, "0.000"},
        {"  147.3x", 147.3f, "147.300"},
        {"16777219", 16777220.0f, "16777220.000"},  // a tie between two floats goes to the even one
        {"1e15", 999999986991104.0f, "999999986991104.000"},  // the largest that "%3.3f" fits in 19
        {"2e15", 2e15f, nullptr},
        {"-123456789012345", -123456789012345.0f, nullptr},
        {"3.40282356e38", FLT_MAX, nullptr},  // above FLT_MAX, below the rounding boundary
        {"1e39", HUGE_VALF, "inf"},
        {"-1e300", -HUGE_VALF, "-inf"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("typed \"") + c.typed + "\"");
        setText(IDC_FREQUENCY, c.typed);
        readForm(dialog);
        EXPECT_EQ(configurator().settings.frequencyMHz, c.stored);
        writeForm(dialog);
        const std::string shown = text(IDC_FREQUENCY);
        EXPECT_EQ(shown, c.shown != nullptr ? c.shown : shown);
        if (c.shown != nullptr) continue;
        EXPECT_TRUE(!shown.empty() && shown.size() < 20u) << shown;
        readForm(dialog);
        EXPECT_NEAR(configurator().settings.frequencyMHz, c.stored, std::fabs(c.stored) * 1e-5f) << shown;
        writeForm(dialog);
        EXPECT_EQ(text(IDC_FREQUENCY), shown) << "the shown text is not stable";
    }
    configurator().settings.frequencyMHz = std::nanf("");
    writeForm(dialog);
    EXPECT_EQ(text(IDC_FREQUENCY), "nan");
}

// At start-up the form shows the settings, generation None; then down and up again, so that
// enabling and disabling are both seen.
TEST_F(FormBinding, GenerationDecidesWhichControlsAreEnabled) {
    EXPECT_EQ(text(IDC_CALLSIGN), "NOCALL");
    EXPECT_EQ(text(IDC_FREQUENCY), "144.390");
    EXPECT_TRUE(checked(IDC_PEET));
    // Each control is enabled from this generation on (None 0, V1_1 1, V1_2 2, V1_4 3, FaV1_4 4).
    const int dependent[] = {IDC_INVERT_CD, IDC_SEND_WITH_WEATHER, IDC_ALLOW_TTL_SERIAL, IDC_TX_TWIST, IDC_FREQUENCY};
    const int enabledFrom[] = {2, 2, 2, 3, 4};
    for (int model : {-1, 4, 3, 2, 1, 0, 2, 4, 0}) {
        SCOPED_TRACE("model " + std::to_string(model));
        if (model >= 0) {
            configurator().settings.model = model;
            updateEnables(dialog);
        }
        for (int i = 0; i < 5; ++i) EXPECT_EQ(enabled(dependent[i]), std::max(model, 0) >= enabledFrom[i]) << dependent[i];
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
