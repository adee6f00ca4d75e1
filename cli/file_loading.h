// Loading a configuration file for show, encode and hex: the file's image, and its settings as
// the given firmware generation reads them.
#pragma once

#include <cstdint>
#include <string>

#include "config/tracker_settings.h"

struct LoadedFile {
    bool decoded = false;     // the settings were taken from the image
    bool imageWhole = false;  // all 128 image bytes were there, whether they decode or not
    std::string status;       // the texts of the window's Load
    ConfigImage image{};
    TrackerSettings settings;  // the defaults, then what the image gives under model
};

LoadedFile loadConfigFile(const std::string& path, std::int32_t model);
