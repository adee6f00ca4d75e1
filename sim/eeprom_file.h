// The EEPROM a simulated tracker starts with, taken from a configuration file: "KVR1" (any case),
// the length 128 as 4 little-endian bytes, and the image.
#pragma once

#include <string>

#include "config/tracker_settings.h"

// Answers false with a message in error when the file does not open or is no configuration file.
bool loadEepromFile(const std::string& path, ConfigImage& image, std::string& error);
