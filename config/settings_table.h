// Every setting the user edits, declared once: its name in kavrelcfg and settings documents, the
// member that holds it, its kind and range and the generations that carry it. The codec, the form
// (whose control for a setting is named after it: form/setting_controls.h), kavrelcfg's names and
// printers all go over this table.
#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "config/tracker_settings.h"

// Which firmware generations carry a setting; every rule compares the model's integer value.
enum class Carried : std::uint8_t { All, FromV1_2, FromV1_4, OnlyFaV1_4 };
bool isCarried(Carried rule, std::int32_t model);
// The generations that carry a setting, as help and tooltips say it ("generations 2 to 4"); "" for all.
const char* carryingGenerations(Carried rule);

enum class SettingKind : std::uint8_t { Text, Whole, Frequency, Switch };

// The settings in the order of the table (and of the form).
enum class SettingId : std::uint8_t {
    Callsign,
    Path,
    StatusText,
    Calibration,
    AutoTxDelayMs,
    SendEvery,
    AutoTxRateSec,
    QuietTimeMs,
    FrequencyMHz,
    TxTwist,
    InvertCd,
    SendWithWeather,
    AllowTtlSerial,
    PeetMode,
    Wx200Mode,
};
constexpr int kSettingCount = 15;

using SettingMember = std::variant<std::string TrackerSettings::*, std::int32_t TrackerSettings::*,
                                   std::uint16_t TrackerSettings::*, std::uint8_t TrackerSettings::*,
                                   float TrackerSettings::*, bool TrackerSettings::*>;

struct SettingSpec {
    SettingId id;
    const char* name;  // as kavrelcfg and its settings documents write it
    SettingMember member;
    SettingKind kind;
    Carried carried;
    // Whole numbers: the values the tracker can hold (what the image gives back); the frequency:
    // its band in kHz. The window's form takes any number and cuts it to the field, as before.
    std::int32_t minimum;
    std::int32_t maximum;
    const char* unit;  // "ms", "s", "MHz" or ""
    const char* does;  // what it does, as help and the window's tooltips say it
};

extern const SettingSpec kSettingSpecs[kSettingCount];

const SettingSpec& settingSpec(SettingId id);
// nullptr when no setting has that name.
const SettingSpec* findSetting(const std::string& name);

// Typed access through a row. The whole-number store keeps the bits the member has room for, as
// the form does: the calibration all 32, the 16-bit members their low 16, sendEvery its low 8.
std::int64_t wholeValue(const TrackerSettings& settings, const SettingSpec& spec);
void storeWhole(TrackerSettings& settings, const SettingSpec& spec, std::int32_t value);
const std::string& textValue(const TrackerSettings& settings, const SettingSpec& spec);
void storeText(TrackerSettings& settings, const SettingSpec& spec, const std::string& value);
bool switchValue(const TrackerSettings& settings, const SettingSpec& spec);
void storeSwitch(TrackerSettings& settings, const SettingSpec& spec, bool value);

// The settings a generation carries, in the table's order.
std::vector<SettingId> carriedSettings(std::int32_t model);

bool sameSetting(const SettingSpec& spec, const TrackerSettings& a, const TrackerSettings& b);

// Settings that differ between two records, each as the other's generation carries it.
struct SettingChange {
    const SettingSpec* spec;
    bool carriedBefore;
    bool carriedAfter;
};
std::vector<SettingChange> settingChanges(const TrackerSettings& before, const TrackerSettings& after);

// A double rounded to the nearest single-precision value; beyond the float range the nearest is
// the largest float or infinity (where a plain conversion would be undefined).
float roundToSingle(double value);
