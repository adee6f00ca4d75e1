#include "cli/named_files.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "cli/messages.h"
#include "cli/compat/console.h"
#include "config/config_file.h"
#include "platform/c_runtime.h"
#include "platform/system_error_text.h"

namespace fs = std::filesystem;

std::string displayName(const std::string& name, bool output) {
    if (name != "-") return name;
    return output ? "standard output" : "standard input";
}

bool readNamedFile(const std::string& name, std::size_t maxBytes, std::string& bytes, int& errorCode) {
    const bool standard = name == "-";
    if (standard) {
        useBinaryMode(stdin);
    } else {
        std::error_code ignored;
        const fs::file_status status = fs::status(name, ignored);
        if (fs::is_character_file(status)) {
            errorCode = kDeviceErrorCode;
            return false;
        }
        if (fs::is_fifo(status)) printNote("Waiting for a program to write to " + name + " (Ctrl-C stops).");
    }
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
    errorCode = 0;
    if (standardOutputIsTerminal()) return FileSaveResult::Terminal;
    useBinaryMode(stdout);
    const ConfigFileBytes bytes = configFileBytes(image);
    errno = 0;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size() && std::fflush(stdout) == 0;
    errorCode = written ? 0 : (errno != 0 ? errno : EIO);
    return written ? FileSaveResult::Saved : FileSaveResult::WriteFailed;
}

std::string fileFailure(const char* doing, const std::string& shownName, int errorCode) {
    const std::string why = errorCode == kDeviceErrorCode ? "it is a device, not a file"
                            : errorCode == EFBIG          ? "it is larger than any configuration file or settings document"
                                                          : systemErrorText(errorCode);
    return std::string("cannot ") + doing + " " + shownName + ": " + why;
}

std::string saveFailure(const std::string& name, FileSaveResult result, int errorCode) {
    if (result != FileSaveResult::Terminal) return fileFailure("write", displayName(name, true), errorCode);
    return "cannot write " + displayName(name, true) + ": it is a terminal" + (name == "-" ? "" : " or serial port") +
           ", not a file";
}

void reportSaveFailure(const std::string& name, FileSaveResult result, int errorCode, const std::string& status) {
    printError(saveFailure(name, result, errorCode) + status);
    if (result != FileSaveResult::Terminal) return;
    if (name == "-")
        printHint("redirect standard output to a file (> FILE.kvr), or name the file instead of -");
    else
        printHint("name a file to save to; 'kavrelcfg write -p PORT --from FILE.kvr' writes one to the tracker");
}

bool standardOutputArrived() {
    static bool lost = false;
    errno = 0;
    const bool flushed = std::fflush(stdout) == 0;
    // A flush that failed before, where its reason was not kept, leaves only the stream's mark.
    if (!lost && !flushed)
        printError(fileFailure("write", "standard output", errno != 0 ? errno : EIO));
    else if (!lost && std::ferror(stdout) != 0)
        printError("cannot write standard output: some of what was printed did not arrive");
    lost = lost || !flushed || std::ferror(stdout) != 0;
    return !lost;
}
