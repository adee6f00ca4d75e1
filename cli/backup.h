// The backup a write makes of what the tracker held before anything is sent.
#pragma once

#include <string>

#include "config/tracker_settings.h"

// Saves image to the named file ("-" for standard output), or, when named is empty, in
// kavrelcfg/backups/ under the user's state folder, named by the local time and the callsign
// (20250102-143005-KV1ABC.kvr, then -2, -3, ... within a second). A backup is always a new file,
// never over another one, and counts only once all its bytes are in it (a partial one is removed).
// true with path set; false with error.
bool saveBackup(const std::string& named, const ConfigImage& image, const std::string& callsign, std::string& path,
                std::string& error);

