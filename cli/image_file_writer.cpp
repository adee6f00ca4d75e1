#include "cli/image_file_writer.h"

#include <cstdint>
#include <cstdio>

#include "config/config_file.h"
#include "platform/c_runtime.h"

namespace {

// A read-only file is not replaced behind its owner's back: as with saveFile, a file that exists
// must be writable in place.
bool existsButNotWritable(const std::string& path) {
    std::FILE* existing = openFile(path.c_str(), "rb");
    if (existing == nullptr) return false;
    std::fclose(existing);
    std::FILE* writable = openFile(path.c_str(), "r+b");
    if (writable == nullptr) return true;
    std::fclose(writable);
    return false;
}

}  // namespace

std::string saveImageFile(const ConfigImage& image, const std::string& path) {
    const std::string temporary = path + ".saving";
    std::FILE* file = existsButNotWritable(path) ? nullptr : openFile(temporary.c_str(), "wb");
    if (file == nullptr) return "Failed to open file";
    const std::uint8_t length[4] = {static_cast<std::uint8_t>(kImageSize), 0, 0, 0};
    bool complete = std::fwrite(kFileMagic, 1, 4, file) == 4;
    complete = std::fwrite(length, 1, 4, file) == 4 && complete;
    complete = std::fwrite(image.data(), 1, image.size(), file) == image.size() && complete;
    // Buffered bytes reach the disk only at the close, so a full disk shows up there.
    complete = std::fclose(file) == 0 && complete;
    if (!complete || !replaceFile(temporary.c_str(), path.c_str())) {
        removeFile(temporary.c_str());
        return "Failed to write data";
    }
    return "File Saved";
}
