// The settings a generation carries, one "name = value" line each or one JSON object with the keys
// in the same order, then the model: the output of show and read, and the shape of the settings
// documents that encode and write take. A setting the model does not carry is left out, so a file
// from a generation 1 tracker never shows a frequency.
#pragma once

#include <cstdio>
#include <string>

#include "link/json_output.h"

struct TrackerSettings;
struct SettingSpec;
struct SettingChange;

void printSettings(std::FILE* out, const TrackerSettings& settings);
void printSettingsJson(std::FILE* out, const TrackerSettings& settings);
Json settingsJson(const TrackerSettings& settings);

// One value as the lines show it (texts made visible) and as JSON.
std::string shownValue(const TrackerSettings& settings, const SettingSpec& spec);
Json jsonValue(const TrackerSettings& settings, const SettingSpec& spec);

// One change as lists of changes show it: "name  before -> after", "(not carried)" for a side
// whose generation does not carry the setting.
std::string changeLine(const SettingChange& change, const TrackerSettings& before, const TrackerSettings& after);
