#include "cli/settings_printer.h"

#include <cmath>
#include <string>
#include <vector>

#include "cli/text_escaping.h"
#include "config/tracker_settings.h"

namespace {

struct Entry {
    const char* name;
    std::string plain;  // as the line "name = value" shows it
    std::string json;   // as a JSON value
};

std::string number(long long value) { return std::to_string(value); }

std::string frequencyText(float mhz) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.3f", static_cast<double>(mhz));
    return buffer;
}

std::string boolean(bool value) { return value ? "true" : "false"; }

std::vector<Entry> entriesOf(const TrackerSettings& s) {
    const std::string frequency = frequencyText(s.frequencyMHz);
    return {
        {"callsign", visibleText(s.callsign), jsonString(s.callsign)},
        {"path", visibleText(s.path), jsonString(s.path)},
        {"statusText", visibleText(s.statusText), jsonString(s.statusText)},
        {"calibration", number(s.calibration), number(s.calibration)},
        {"autoTxDelayMs", number(s.autoTxDelayMs), number(s.autoTxDelayMs)},
        {"sendEvery", number(s.sendEvery), number(s.sendEvery)},
        {"autoTxRateSec", number(s.autoTxRateSec), number(s.autoTxRateSec)},
        {"quietTimeMs", number(s.quietTimeMs), number(s.quietTimeMs)},
        // JSON has no infinity or NaN; a decoded image never gives them, typed values could.
        {"frequencyMHz", frequency, std::isfinite(s.frequencyMHz) ? frequency : "null"},
        {"txTwist", boolean(s.txTwist), boolean(s.txTwist)},
        {"invertCd", boolean(s.invertCd), boolean(s.invertCd)},
        {"sendWithWeather", boolean(s.sendWithWeather), boolean(s.sendWithWeather)},
        {"allowTtlSerial", boolean(s.allowTtlSerial), boolean(s.allowTtlSerial)},
        {"peetMode", boolean(s.peetMode), boolean(s.peetMode)},
        {"wx200Mode", boolean(s.wx200Mode), boolean(s.wx200Mode)},
        {"model", number(s.model), number(s.model)},
    };
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
