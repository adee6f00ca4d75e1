#include "config/image_file.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "config/config_file.h"
#include "platform/c_runtime.h"

namespace fs = std::filesystem;

namespace {

constexpr int kMaxLinkHops = 40;
constexpr int kTemporaryNames = 9;

// The path a chain of symbolic links leads to; the path itself when it is no link.
std::string followLinks(const char* path) {
    fs::path at(path);
    std::error_code error;
    if (!fs::is_symlink(fs::symlink_status(at, error))) return path;
    for (int hop = 0; hop < kMaxLinkHops && fs::is_symlink(fs::symlink_status(at, error)); ++hop) {
        const fs::path next = fs::read_symlink(at, error);
        if (error) break;
        at = next.is_absolute() ? next : at.parent_path() / next;
    }
    return at.string();
}

// Writes the header and the image and closes the file; true when every byte was taken.
bool writeAndClose(std::FILE* file, const ConfigImage& image) {
    const ConfigFileBytes bytes = configFileBytes(image);
    const bool complete = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    // Buffered bytes reach the disk only at the close, so a full disk shows up there.
    return std::fclose(file) == 0 && complete;
}

FileSaveResult writeInPlace(const std::string& path, const ConfigImage& image) {
    bool terminal = false;
    std::FILE* file = openInPlace(path.c_str(), terminal);
    if (terminal) return FileSaveResult::Terminal;
    if (file == nullptr) return FileSaveResult::OpenFailed;
    return writeAndClose(file, image) ? FileSaveResult::Saved : FileSaveResult::WriteFailed;
}

bool writableInPlace(const std::string& path) {
    std::FILE* file = openFile(path.c_str(), "r+b");
    if (file == nullptr) return false;
    std::fclose(file);
    return true;
}

// A new file beside target under a name nobody uses yet; nullptr when none can be made.
std::FILE* createTemporaryBeside(const std::string& target, std::string& name) {
    for (int n = 1; n <= kTemporaryNames; ++n) {
        name = target + ".saving" + (n == 1 ? std::string() : "-" + std::to_string(n));
        std::error_code error;
        if (fs::exists(fs::symlink_status(name, error))) continue;
        std::FILE* file = createNewFile(name.c_str(), target.c_str());
        if (file != nullptr) return file;
    }
    return nullptr;
}

}  // namespace

const char* fileSaveText(FileSaveResult result) {
    switch (result) {
    case FileSaveResult::Saved:
        return "File Saved";
    case FileSaveResult::OpenFailed:
    case FileSaveResult::Terminal:
        return "Failed to open file";
    case FileSaveResult::WriteFailed:
        break;
    }
    return "Failed to write data";
}

FileSaveResult saveImageFile(const char* path, const ConfigImage& image, int& errorCode) {
    // Every way to fail ends in a C library call that sets errno, but for a folder.
    errno = 0;
    const FileSaveResult result = saveImageFile(path, image);
    errorCode = result == FileSaveResult::Saved || result == FileSaveResult::Terminal ? 0 : errno != 0 ? errno : EISDIR;
    return result;
}

FileSaveResult saveImageFile(const char* path, const ConfigImage& image) {
    // The system judges the links first; only those it follows are followed by hand.
    if (const int refusal = pathRefusal(path); refusal != 0) {
        errno = refusal;
        return FileSaveResult::OpenFailed;
    }
    const std::string target = followLinks(path);
    std::error_code error;
    const fs::file_status status = fs::status(target, error);
    if (fs::is_directory(status)) return FileSaveResult::OpenFailed;
    const bool exists = fs::exists(status);
    if (exists && !fs::is_regular_file(status)) return writeInPlace(target, image);
    if (exists && !writableInPlace(target)) return FileSaveResult::OpenFailed;

    std::string temporary;
    std::FILE* file = createTemporaryBeside(target, temporary);
    if (file == nullptr) return writeInPlace(target, image);
    if (!writeAndClose(file, image)) {
        removeFile(temporary.c_str());
        return FileSaveResult::WriteFailed;
    }
    if (replaceFile(temporary.c_str(), target.c_str())) return FileSaveResult::Saved;
    removeFile(temporary.c_str());
    return writeInPlace(target, image);
}

FileSaveResult saveNewImageFile(const char* path, const ConfigImage& image, int& errorCode) {
    errno = 0;
    std::FILE* file = createNewFile(path, nullptr);
    if (file == nullptr) {
        errorCode = errno != 0 ? errno : EEXIST;
        return FileSaveResult::OpenFailed;
    }
    if (writeAndClose(file, image)) {
        errorCode = 0;
        return FileSaveResult::Saved;
    }
    errorCode = errno != 0 ? errno : EIO;
    removeFile(path);
    return FileSaveResult::WriteFailed;
}
