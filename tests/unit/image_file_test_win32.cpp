// A file another program holds open cannot be replaced on Windows: it is saved in place.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "config/image_file.h"
#include "support/temp_dir.h"

TEST(SaveImageFile, SavesInPlaceWhenAnotherProgramHoldsTheFile) {
    TempDir dir;
    const std::string target = dir.path("held.kvr");
    writeWholeFile(target, "old");
    const HANDLE other =
        CreateFileA(target.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    ConfigImage image{};
    image[0] = 11;
    EXPECT_EQ(saveImageFile(target.c_str(), image), FileSaveResult::Saved);
    CloseHandle(other);
    const std::string saved = readWholeFile(target);
    ASSERT_EQ(saved.size(), 136u);
    EXPECT_EQ(saved.substr(0, 4), "KVR1");
    EXPECT_EQ(saved[8], 11);
    EXPECT_FALSE(std::ifstream(target + ".saving").good());
}
