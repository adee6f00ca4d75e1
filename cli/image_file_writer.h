// Stores an image exactly as it came from the tracker. Configurator::saveFile encodes the
// settings first, and encoding a decoded image does not give back the same bytes (delay and
// quiet-time steps are not inverse to each other, unused bytes and foreign layouts are lost), so a
// backup of what the tracker holds is written from the bytes themselves.
#pragma once

#include <string>

#include "config/tracker_settings.h"

// Writes the 136-byte file ("KVR1", length 128, the image) to a temporary file beside path, which
// then replaces path, as Configurator::saveFile does: a failed write never destroys an existing
// file. Answers the status text: "File Saved", "Failed to open file" or "Failed to write data".
std::string saveImageFile(const ConfigImage& image, const std::string& path);
