// The settings as help lists them, from the settings table: name, the values it takes with their
// unit, and the generations that carry it.
#pragma once

#include <cstdio>

void printSettingsHelp(std::FILE* out);
