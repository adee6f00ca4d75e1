// The form both windows share, on a window of plain data.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "config/settings_table.h"
#include "form/form_fields.h"
#include "form/setting_controls.h"

namespace {

// A window's controls as texts by identifier (a check box "1" or "0"), and which were enabled.
struct Window {
    mutable std::map<int, std::string> texts;
    mutable std::map<int, bool> enabled;

    static const Window& of(const void* context) { return *static_cast<const Window*>(context); }
    ControlAccess access() const {
        return {this,
                [](const void* w, int id, char* buffer, int size) {
                    const std::size_t length = of(w).texts[id].copy(buffer, static_cast<std::size_t>(size - 1));
                    buffer[length] = '\0';
                },
                [](const void* w, int id, const char* text) { of(w).texts[id] = text; },
                [](const void* w, int id) { return of(w).texts[id] == "1"; },
                [](const void* w, int id, bool checked) { of(w).texts[id] = checked ? "1" : "0"; },
                [](const void* w, int id, bool on) { of(w).enabled[id] = on; }};
    }
};

int controlOf(SettingId setting) { return settingControl(settingSpec(setting))->id; }

}  // namespace

TEST(FormTemplate, EverySettingHasOneControlThatFitsIt) {
    for (const SettingSpec& spec : kSettingSpecs) {
        const std::string name = settingControlName(spec);
        std::vector<const ControlRow*> named;
        for (const ControlRow& row : kMainDialog)
            if (name == row.name) named.push_back(&row);
        ASSERT_EQ(named.size(), 1u) << name;
        const ControlRow& control = *named[0];
        const bool isSwitch = spec.kind == SettingKind::Switch;
        EXPECT_EQ(settingControl(spec), &control) << name;
        EXPECT_EQ(isSwitch, control.kind == ControlClass::CheckBox || control.kind == ControlClass::RadioButton) << name;
        EXPECT_EQ(!isSwitch, control.kind == ControlClass::Edit) << name;
        EXPECT_EQ(spec.kind == SettingKind::Whole, (control.style & kDigitsOnly) != 0) << name;
        EXPECT_EQ(spec.id == SettingId::Callsign || spec.id == SettingId::Path, (control.style & kUppercase) != 0) << name;
        EXPECT_EQ(!isSwitch, fieldLabel(control) != nullptr) << name;  // a switch's caption is its name
    }
}

// One control at a time, the others at the defaults, so that a control bound to another setting shows.
TEST(FormFields, EachControlFeedsItsOwnSettingLenientlyAndShowsItBack) {
    using S = SettingId;
    const struct { SettingId setting; std::string typed, shown; } rows[] = {
        {S::Callsign, "AB1C-9", "AB1C-9"}, {S::Path, "WIDE2-2", "WIDE2-2"},
        {S::StatusText, std::string(400, 'q'), std::string(299, 'q')},
        // Whole numbers as atoi reads them, of the first 99 characters; the calibration keeps all 32 bits.
        {S::Calibration, "-1", "-1"}, {S::Calibration, "12ab", "12"}, {S::Calibration, "ab", "0"},
        {S::Calibration, "2147483648", "2147483647"}, {S::Calibration, "-2147483648", "-2147483648"},
        {S::Calibration, "-99999999999999999999999", "-2147483648"}, {S::Calibration, std::string(98, ' ') + "12", "1"},
        // Cut to the field: the low 16 bits, the low 8.
        {S::AutoTxDelayMs, "70000", "4464"}, {S::SendEvery, "300", "44"}, {S::AutoTxRateSec, "-1", "65535"},
        {S::QuietTimeMs, "", "0"},
        // atof stops at the comma; single precision (144.000504, not 144.000499), infinity beyond.
        {S::FrequencyMHz, "144,39", "144.000"}, {S::FrequencyMHz, "145.5", "145.500"},
        {S::FrequencyMHz, "144.0005", "144.001"}, {S::FrequencyMHz, "1e300", "inf"},
        {S::FrequencyMHz, std::string(97, ' ') + "145", "14.000"},
        {S::TxTwist, "0", "0"}, {S::InvertCd, "1", "1"}, {S::SendWithWeather, "1", "1"}, {S::AllowTtlSerial, "1", "1"},
        {S::PeetMode, "0", "0"}, {S::Wx200Mode, "1", "1"},
    };
    Window defaults;
    writeFields(defaults.access(), TrackerSettings{});
    for (const auto& row : rows) {
        Window typed = defaults, shown, expected = defaults;
        typed.texts[controlOf(row.setting)] = row.typed;
        expected.texts[controlOf(row.setting)] = row.shown;
        TrackerSettings read;
        readFields(typed.access(), read);
        writeFields(shown.access(), read);
        EXPECT_EQ(shown.texts, expected.texts) << settingSpec(row.setting).name << " typed as \"" << row.typed << '"';
    }
}

