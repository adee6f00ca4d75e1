#include "platform/c_runtime.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

std::FILE* openFile(const char* path, const char* mode) {
    std::FILE* file = nullptr;
    if (fopen_s(&file, path, mode) != 0) return nullptr;
    return file;
}

bool replaceFile(const char* from, const char* to) {
    return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool removeFile(const char* path) { return DeleteFileA(path) != 0; }

std::FILE* createNewFile(const char* path, const char*) {
    const HANDLE handle = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        errno = GetLastError() == ERROR_FILE_EXISTS ? EEXIST : EACCES;
        return nullptr;
    }
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_BINARY | _O_WRONLY);
    if (fd < 0) {
        CloseHandle(handle);
        DeleteFileA(path);
        return nullptr;
    }
    std::FILE* file = _fdopen(fd, "wb");
    if (file == nullptr) {
        _close(fd);
        DeleteFileA(path);
    }
    return file;
}

// Windows judges a link when the file is opened through it: nothing to ask beforehand.
int pathRefusal(const char*) { return 0; }

std::FILE* openInPlace(const char* path, bool& terminal) {
    terminal = false;
    std::FILE* file = openFile(path, "wb");
    if (file == nullptr) return nullptr;
    // A console answers GetConsoleMode, a serial port GetCommState; NUL, a character device too,
    // answers neither.
    const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
    DWORD mode = 0;
    DCB settings{};
    settings.DCBlength = sizeof settings;
    terminal = GetFileType(handle) == FILE_TYPE_CHAR &&
               (GetConsoleMode(handle, &mode) != 0 || GetCommState(handle, &settings) != 0);
    if (!terminal) return file;
    std::fclose(file);
    return nullptr;
}
