// Every setting of the record, one "name = value" line each, or one JSON object, with the keys
// in the same order: the output of show and read, and the names --set takes.
#pragma once

#include <cstdio>

struct TrackerSettings;

void printSettings(std::FILE* out, const TrackerSettings& settings);
void printSettingsJson(std::FILE* out, const TrackerSettings& settings);
