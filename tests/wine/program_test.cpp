// KavrelConfig.exe as it ships, a process of its own, with a tracker on COM1 and a port nobody
// answers on COM20, the ends of the range it probes: it lists both with the first selected, and Esc
// ends it through its loop's dialog keyboard handling, with exit code 0.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "ui/resources/resource.h"

namespace {

std::string program;  // from the command line

// The list is read through its edit field: Wine does not carry CB_GETLBTEXT's text across processes.
std::string selected(HWND combo) {
    char text[100] = {};
    SendMessageA(combo, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

TEST(Program, ListsThePortsThatOpenAndEndsWithExitCodeZero) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessA(program.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                               &process)) << "error " << GetLastError();
    HWND window = nullptr;
    DWORD_PTR count = 0;
    for (int waited = 0; waited < 30000 && count == 0; waited += 10, Sleep(10)) {
        window = FindWindowA(MAKEINTATOM(32770), "Kavrel Config");  // it answers once the ports are listed
        SendMessageTimeoutA(GetDlgItem(window, IDC_PORT), CB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, 20, &count);
    }
    const HWND combo = GetDlgItem(window, IDC_PORT);
    EXPECT_EQ(count, 2u);
    EXPECT_EQ(selected(combo), "COM1");
    SendMessageA(combo, CB_SETCURSEL, 1, 0);
    EXPECT_EQ(selected(combo), "COM20");
    PostMessageA(GetDlgItem(window, IDC_CALLSIGN), WM_KEYDOWN, VK_ESCAPE, 1);
    ASSERT_EQ(WaitForSingleObject(process.hProcess, 10000), WAIT_OBJECT_0) << "still running after Esc";
    DWORD exitCode = 1;
    GetExitCodeProcess(process.hProcess, &exitCode);
    EXPECT_EQ(exitCode, 0u);
}

}  // namespace

// The build system gives a Unix path; its root is drive Z: under Wine.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    program = argc > 1 ? std::string("Z:") + argv[1] : "KavrelConfig.exe";
    std::replace(program.begin(), program.end(), '/', '\\');
    return RUN_ALL_TESTS();
}
