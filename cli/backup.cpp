#include "cli/backup.h"

#include <ctime>
#include <filesystem>
#include <system_error>

#include "cli/named_files.h"
#include "cli/system_conventions.h"

namespace fs = std::filesystem;

namespace {

constexpr int kNamesPerSecond = 99;

// The callsign as a file name can hold it: letters, digits and the SSID's dash.
std::string fileWord(const std::string& callsign) {
    std::string word;
    for (char c : callsign)
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-') word += c;
    return word.empty() ? "unnamed" : word;
}

std::string timeWord() {
    const std::time_t now = std::time(nullptr);
    const std::tm* local = std::localtime(&now);
    char text[32] = "time-unknown";
    if (local != nullptr) std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", local);
    return text;
}

bool newBackupPath(const std::string& callsign, std::string& path, std::string& error) {
    std::string state;
    if (!userStateFolder(state, error)) return false;
    const fs::path folder = fs::path(state) / "kavrelcfg" / "backups";
    std::error_code code;
    fs::create_directories(folder, code);
    if (code) {
        error = "cannot make the backup folder " + folder.string() + ": " + code.message();
        return false;
    }
    const std::string stem = (folder / (timeWord() + "-" + fileWord(callsign))).string();
    for (int n = 1; n <= kNamesPerSecond; ++n) {
        path = stem + (n == 1 ? std::string() : "-" + std::to_string(n)) + ".kvr";
        if (!fs::exists(fs::symlink_status(path, code))) return true;
    }
    error = "too many backups named " + stem + "*.kvr";
    return false;
}

}  // namespace

bool saveBackup(const std::string& named, const ConfigImage& image, const std::string& callsign, std::string& path,
                std::string& error) {
    path = named;
    if (path.empty() && !newBackupPath(callsign, path, error)) return false;
    int errorCode = 0;
    if (saveNamedConfigFile(path, image, errorCode) == FileSaveResult::Saved) return true;
    error = fileFailure("write", displayName(path, true), errorCode);
    return false;
}

std::string restoreCommand(const std::string& port, const std::string& backupPath, bool otherLayout) {
    return "kavrelcfg restore -p " + shellWord(port) + (otherLayout ? " --force " : " ") + shellWord(backupPath);
}
