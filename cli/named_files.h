// The files kavrelcfg reads and writes by the names the user gives, where "-" means standard input
// or standard output. Failures keep the system's error code for the message.
#pragma once

#include <cstddef>
#include <string>

#include "config/image_file.h"
#include "config/tracker_settings.h"

// What messages call the file: "standard input" (or output) for "-", else its name.
std::string displayName(const std::string& name, bool output = false);

// Reads the whole file, at most maxBytes of it (more is an error, EFBIG). false with errorCode.
bool readNamedFile(const std::string& name, std::size_t maxBytes, std::string& bytes, int& errorCode);

// Saves a configuration file: to standard output for "-", else safely in place (saveImageFile).
FileSaveResult saveNamedConfigFile(const std::string& name, const ConfigImage& image, int& errorCode);

// "cannot read NAME: why" or "cannot write NAME: why", the system's words for the code.
std::string fileFailure(const char* doing, const std::string& shownName, int errorCode);
