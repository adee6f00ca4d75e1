// Writing a configuration file so that nothing but the file meant is ever replaced: through a
// temporary file beside it, which keeps the old file whole until the new one is complete, and in
// place where a temporary file cannot serve. The window's Save and kavrelcfg's -o share it.
#pragma once

#include "config/tracker_settings.h"

// Terminal: the path is a terminal or serial port, where a tracker would take the bytes as commands.
enum class FileSaveResult { Saved, OpenFailed, WriteFailed, Terminal };

// "File Saved", "Failed to open file" (a terminal too) or "Failed to write data".
const char* fileSaveText(FileSaveResult result);

// Saves the 136 bytes of the file (header and image) to path:
// - a symbolic link is followed where the system would follow it, and the file it leads to is
//   replaced; the link stays; one the system refuses to follow is refused (OpenFailed);
// - a folder is not a file (OpenFailed); a terminal or serial port is refused (Terminal); another
//   device or a FIFO is written in place, never replaced;
// - an existing file that cannot be written in place is not replaced behind its owner's back;
// - the temporary name is never one that already exists;
// - where no temporary file can be made, or the new file cannot take the old one's place (held
//   open by another program), the file is written in place as a plain open-and-write would.
FileSaveResult saveImageFile(const char* path, const ConfigImage& image);
// The same, with the system's error code (errno) of the failure in errorCode; 0 when saved or a
// terminal.
FileSaveResult saveImageFile(const char* path, const ConfigImage& image, int& errorCode);

// Saves the file under a new name: never over anything already there, a link included (OpenFailed,
// errorCode EEXIST). A file that did not take every byte, up to its close, is removed again.
FileSaveResult saveNewImageFile(const char* path, const ConfigImage& image, int& errorCode);
