// The files kavrelcfg reads and writes by the names the user gives, where "-" means standard input
// or standard output. Failures keep the system's error code for the message.
#pragma once

#include <cstddef>
#include <string>

#include "config/image_file.h"
#include "config/tracker_settings.h"

// The most kavrelcfg reads of any file, a settings document's limit; a configuration file has 136
// bytes.
constexpr std::size_t kMaxFileBytes = 1024 * 1024;

// readNamedFile's error code, beside the system's, for a character device: a terminal, a serial
// port or an endless source such as /dev/zero is no file to read whole.
constexpr int kDeviceErrorCode = -1;

// What messages call the file: "standard input" (or output) for "-", else its name.
std::string displayName(const std::string& name, bool output = false);

// Reads the whole file, at most maxBytes of it (more is an error, EFBIG). A character device is
// refused unopened; before waiting on a FIFO, says so. false with errorCode.
bool readNamedFile(const std::string& name, std::size_t maxBytes, std::string& bytes, int& errorCode);

// Saves a configuration file: to standard output for "-", unless that is a terminal (Terminal),
// else safely in place (saveImageFile).
FileSaveResult saveNamedConfigFile(const std::string& name, const ConfigImage& image, int& errorCode);

// "cannot read NAME: why" or "cannot write NAME: why", the system's words for the code.
std::string fileFailure(const char* doing, const std::string& shownName, int errorCode);
// "cannot write NAME: why" for a save that failed: the system's words, or that NAME is a terminal.
std::string saveFailure(const std::string& name, FileSaveResult result, int errorCode);
// Prints it as an error, followed by status, and for a terminal a hint of what to do instead.
void reportSaveFailure(const std::string& name, FileSaveResult result, int errorCode, const std::string& status);

// Whether everything printed reached standard output: false, said once, when some was lost (a full
// disk, a closed pipe), so that no success is claimed for it.
bool standardOutputArrived();
