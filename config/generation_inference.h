// Which firmware generation laid out an image, read from the image itself: files carry no
// generation, but the layout differs by generation (where the address block starts, the
// destination identifier, whether bytes 9 and 10 hold a frequency).
#pragma once

#include <cstdint>
#include <string>

#include "config/tracker_settings.h"

struct InferredGeneration {
    std::int32_t model = FirmwareModel::FaV1_4;
    bool recognised = false;  // false: no generation lays images out so; model is 4, as a Load takes it
    std::string evidence;     // what in the image tells: "address block at 9", "destination APKV12"
};

InferredGeneration inferGeneration(const ConfigImage& image);
