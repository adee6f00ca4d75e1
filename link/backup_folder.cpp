#include "link/backup_folder.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <system_error>

#include "config/config_file.h"
#include "config/config_image.h"
#include "config/generation_inference.h"
#include "config/image_file.h"
#include "link/state_folder.h"
#include "platform/system_error_text.h"

namespace fs = std::filesystem;

namespace {

constexpr int kNamesPerSecond = 99;
constexpr const char* kFolder = "backups";
constexpr const char* kFolderText = "the backup folder";

// The callsign as a file name can hold it: letters, digits and the SSID's dash.
std::string fileWord(const std::string& callsign) {
    std::string word;
    for (char c : callsign)
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-') word += c;
    return word.empty() ? "unnamed" : word;
}

// "20250102-143005-..." read back as "2025-01-02 14:30:05"; "" for a name not made so.
std::string timeOfName(const std::string& name) {
    if (name.size() < 15 || name[8] != '-') return {};
    for (int i : {0, 1, 2, 3, 4, 5, 6, 7, 9, 10, 11, 12, 13, 14})
        if (name[static_cast<std::size_t>(i)] < '0' || name[static_cast<std::size_t>(i)] > '9') return {};
    return name.substr(0, 4) + "-" + name.substr(4, 2) + "-" + name.substr(6, 2) + " " + name.substr(9, 2) + ":" +
           name.substr(11, 2) + ":" + name.substr(13, 2);
}

}  // namespace

// Each name is taken by creating its file, so that two writes in the same second never share one.
bool saveInBackupFolder(const ConfigImage& image, const std::string& callsign, std::string& path, std::string& error) {
    std::string folder;
    if (!makeStateFolder(kFolder, kFolderText, folder, error)) return false;
    const std::string stem =
        (fs::path(folder) / (localTimeText(TimeShape::FileName) + "-" + fileWord(callsign))).string();
    for (int n = 1; n <= kNamesPerSecond; ++n) {
        path = stem + (n == 1 ? std::string() : "-" + std::to_string(n)) + ".kvr";
        int errorCode = 0;
        if (saveNewImageFile(path.c_str(), image, errorCode) == FileSaveResult::Saved) return true;
        if (errorCode != EEXIST) {
            error = "cannot write " + path + ": " + systemErrorText(errorCode);
            return false;
        }
    }
    error = "too many backups named " + stem + "*.kvr";
    return false;
}

std::vector<Backup> listBackups(std::string& error) {
    std::vector<Backup> backups;
    std::string folder;
    if (!stateFolder(kFolder, kFolderText, folder, error)) return backups;
    std::error_code code;
    if (!fs::exists(folder, code)) return backups;
    for (fs::directory_iterator entry(folder, code), end; !code && entry != end; entry.increment(code)) {
        const std::string name = entry->path().filename().string();
        ParsedFile parsed;
        if (entry->path().extension() != ".kvr" || timeOfName(name).empty() || !entry->is_regular_file(code) ||
            !readConfigFile(entry->path().string().c_str(), parsed) || parsed.result != FileParse::Complete)
            continue;
        Backup backup{entry->path().string(), timeOfName(name), {}, FirmwareModel::None, parsed.image};
        const InferredGeneration layout = inferGeneration(parsed.image);
        TrackerSettings settings;
        settings.model = layout.model;
        if (layout.recognised && decodeSettings(parsed.image, settings)) {
            backup.model = layout.model;
            backup.callsign = settings.callsign;
        }
        backups.push_back(backup);
    }
    if (code) error = "cannot read " + std::string(kFolderText) + " " + folder + ": " + code.message();
    // The names begin with the time: the greatest is the newest.
    std::sort(backups.begin(), backups.end(), [](const Backup& a, const Backup& b) { return a.path > b.path; });
    return backups;
}

std::string restoreCommand(const std::string& port, const std::string& backupPath, bool otherLayout) {
    return "kavrelcfg restore -p " + shellWord(port) + (otherLayout ? " --force " : " ") + shellWord(backupPath);
}
