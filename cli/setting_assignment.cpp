#include "cli/setting_assignment.h"

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>

#include "config/station_address.h"
#include "config/tracker_settings.h"

namespace {

using Apply = void (*)(TrackerSettings& settings, const std::string& value);

struct SettingName {
    const char* name;
    bool isSwitch;
    Apply apply;
};

bool switchValue(const std::string& value) { return value == "true" || value == "1"; }

std::int32_t whole(const std::string& value) { return parseWholeNumber(value.c_str()); }

// The unsigned fields keep the low bits of the 32-bit number, as the form stores them.
std::uint16_t low16(const std::string& value) {
    return static_cast<std::uint16_t>(static_cast<std::uint32_t>(whole(value)));
}

const SettingName kSettingNames[] = {
    {"callsign", false, [](TrackerSettings& s, const std::string& v) { s.callsign = v; }},
    {"path", false, [](TrackerSettings& s, const std::string& v) { s.path = v; }},
    {"statusText", false, [](TrackerSettings& s, const std::string& v) { s.statusText = v; }},
    {"calibration", false, [](TrackerSettings& s, const std::string& v) { s.calibration = whole(v); }},
    {"autoTxDelayMs", false, [](TrackerSettings& s, const std::string& v) { s.autoTxDelayMs = low16(v); }},
    {"sendEvery", false,
     [](TrackerSettings& s, const std::string& v) {
         s.sendEvery = static_cast<std::uint8_t>(static_cast<std::uint32_t>(whole(v)));
     }},
    {"autoTxRateSec", false, [](TrackerSettings& s, const std::string& v) { s.autoTxRateSec = low16(v); }},
    {"quietTimeMs", false, [](TrackerSettings& s, const std::string& v) { s.quietTimeMs = low16(v); }},
    {"frequencyMHz", false,
     [](TrackerSettings& s, const std::string& v) { s.frequencyMHz = roundToFloat(std::strtod(v.c_str(), nullptr)); }},
    {"txTwist", true, [](TrackerSettings& s, const std::string& v) { s.txTwist = switchValue(v); }},
    {"invertCd", true, [](TrackerSettings& s, const std::string& v) { s.invertCd = switchValue(v); }},
    {"sendWithWeather", true, [](TrackerSettings& s, const std::string& v) { s.sendWithWeather = switchValue(v); }},
    {"allowTtlSerial", true, [](TrackerSettings& s, const std::string& v) { s.allowTtlSerial = switchValue(v); }},
    {"peetMode", true, [](TrackerSettings& s, const std::string& v) { s.peetMode = switchValue(v); }},
    {"wx200Mode", true, [](TrackerSettings& s, const std::string& v) { s.wx200Mode = switchValue(v); }},
};

const SettingName* findSetting(const std::string& name) {
    for (const SettingName& setting : kSettingNames)
        if (name == setting.name) return &setting;
    return nullptr;
}

}  // namespace

float roundToFloat(double value) {
    // 2^128 - 2^103 lies halfway between FLT_MAX and the next power of two: from there on the
    // nearest float is infinity; below it, above FLT_MAX, it is FLT_MAX.
    const double overflow = std::ldexp(1.0, 128) - std::ldexp(1.0, 103);
    if (std::isnan(value)) return std::numeric_limits<float>::quiet_NaN();
    if (std::fabs(value) >= overflow)
        return value > 0 ? std::numeric_limits<float>::infinity() : -std::numeric_limits<float>::infinity();
    if (value > static_cast<double>(FLT_MAX)) return FLT_MAX;
    if (value < -static_cast<double>(FLT_MAX)) return -FLT_MAX;
    return static_cast<float>(value);
}

bool parseSettingAssignment(const std::string& text, SettingAssignment& out, std::string& error) {
    const std::size_t equals = text.find('=');
    if (equals == std::string::npos) {
        error = "--set needs NAME=VALUE, got '" + text + "'";
        return false;
    }
    out.name = text.substr(0, equals);
    out.value = text.substr(equals + 1);
    const SettingName* setting = findSetting(out.name);
    if (setting == nullptr) {
        error = "unknown setting '" + out.name + "'";
        if (out.name == "model") error += " (the generation is given with --model)";
        return false;
    }
    if (setting->isSwitch && out.value != "true" && out.value != "false" && out.value != "1" && out.value != "0") {
        error = out.name + " takes true, false, 1 or 0, not '" + out.value + "'";
        return false;
    }
    return true;
}

void applySettingAssignment(TrackerSettings& settings, const SettingAssignment& assignment) {
    const SettingName* setting = findSetting(assignment.name);
    if (setting != nullptr) setting->apply(settings, assignment.value);
}
