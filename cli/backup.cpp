#include "cli/backup.h"

#include <cerrno>

#include "cli/named_files.h"
#include "link/backup_folder.h"

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
