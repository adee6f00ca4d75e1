// The configuration images kept under tests/images: the default settings of every generation,
// images at the edges of the layout, and hostile ones, as .kvr files made apart from our code.
#pragma once

#include <string>
#include <vector>

#include "config/tracker_settings.h"

struct StoredImage {
    std::string name;  // the file name without ".kvr"
    ConfigImage image;
};

std::vector<StoredImage> storedImages();
ConfigImage storedImage(const std::string& name);
// The default settings' image for a generation, 0 to 4.
ConfigImage defaultImage(int generation);
// The image as the bytes of a configuration file, as our writer lays them out.
std::string configFileOf(const ConfigImage& image);
