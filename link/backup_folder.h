// The backups of what trackers held before a write, in kavrelcfg/backups/ under the user's state
// folder: kavrelcfg and the window make them the same way, with the same names, and the window
// lists them to put one back.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "config/tracker_settings.h"

// Saves image as a new file named by the local time and the callsign (20250102-143005-KV1ABC.kvr,
// then -2, -3, ... within a second): never over another file, and counted only once all its bytes
// are in it. true with path set; false with error.
bool saveInBackupFolder(const ConfigImage& image, const std::string& callsign, std::string& path, std::string& error);

struct Backup {
    std::string path;
    std::string time;      // "2025-01-02 14:30:05", from the name
    std::string callsign;  // as the image holds it
    std::int32_t model = FirmwareModel::None;  // the generation that laid the image out; None when none did
    ConfigImage image{};
};
// The whole backups in the folder, newest first; files that are no whole configuration file are
// left out. Empty, with error set, when the folder cannot be read (error stays empty when there
// is no folder yet).
std::vector<Backup> listBackups(std::string& error);

// The command that writes a backup back onto the tracker on port, byte for byte; with
// otherLayout, one whose layout is another generation's (--force).
std::string restoreCommand(const std::string& port, const std::string& backupPath, bool otherLayout);
