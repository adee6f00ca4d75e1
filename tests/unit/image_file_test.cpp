// Saving a configuration file replaces only the file meant: links, devices, folders, names that
// were there before, and folders in which no temporary file can be made.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <functional>
#include <string>

#include "config/image_file.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

ConfigImage sample() {
    ConfigImage image{};
    for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>(i * 7);
    return image;
}

const ConfigImage kImage = sample();
const std::string kSaved = std::string("KVR1\x80\0\0\0", 8) + std::string(kImage.begin(), kImage.end());

std::size_t entries(const std::string& folder) {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

// Runs body in a child process, as an ordinary user when the tests run as root, and answers its
// exit status.
int inChild(const std::function<int()>& body) {
    const pid_t child = fork();
    if (child == 0) {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(100);
        _exit(body());
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 200;
}

}  // namespace

TEST(SaveImageFile, ReplacesARegularFileAndLeavesNothingBeside) {
    TempDir dir;
    const std::string target = dir.path("a.kvr");
    writeWholeFile(target, std::string(500, 'o'));
    chmod(target.c_str(), 0640);
    // A file that already has the temporary name is somebody else's.
    writeWholeFile(target + ".saving", "not ours");
    EXPECT_EQ(saveImageFile(target.c_str(), kImage), FileSaveResult::Saved);
    EXPECT_EQ(readWholeFile(target), kSaved);
    EXPECT_EQ(readWholeFile(target + ".saving"), "not ours");
    EXPECT_EQ(fs::status(target).permissions(), fs::perms(0640));
    EXPECT_EQ(entries(dir.root()), 2u);
}

TEST(SaveImageFile, FollowsLinksAndKeepsThem) {
    TempDir dir;
    fs::create_directory(dir.path("real"));
    writeWholeFile(dir.path("real/a.kvr"), "old");
    fs::create_symlink("real/a.kvr", dir.path("link.kvr"));
    fs::create_symlink("link.kvr", dir.path("chain.kvr"));
    EXPECT_EQ(saveImageFile(dir.path("chain.kvr").c_str(), kImage), FileSaveResult::Saved);
    EXPECT_TRUE(fs::is_symlink(dir.path("chain.kvr")));
    EXPECT_TRUE(fs::is_symlink(dir.path("link.kvr")));
    EXPECT_EQ(readWholeFile(dir.path("real/a.kvr")), kSaved);
    EXPECT_EQ(entries(dir.path("real")), 1u);

    // A link to a file not yet there makes that file.
    fs::create_symlink("real/new.kvr", dir.path("dangling.kvr"));
    EXPECT_EQ(saveImageFile(dir.path("dangling.kvr").c_str(), kImage), FileSaveResult::Saved);
    EXPECT_TRUE(fs::is_symlink(dir.path("dangling.kvr")));
    EXPECT_EQ(readWholeFile(dir.path("real/new.kvr")), kSaved);
}

TEST(SaveImageFile, NeverReplacesAFolderOrADevice) {
    TempDir dir;
    fs::create_directory(dir.path("folder.kvr"));
    EXPECT_EQ(saveImageFile(dir.path("folder.kvr").c_str(), kImage), FileSaveResult::OpenFailed);
    EXPECT_TRUE(fs::is_directory(dir.path("folder.kvr")));
    EXPECT_EQ(saveImageFile(dir.path("no/such/folder.kvr").c_str(), kImage), FileSaveResult::OpenFailed);

    // A device is written in place as a plain write would; the full one refuses the bytes.
    EXPECT_EQ(saveImageFile("/dev/full", kImage), FileSaveResult::WriteFailed);
    EXPECT_TRUE(fs::is_character_file("/dev/full"));
    EXPECT_FALSE(fs::exists("/dev/full.saving"));
    EXPECT_EQ(saveImageFile("/dev/null", kImage), FileSaveResult::Saved);
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
}

TEST(SaveImageFile, WritesInPlaceWhereTheFolderTakesNoNewFile) {
    TempDir dir;
    fs::create_directory(dir.path("closed"));
    const std::string target = dir.path("closed/a.kvr");
    writeWholeFile(target, "old");
    chmod(target.c_str(), 0666);
    chmod(dir.path("closed").c_str(), 0555);
    chmod(dir.root().c_str(), 0755);
    EXPECT_EQ(inChild([&] { return static_cast<int>(saveImageFile(target.c_str(), kImage)); }),
              static_cast<int>(FileSaveResult::Saved));
    EXPECT_EQ(readWholeFile(target), kSaved);
    EXPECT_EQ(entries(dir.path("closed")), 1u);

    // A file the user may not write is not replaced behind its owner's back.
    chmod(target.c_str(), 0644);
    chmod(dir.path("closed").c_str(), 0777);
    writeWholeFile(target, "old");
    EXPECT_EQ(inChild([&] { return static_cast<int>(saveImageFile(target.c_str(), kImage)); }),
              static_cast<int>(FileSaveResult::OpenFailed));
    EXPECT_EQ(readWholeFile(target), "old");
}

TEST(SaveImageFile, AFailedWriteLeavesTheOldFileWhole) {
    TempDir dir;
    const std::string target = dir.path("a.kvr");
    writeWholeFile(target, "old contents");
    chmod(dir.root().c_str(), 0777);
    chmod(target.c_str(), 0666);
    // No file may grow beyond 20 bytes: the disk is as good as full.
    EXPECT_EQ(inChild([&] {
                  signal(SIGXFSZ, SIG_IGN);
                  const rlimit limit{20, 20};
                  setrlimit(RLIMIT_FSIZE, &limit);
                  return static_cast<int>(saveImageFile(target.c_str(), kImage));
              }),
              static_cast<int>(FileSaveResult::WriteFailed));
    EXPECT_EQ(readWholeFile(target), "old contents");
    EXPECT_EQ(entries(dir.root()), 1u);
    EXPECT_STREQ(fileSaveText(FileSaveResult::WriteFailed), "Failed to write data");
    EXPECT_STREQ(fileSaveText(FileSaveResult::OpenFailed), "Failed to open file");
    EXPECT_STREQ(fileSaveText(FileSaveResult::Saved), "File Saved");
}
