#include "config/config_file.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "config/config_image.h"
#include "config/image_file.h"
#include "config/tracker_settings.h"
#include "platform/c_runtime.h"

void Configurator::saveFile(const char* path) {
    // The transfer's images are its own: a Save while one runs changes nothing it sends or judges.
    const EncodedImage encoded = encodeSettings(settings);
    showCutNotices(encoded);
    statusMessage = fileSaveText(saveImageFile(path, encoded.image));
}

void Configurator::loadFile(const char* path) {
    std::FILE* file = openFile(path, "rb");
    if (file == nullptr) {
        statusMessage = "Failed to open file";
        return;
    }
    settings.model = None;
    char magic[5] = {};
    if (std::fread(magic, 1, 4, file) != 4 || compareNoCase(magic, kFileMagic) != 0) {
        statusMessage = "Invalid File Format";
        std::fclose(file);
        return;
    }
    settings.model = FaV1_4;
    std::uint8_t length[4] = {};
    const bool lengthRead = std::fread(length, 1, 4, file) == 4;
    const std::uint32_t value = length[0] | (length[1] << 8) | (length[2] << 16) | (static_cast<std::uint32_t>(length[3]) << 24);
    if (!lengthRead || value != static_cast<std::uint32_t>(kImageSize)) {
        statusMessage = "Invalid File Format";
        std::fclose(file);
        return;
    }
    // A transfer that is running keeps its read image: a Load meanwhile only changes the settings.
    ConfigImage image{};
    const std::size_t got = std::fread(image.data(), 1, kImageSize, file);
    std::fclose(file);
    if (!transferRunning()) std::copy(image.begin(), image.begin() + static_cast<std::ptrdiff_t>(got), readImage.begin());
    if (got != static_cast<std::size_t>(kImageSize)) {
        statusMessage = "Failed to read data";
        return;
    }
    bool decoded = false;
    if (transferRunning()) {
        decoded = decodeFrom(image);
    } else {
        bytesReceived = kImageSize;
        decoded = decodeImage();
    }
    if (decoded) statusMessage = "File Loaded";
    // else the decoder left "Corrupted EEPROM"
}
