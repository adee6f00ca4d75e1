// KavrelConfig.exe as it ships, started as a process of its own with a tracker on COM1 and a port
// nobody answers on COM20, the ends of the range it probes.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "ui/resources/resource.h"

namespace {

std::string program;  // the Windows path of KavrelConfig.exe

// The combo box's items are read through its edit field: Wine does not carry CB_GETLBTEXT's 8-bit
// text across processes.
std::string item(HWND combo, WPARAM index) {
    char text[100] = {};
    SendMessageA(combo, CB_SETCURSEL, index, 0);
    SendMessageA(combo, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

TEST(Program, ListsThePortsThatOpenAndItsCloseBoxEndsItWithExitCodeZero) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::string commandLine = "\"" + program + "\"";
    ASSERT_TRUE(CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                               &process)) << "error " << GetLastError();
    // The window shows itself before it probes the ports.
    HWND window = nullptr;
    DWORD_PTR count = 0;
    for (int waited = 0; waited < 30000 && count == 0; waited += 10) {
        Sleep(10);
        window = FindWindowA(MAKEINTATOM(32770), "Kavrel Config");
        SendMessageTimeoutA(GetDlgItem(window, IDC_PORT), CB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, 20, &count);
    }
    ASSERT_EQ(count, 2u);
    const HWND combo = GetDlgItem(window, IDC_PORT);
    char selected[100] = {};
    SendMessageA(combo, WM_GETTEXT, sizeof selected, reinterpret_cast<LPARAM>(selected));
    EXPECT_STREQ(selected, "COM1");
    EXPECT_EQ(item(combo, 1), "COM20");

    PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_EQ(WaitForSingleObject(process.hProcess, 10000), WAIT_OBJECT_0) << "still running after the close box";
    DWORD exitCode = 1;
    GetExitCodeProcess(process.hProcess, &exitCode);
    EXPECT_EQ(exitCode, 0u);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

}  // namespace

// The program's path comes from the build system as a Unix path: the root is drive Z: under Wine.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    program = argc > 1 ? std::string("Z:") + argv[1] : "KavrelConfig.exe";
    std::replace(program.begin(), program.end(), '/', '\\');
    return RUN_ALL_TESTS();
}
