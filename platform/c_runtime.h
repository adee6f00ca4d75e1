// The few C runtime calls whose names differ between the Windows runtime and POSIX.
#pragma once

#include <cstdio>

// fopen_s on Windows, fopen elsewhere; nullptr on failure.
std::FILE* openFile(const char* path, const char* mode);
// Puts from in place of to, replacing an existing file; true on success.
bool replaceFile(const char* from, const char* to);
// Creates path for writing in binary only when nothing of that name exists yet, a symbolic link
// included (errno EEXIST), with the permissions (and, where allowed, the owner) of likeFile when
// that is given and exists; nullptr otherwise.
std::FILE* createNewFile(const char* path, const char* likeFile);
// Removes a file; true on success.
bool removeFile(const char* path);

// 0 when an open of path would reach it, or nothing is there yet (ENOENT); else the error code of
// the system's refusal. Symbolic links are followed only as far as the system itself follows
// them: Linux, for one, refuses (EACCES) a link that another user planted in a sticky
// world-writable folder such as /tmp (fs.protected_symlinks).
int pathRefusal(const char* path);

// Opens path for writing in place, as fopen "wb" does, but never as the controlling terminal and
// without waiting for a serial port's carrier. A terminal or serial port takes bytes as commands:
// it is closed again unwritten, with terminal set. nullptr with errno set when it does not open.
std::FILE* openInPlace(const char* path, bool& terminal);
