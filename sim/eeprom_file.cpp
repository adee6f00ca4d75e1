#include "sim/eeprom_file.h"

#include <cctype>
#include <cstdio>

#include "config/config_file.h"

bool loadEepromFile(const std::string& path, ConfigImage& image, std::string& error) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        error = "cannot open " + path;
        return false;
    }
    unsigned char header[kFileHeaderSize] = {};
    ConfigImage read{};
    const bool complete = std::fread(header, 1, sizeof header, file) == sizeof header &&
                          std::fread(read.data(), 1, read.size(), file) == read.size();
    std::fclose(file);
    bool magic = true;
    for (int i = 0; i < 4; ++i)
        magic = magic && std::toupper(header[i]) == static_cast<unsigned char>(kFileMagic[i]);
    const unsigned long length = header[4] | header[5] << 8 | static_cast<unsigned long>(header[6]) << 16 |
                                 static_cast<unsigned long>(header[7]) << 24;
    if (!complete || !magic || length != static_cast<unsigned long>(kImageSize)) {
        error = path + " is not a configuration file (KVR1, length 128, 128 image bytes)";
        return false;
    }
    image = read;
    return true;
}
