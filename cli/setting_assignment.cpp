#include "cli/setting_assignment.h"

#include <cstdlib>

#include "config/settings_table.h"
#include "config/station_address.h"

namespace {

bool isSwitchText(const std::string& value) { return value == "true" || value == "false" || value == "1" || value == "0"; }

}  // namespace

bool parseSettingAssignment(const std::string& text, SettingAssignment& out, std::string& error) {
    const std::size_t equals = text.find('=');
    if (equals == std::string::npos) {
        error = "--set needs NAME=VALUE, got '" + text + "'";
        return false;
    }
    out.name = text.substr(0, equals);
    out.value = text.substr(equals + 1);
    const SettingSpec* spec = findSetting(out.name);
    if (spec == nullptr) {
        error = "unknown setting '" + out.name + "'";
        if (out.name == "model") error += " (the generation is given with --model)";
        return false;
    }
    if (spec->kind == SettingKind::Switch && !isSwitchText(out.value)) {
        error = out.name + " takes true, false, 1 or 0, not '" + out.value + "'";
        return false;
    }
    return true;
}

void applySettingAssignment(TrackerSettings& settings, const SettingAssignment& assignment) {
    const SettingSpec* spec = findSetting(assignment.name);
    if (spec == nullptr) return;
    const std::string& v = assignment.value;
    switch (spec->kind) {
    case SettingKind::Text:
        storeText(settings, *spec, v);
        return;
    case SettingKind::Whole:
        storeWhole(settings, *spec, parseWholeNumber(v.c_str()));
        return;
    case SettingKind::Frequency:
        settings.frequencyMHz = roundToSingle(std::strtod(v.c_str(), nullptr));
        return;
    case SettingKind::Switch:
        storeSwitch(settings, *spec, v == "true" || v == "1");
        return;
    }
}
