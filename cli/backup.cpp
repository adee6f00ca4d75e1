#include "cli/backup.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "cli/named_files.h"
#include "cli/state_folder.h"
#include "cli/compat/system_conventions.h"

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

// Each name is taken by creating its file, so that two writes in the same second never share one.
bool saveInBackupFolder(const ConfigImage& image, const std::string& callsign, std::string& path, std::string& error) {
    std::string folder;
    if (!makeStateFolder("backups", "the backup folder", folder, error)) return false;
    const std::string stem =
        (fs::path(folder) / (localTimeText(TimeShape::FileName) + "-" + fileWord(callsign))).string();
    for (int n = 1; n <= kNamesPerSecond; ++n) {
        path = stem + (n == 1 ? std::string() : "-" + std::to_string(n)) + ".kvr";
        int errorCode = 0;
        if (saveNewImageFile(path.c_str(), image, errorCode) == FileSaveResult::Saved) return true;
        if (errorCode != EEXIST) {
            error = fileFailure("write", path, errorCode);
            return false;
        }
    }
    error = "too many backups named " + stem + "*.kvr";
    return false;
}

}  // namespace

bool saveBackup(const std::string& named, const ConfigImage& image, const std::string& callsign, std::string& path,
                std::string& error) {
    if (named.empty()) return saveInBackupFolder(image, callsign, path, error);
    path = named;
    int errorCode = 0;
    // A named backup is a new file, never one that was there: not even the --from file.
    const FileSaveResult saved =
        named == "-" ? saveNamedConfigFile(named, image, errorCode) : saveNewImageFile(named.c_str(), image, errorCode);
    if (saved == FileSaveResult::Saved) return true;
    error = saveFailure(named, saved, errorCode);
    if (errorCode == EEXIST) error += " (a backup never replaces a file: name a new one)";
    return false;
}

std::string restoreCommand(const std::string& port, const std::string& backupPath, bool otherLayout) {
    return "kavrelcfg restore -p " + shellWord(port) + (otherLayout ? " --force " : " ") + shellWord(backupPath);
}
