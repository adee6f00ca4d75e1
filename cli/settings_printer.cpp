#include "cli/settings_printer.h"

#include <cmath>

#include "cli/settings_plan.h"
#include "platform/byte_text.h"
#include "config/setting_rules.h"
#include "config/settings_table.h"

std::string shownValue(const TrackerSettings& settings, const SettingSpec& spec) {
    return spec.kind == SettingKind::Text ? escapedText(textValue(settings, spec), Escaping::Visible) : valueText(settings, spec);
}

Json jsonValue(const TrackerSettings& s, const SettingSpec& spec) {
    switch (spec.kind) {
    case SettingKind::Text:
        return jsonText(textValue(s, spec));
    case SettingKind::Whole:
        return wholeValue(s, spec);
    case SettingKind::Frequency:
        // To the kHz, so that 144.39 prints as 144.39 and not as the float's 144.38999938964844.
        if (!std::isfinite(s.frequencyMHz)) return nullptr;
        return std::round(static_cast<double>(s.frequencyMHz) * 1000.0) / 1000.0;
    case SettingKind::Switch:
        break;
    }
    return switchValue(s, spec);
}

Json settingsJson(const TrackerSettings& settings) {
    Json object = Json::object();
    for (const SettingSpec& spec : kSettingSpecs)
        if (isCarried(spec.carried, settings.model)) object[spec.name] = jsonValue(settings, spec);
    object["model"] = settings.model;
    return object;
}

void printSettings(std::FILE* out, const TrackerSettings& settings) {
    for (const SettingSpec& spec : kSettingSpecs)
        if (isCarried(spec.carried, settings.model))
            std::fprintf(out, "%s = %s\n", spec.name, shownValue(settings, spec).c_str());
    std::fprintf(out, "model = %d\n", static_cast<int>(settings.model));
}

void printSettingsJson(std::FILE* out, const TrackerSettings& settings) { printJson(out, settingsJson(settings)); }

std::string changeLine(const SettingChange& change, const TrackerSettings& before, const TrackerSettings& after) {
    const std::string notCarried = "(not carried)";
    char name[24];
    std::snprintf(name, sizeof name, "%-16s", change.spec->name);
    return name + (change.carriedBefore ? shownValue(before, *change.spec) : notCarried) + " -> " +
           (change.carriedAfter ? shownValue(after, *change.spec) : notCarried);
}
