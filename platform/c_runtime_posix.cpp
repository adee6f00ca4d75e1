#include "platform/c_runtime.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

std::FILE* openFile(const char* path, const char* mode) { return std::fopen(path, mode); }

bool replaceFile(const char* from, const char* to) { return std::rename(from, to) == 0; }

bool removeFile(const char* path) { return std::remove(path) == 0; }

std::FILE* createNewFile(const char* path, const char* likeFile) {
    const int fd = ::open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) return nullptr;
    struct stat like {};
    if (::stat(likeFile, &like) == 0) {
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
