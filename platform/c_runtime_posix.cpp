#include "platform/c_runtime.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

std::FILE* openFile(const char* path, const char* mode) { return std::fopen(path, mode); }

bool replaceFile(const char* from, const char* to) { return std::rename(from, to) == 0; }

bool removeFile(const char* path) { return std::remove(path) == 0; }

std::FILE* createNewFile(const char* path, const char* likeFile) {
    const int fd = ::open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) return nullptr;
    struct stat like {};
    if (likeFile != nullptr && ::stat(likeFile, &like) == 0) {
        // Best effort: an ordinary user cannot give a file away, and keeps it then.
        if (::fchown(fd, like.st_uid, like.st_gid) != 0) {
        }
        ::fchmod(fd, like.st_mode & 07777);
    }
    std::FILE* file = ::fdopen(fd, "wb");
    if (file == nullptr) {
        ::close(fd);
        ::unlink(path);
    }
    return file;
}

int pathRefusal(const char* path) {
#ifdef O_PATH
    // Reaches the file without opening it: a device or FIFO sees nothing of it.
    const int fd = ::open(path, O_PATH | O_CLOEXEC);
    const int code = fd < 0 ? errno : 0;
    if (fd >= 0) ::close(fd);
#else
    struct stat info {};
    const int code = ::stat(path, &info) != 0 ? errno : 0;
#endif
    return code == ENOENT ? 0 : code;
}

std::FILE* openInPlace(const char* path, bool& terminal) {
    terminal = false;
    // A FIFO waits for its reader, as with a plain open; nothing else waits.
    struct stat info {};
    const int wait = ::stat(path, &info) == 0 && S_ISFIFO(info.st_mode) ? 0 : O_NONBLOCK;
    const int fd = ::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_NOCTTY | O_CLOEXEC | wait, 0666);
    if (fd < 0) return nullptr;
    terminal = ::isatty(fd) == 1;
    const bool blocking = !terminal && ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) == 0;
    std::FILE* file = blocking ? ::fdopen(fd, "wb") : nullptr;
    if (file == nullptr) ::close(fd);
    return file;
}
