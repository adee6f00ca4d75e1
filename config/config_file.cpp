#include "config/config_file.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "config/tracker_settings.h"
#include "platform/c_runtime.h"

namespace {

// A file that exists must be writable in place, and a folder is no file: either way saving reports
// that the file could not be opened, just as opening it for writing would have.
bool existsButNotWritable(const char* path) {
    std::error_code ignored;
    if (std::filesystem::is_directory(path, ignored)) return true;
    std::FILE* existing = openFile(path, "rb");
    if (existing == nullptr) return false;
    std::fclose(existing);
    std::FILE* writable = openFile(path, "r+b");
    if (writable == nullptr) return true;
    std::fclose(writable);
    return false;
}

}  // namespace

// The image goes to a temporary file beside the target, which replaces the target only when all
// 136 bytes were written: a failed save never destroys the file it was to replace.
void Configurator::saveFile(const char* path) {
    encodeImage();
    const std::string temporary = std::string(path) + ".saving";
    std::FILE* file = existsButNotWritable(path) ? nullptr : openFile(temporary.c_str(), "wb");
    if (file == nullptr) {
        statusMessage = "Failed to open file";
        return;
    }
    const std::uint8_t length[4] = {static_cast<std::uint8_t>(kImageSize), 0, 0, 0};
    bool complete = std::fwrite(kFileMagic, 1, 4, file) == 4;
    complete = (std::fwrite(length, 1, 4, file) == 4) && complete;
    complete = (std::fwrite(writeImage.data(), 1, kImageSize, file) == static_cast<std::size_t>(kImageSize)) && complete;
    // Buffered bytes reach the disk only here, so a full disk shows up as a failed close.
    complete = (std::fclose(file) == 0) && complete;
    if (!complete || !replaceFile(temporary.c_str(), path)) {
        removeFile(temporary.c_str());
        statusMessage = "Failed to write data";
        return;
    }
    statusMessage = "File Saved";
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
    const bool complete = std::fread(readImage.data(), 1, kImageSize, file) == static_cast<std::size_t>(kImageSize);
    bool decoded = false;
    if (complete) {
        bytesReceived = kImageSize;
        decoded = decodeImage();
    }
    std::fclose(file);
    if (!complete)
        statusMessage = "Failed to read data";
    else if (decoded)
        statusMessage = "File Loaded";
    // else decodeImage left "Corrupted EEPROM"
}
