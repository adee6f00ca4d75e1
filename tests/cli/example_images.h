// The worked example images of the default settings, and configuration files made from images.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

using ImageBytes = std::vector<std::uint8_t>;

// The default settings encoded for generation 4 (FA v1.4) and for generation 1 (v1.1).
ImageBytes defaultImageModel4();
ImageBytes defaultImageModel1();

// "KVR1", the length 128, and the image: the 136 bytes of a configuration file.
std::string configFileOf(const ImageBytes& image);
// The image part of a configuration file's bytes (empty when the file is too short).
ImageBytes imageOfFile(const std::string& fileBytes);
