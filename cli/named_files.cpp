#include "cli/named_files.h"

#include <cerrno>
#include <cstdio>

#include "cli/standard_streams.h"
#include "config/config_file.h"
#include "platform/c_runtime.h"
#include "platform/system_error_text.h"

std::string displayName(const std::string& name, bool output) {
    if (name != "-") return name;
    return output ? "standard output" : "standard input";
}

bool readNamedFile(const std::string& name, std::size_t maxBytes, std::string& bytes, int& errorCode) {
    const bool standard = name == "-";
    if (standard) useBinaryMode(stdin);
    errno = 0;
    std::FILE* file = standard ? stdin : openFile(name.c_str(), "rb");
    if (file == nullptr) {
        errorCode = errno != 0 ? errno : ENOENT;
        return false;
    }
    bytes.clear();
    char buffer[4096];
    std::size_t got = 0;
    while (bytes.size() <= maxBytes && (got = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, got);
    const bool failed = std::ferror(file) != 0;
    errorCode = failed ? (errno != 0 ? errno : EIO) : bytes.size() > maxBytes ? EFBIG : 0;
    if (!standard) std::fclose(file);
    return errorCode == 0;
}

FileSaveResult saveNamedConfigFile(const std::string& name, const ConfigImage& image, int& errorCode) {
    if (name != "-") return saveImageFile(name.c_str(), image, errorCode);
    useBinaryMode(stdout);
    const ConfigFileBytes bytes = configFileBytes(image);
    errno = 0;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size() && std::fflush(stdout) == 0;
    errorCode = written ? 0 : (errno != 0 ? errno : EIO);
    return written ? FileSaveResult::Saved : FileSaveResult::WriteFailed;
}

std::string fileFailure(const char* doing, const std::string& shownName, int errorCode) {
    return std::string("cannot ") + doing + " " + shownName + ": " + systemErrorText(errorCode);
}