// No other control than those a generation may lack is touched.
TEST(FormFields, EnablesTheControlsOfWhatTheGenerationCarries) {
    const std::string some = " IDC_ALLOW_TTL_SERIAL IDC_INVERT_CD IDC_SEND_WITH_WEATHER";
    const struct { std::int32_t model; std::string disabled; } rows[] = {
        {FirmwareModel::None, some + " IDC_TX_TWIST IDC_FREQUENCY_MHZ"}, {FirmwareModel::V1_1, some + " IDC_TX_TWIST IDC_FREQUENCY_MHZ"},
        {FirmwareModel::V1_2, " IDC_TX_TWIST IDC_FREQUENCY_MHZ"},        {FirmwareModel::V1_4, " IDC_FREQUENCY_MHZ"},
        {FirmwareModel::FaV1_4, ""}};
    for (const auto& row : rows) {
        Window window;
        enableFields(window.access(), row.model);
        std::string disabled;
        for (const ControlRow& control : kMainDialog)
            if (window.enabled.count(control.id) != 0 && !window.enabled[control.id]) disabled += std::string(" ") + control.name;
        EXPECT_EQ(window.enabled.size(), 5u) << row.model;
        EXPECT_EQ(disabled, row.disabled) << row.model;
    }
}

// The window's strict reading: the rules kavrelcfg uses, on what the fields show, each field alone.
TEST(FormFields, JudgedByTheSettingRules) {
    using S = SettingId;
    using V = FieldVerdict;
    const struct { std::int32_t model; SettingId setting; std::string typed; V verdict; std::string why; } rows[] = {
        {FirmwareModel::FaV1_4, S::AutoTxRateSec, "70000", V::Refused, "'70000' is out of range"},
        {FirmwareModel::FaV1_4, S::Callsign, "kv1abc-07", V::StoredOtherwise, "stored as KV1ABC-7"},
        {FirmwareModel::FaV1_4, S::AutoTxDelayMs, "10", V::StoredOtherwise, "stored as 13 (the tracker holds it in steps of 6.666 ms)"},
        {FirmwareModel::FaV1_4, S::FrequencyMHz, "144.392", V::StoredOtherwise, "stored as 144.390 (the tracker holds it in steps of 5 kHz)"},
        {FirmwareModel::FaV1_4, S::FrequencyMHz, "150", V::Refused, "'150' is outside the band"},
        {FirmwareModel::FaV1_4, S::FrequencyMHz, "144", V::Holds, ""},  // the band's edge
        {FirmwareModel::V1_2, S::FrequencyMHz, "150", V::Holds, ""},    // a field the generation lacks
        {FirmwareModel::V1_2, S::StatusText, std::string(90, 'x'), V::Refused, "90 characters do not fit: with this path 85 fit"},
    };
    Window defaults;
    writeFields(defaults.access(), TrackerSettings{});
    for (const auto& row : rows) {
        Window typed = defaults;
        typed.texts[controlOf(row.setting)] = row.typed;
        for (const FieldJudgement& judged : judgeFields(typed.access(), row.model)) {
            const bool typedHere = judged.setting == row.setting;
            EXPECT_EQ(judged.verdict, typedHere ? row.verdict : V::Holds) << settingSpec(judged.setting).name << " for " << row.typed;
            EXPECT_EQ(judged.why, typedHere ? row.why : "") << settingSpec(judged.setting).name << " for " << row.typed;
        }
    }
}
