// KavrelConfig.exe as it ships, with ports on COM1 and COM20, the ends of the probed range.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "form/control_ids.h"

namespace {

std::string program;  // from the command line

TEST(Program, ListsThePortsThatOpenAndEndsWithExitCodeZero) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessA(program.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                               &process)) << program << ": error " << GetLastError();
    HWND combo = nullptr;
    DWORD_PTR count = 0;
    for (int waited = 0; waited < 30000 && count == 0; waited += 10, Sleep(10)) {  // it answers once it has probed
        combo = GetDlgItem(FindWindowA(MAKEINTATOM(32770), "Kavrel Config"), IDC_PORT);
        SendMessageTimeoutA(combo, CB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, 20, &count);
    }
    // Read through the edit field: Wine does not carry CB_GETLBTEXT's text across processes.
    char first[8] = {}, second[8] = {};
    SendMessageA(combo, WM_GETTEXT, sizeof first, reinterpret_cast<LPARAM>(first));
    SendMessageA(combo, CB_SETCURSEL, 1, 0);
    SendMessageA(combo, WM_GETTEXT, sizeof second, reinterpret_cast<LPARAM>(second));
    EXPECT_EQ(count, 2u);
    EXPECT_STREQ(first, "COM1");
    EXPECT_STREQ(second, "COM20");
    PostMessageA(GetDlgItem(GetParent(combo), IDC_CALLSIGN), WM_KEYDOWN, VK_ESCAPE, 1);
    ASSERT_EQ(WaitForSingleObject(process.hProcess, 10000), WAIT_OBJECT_0) << "still running after Esc";
    DWORD exitCode = 1;
    ASSERT_TRUE(GetExitCodeProcess(process.hProcess, &exitCode));
    EXPECT_EQ(exitCode, 0u);
}

}  // namespace

// The build gives a Unix path; its root is drive Z: under Wine.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    program = "Z:" + std::string(argc > 1 ? argv[1] : "");
    std::replace(program.begin(), program.end(), '/', '\\');
    return RUN_ALL_TESTS();
}
