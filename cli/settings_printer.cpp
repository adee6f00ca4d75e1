#include "cli/settings_printer.h"

#include <cmath>
#include <string>
#include <vector>

#include "cli/text_escaping.h"
#include "config/settings_table.h"

namespace {

struct Entry {
    const char* name;
    std::string plain;  // as the line "name = value" shows it
    std::string json;   // as a JSON value
};

std::vector<Entry> entriesOf(const TrackerSettings& s) {
    std::vector<Entry> entries;
    for (const SettingSpec& spec : kSettingSpecs) {
        switch (spec.kind) {
        case SettingKind::Text:
            entries.push_back({spec.name, visibleText(textValue(s, spec)), jsonString(textValue(s, spec))});
            break;
        case SettingKind::Whole: {
            const std::string number = std::to_string(wholeValue(s, spec));
            entries.push_back({spec.name, number, number});
            break;
        }
        case SettingKind::Frequency: {
            char text[64];
            std::snprintf(text, sizeof text, "%.3f", static_cast<double>(s.frequencyMHz));
            // JSON has no infinity or NaN; a decoded image never gives them, typed values could.
            entries.push_back({spec.name, text, std::isfinite(s.frequencyMHz) ? text : "null"});
            break;
        }
        case SettingKind::Switch: {
            const std::string value = switchValue(s, spec) ? "true" : "false";
            entries.push_back({spec.name, value, value});
            break;
        }
        }
    }
    entries.push_back({"model", std::to_string(s.model), std::to_string(s.model)});
    return entries;
}

}  // namespace

void printSettings(std::FILE* out, const TrackerSettings& settings) {
    for (const Entry& entry : entriesOf(settings)) std::fprintf(out, "%s = %s\n", entry.name, entry.plain.c_str());
}

void printSettingsJson(std::FILE* out, const TrackerSettings& settings) {
    const std::vector<Entry> entries = entriesOf(settings);
    std::fprintf(out, "{\n");
    for (std::size_t i = 0; i < entries.size(); ++i)
        std::fprintf(out, "  \"%s\": %s%s\n", entries[i].name, entries[i].json.c_str(),
                     i + 1 < entries.size() ? "," : "");
    std::fprintf(out, "}\n");
}
