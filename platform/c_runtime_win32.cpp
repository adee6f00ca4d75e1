#include "platform/c_runtime.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

std::FILE* openFile(const char* path, const char* mode) {
    std::FILE* file = nullptr;
    if (fopen_s(&file, path, mode) != 0) return nullptr;
    return file;
}

int compareNoCase(const char* a, const char* b) { return _stricmp(a, b); }

bool replaceFile(const char* from, const char* to) {
    return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool removeFile(const char* path) { return DeleteFileA(path) != 0; }
