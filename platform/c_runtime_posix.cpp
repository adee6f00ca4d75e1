#include "platform/c_runtime.h"

#include <cstdio>
#include <strings.h>

std::FILE* openFile(const char* path, const char* mode) { return std::fopen(path, mode); }

int compareNoCase(const char* a, const char* b) { return strcasecmp(a, b); }

bool replaceFile(const char* from, const char* to) { return std::rename(from, to) == 0; }

bool removeFile(const char* path) { return std::remove(path) == 0; }
