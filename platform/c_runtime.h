// The few C runtime calls whose names differ between the Windows runtime and POSIX.
#pragma once

#include <cstdio>

// fopen_s on Windows, fopen elsewhere; nullptr on failure.
std::FILE* openFile(const char* path, const char* mode);
// Puts from in place of to, replacing an existing file; true on success.
bool replaceFile(const char* from, const char* to);
// Creates path for writing in binary only when nothing of that name exists yet, with the
// permissions (and, where allowed, the owner) of likeFile when that exists; nullptr otherwise.
std::FILE* createNewFile(const char* path, const char* likeFile);
// Removes a file; true on success.
bool removeFile(const char* path);
