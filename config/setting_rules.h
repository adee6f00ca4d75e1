// Strict values: what each setting of kSettingSpecs accepts as text and which values it allows,
// and whether a whole record fits the image. kavrelcfg refuses what these refuse; the window's
// form keeps its lenient conversions.
#pragma once

#include <string>
#include <vector>

#include "config/settings_table.h"

// Parses text as a value of the setting and stores it (callsigns and path entries as storedText
// gives them). false with why set ("'5m' is not a whole number") when the text is no allowed value;
// nothing is stored then.
bool parseStrictValue(const SettingSpec& spec, const std::string& text, TrackerSettings& settings, std::string& why);

// Whether the value the record holds is one the setting allows, the fit in the image aside.
bool checkStrictValue(const SettingSpec& spec, const TrackerSettings& settings, std::string& why);

// A callsign or path in the one form the image gives it back: upper case, each SSID without
// leading zeros and none for 0 ("kv1abc-07" is "KV1ABC-7"). Other texts, and entries that are
// no station, as they are, for the checks to judge.
std::string storedText(const SettingSpec& spec, const std::string& text);

// The step in which the image holds the setting's number, as messages say it ("6.666 ms"), or ""
// when it holds the number as given.
const char* storageStep(const SettingSpec& spec);

// What the setting allows, as help and messages say it: "0 to 1700 ms".
std::string allowedValues(const SettingSpec& spec);

// The settings that do not fit the image laid out for settings.model: a path of more entries
// than it holds, a status text longer than the room the path leaves.
struct FitProblem {
    SettingId setting;
    std::string why;
};
std::vector<FitProblem> checkFit(const TrackerSettings& settings);

// Values that no tool writes, in settings decoded from a tracker or a file: control characters
// in a text, a frequency outside the band (the conversion gives none). An image that holds them is
// likely torn (the rest of an interrupted write) or damaged.
std::vector<FitProblem> implausibleValues(const TrackerSettings& settings);

// The value as kavrelcfg prints it: texts as they are, the frequency with three decimals or as
// many more as it takes to tell its float apart (147.9999).
std::string valueText(const TrackerSettings& settings, const SettingSpec& spec);
