// Saving a configuration file replaces only the file meant.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <functional>
#include <string>

#include "config/image_file.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

const ConfigImage kImage = [] {
    ConfigImage image{};
    for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>(i * 7);
    return image;
}();
const std::string kSaved = std::string("KVR1\x80\0\0\0", 8) + std::string(kImage.begin(), kImage.end());

FileSaveResult save(const std::string& path) { return saveImageFile(path.c_str(), kImage); }

std::size_t entries(const std::string& folder) {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

// Saves in a child process, as an ordinary user, with the file size limited; asNew: a file that must be new.
FileSaveResult saveAsUser(const std::string& path, rlim_t maxBytes = RLIM_INFINITY, bool asNew = false) {
    const pid_t child = fork();
    if (child == 0) {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(100);
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{maxBytes, maxBytes};
        setrlimit(RLIMIT_FSIZE, &limit);
        int code = 0;
        _exit(static_cast<int>(asNew ? saveNewImageFile(path.c_str(), kImage, code) : save(path)));
    }
    int status = 0;
    waitpid(child, &status, 0);
    return static_cast<FileSaveResult>(WIFEXITED(status) ? WEXITSTATUS(status) : 200);
}

}  // namespace

TEST(SaveImageFile, ReplacesTheFileALinkLeadsToAndNeverAFolderOrDevice) {
    TempDir dir;
    fs::create_directory(dir.path("real"));
    const std::string target = dir.path("real/a.kvr");
    writeWholeFile(target, std::string(500, 'o'));
    chmod(target.c_str(), 0640);
    writeWholeFile(target + ".saving", "not ours");  // somebody else's file under the temporary name
    fs::create_symlink("real/a.kvr", dir.path("link.kvr"));
    fs::create_symlink("link.kvr", dir.path("chain.kvr"));
    EXPECT_EQ(save(dir.path("chain.kvr")), FileSaveResult::Saved);
    EXPECT_EQ(readWholeFile(target), kSaved);
    EXPECT_TRUE(fs::is_symlink(dir.path("chain.kvr")) && fs::is_symlink(dir.path("link.kvr")));
    EXPECT_EQ(readWholeFile(target + ".saving"), "not ours");
    EXPECT_EQ(fs::status(target).permissions(), fs::perms(0640));
    EXPECT_EQ(entries(dir.path("real")), 2u);
    // A link to a file not yet there makes that file.
    fs::create_symlink("real/new.kvr", dir.path("dangling.kvr"));
    EXPECT_EQ(save(dir.path("dangling.kvr")), FileSaveResult::Saved);
    EXPECT_EQ(readWholeFile(dir.path("real/new.kvr")), kSaved);

    // A folder is refused with its own reason, not one an earlier call left behind.
    int code = 0;
    errno = ENOENT;
    EXPECT_EQ(saveImageFile(dir.path("real").c_str(), ConfigImage{}, code), FileSaveResult::OpenFailed);
    EXPECT_EQ(code, EISDIR);
    EXPECT_EQ(save(dir.path("no/such/folder.kvr")), FileSaveResult::OpenFailed);
    // A device is written in place, as a plain write would; the full one refuses the bytes.
    EXPECT_EQ(save("/dev/full"), FileSaveResult::WriteFailed);
    EXPECT_TRUE(fs::is_character_file("/dev/full"));
    EXPECT_FALSE(fs::exists("/dev/full.saving"));
    // A terminal or serial port would take the bytes as commands.
    EXPECT_EQ(save("/dev/ptmx"), FileSaveResult::Terminal);
}

TEST(SaveImageFile, WritesInPlaceWhereNoTemporaryFileCanBeMadeAndKeepsTheOldFileOnFailure) {
    TempDir dir;
    chmod(dir.root().c_str(), 0755);
    fs::create_directory(dir.path("closed"));
    const std::string target = dir.path("closed/a.kvr");
    writeWholeFile(target, "old");
    chmod(target.c_str(), 0666);
    chmod(dir.path("closed").c_str(), 0555);
    EXPECT_EQ(saveAsUser(target), FileSaveResult::Saved);
    EXPECT_EQ(readWholeFile(target), kSaved);
    EXPECT_EQ(entries(dir.path("closed")), 1u);

    // A file the user may not write is not replaced behind its owner's back.
    writeWholeFile(target, "old");
    chmod(target.c_str(), 0644);
    chmod(dir.path("closed").c_str(), 0777);
    EXPECT_EQ(saveAsUser(target), FileSaveResult::OpenFailed);
    EXPECT_EQ(readWholeFile(target), "old");
    // A disk that takes no more than 20 bytes: the old file stays whole, nothing is left beside.
    chmod(target.c_str(), 0666);
    EXPECT_EQ(saveAsUser(target, 20), FileSaveResult::WriteFailed);
    EXPECT_EQ(readWholeFile(target), "old");
    // A new file that did not take every byte is removed again.
    EXPECT_EQ(saveAsUser(dir.path("closed/new.kvr"), 20, true), FileSaveResult::WriteFailed);
    EXPECT_EQ(entries(dir.path("closed")), 1u);
}

// A save follows no link another user planted in a sticky world-writable folder (fs.protected_symlinks).
TEST(SaveImageFile, FollowsNoLinkTheSystemRefusesToFollow) {
    if (readWholeFile("/proc/sys/fs/protected_symlinks") != "1\n") GTEST_SKIP() << "fs.protected_symlinks is not 1 here";
    if (geteuid() != 0) GTEST_SKIP() << "planting another user's link takes root";
    TempDir dir;
    fs::create_directory(dir.path("shared"));
    chmod(dir.path("shared").c_str(), 01777);
    writeWholeFile(dir.path("mine.kvr"), "mine");
    fs::create_symlink(dir.path("mine.kvr"), dir.path("shared/planted.kvr"));
    ASSERT_EQ(lchown(dir.path("shared/planted.kvr").c_str(), 65534, 65534), 0);
    EXPECT_EQ(save(dir.path("shared/planted.kvr")), FileSaveResult::OpenFailed);
    EXPECT_EQ(readWholeFile(dir.path("mine.kvr")), "mine");
}
