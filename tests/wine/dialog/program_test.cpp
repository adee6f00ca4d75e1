// KavrelConfig.exe itself, started as a program of its own with a simulated tracker on COM1 and a
// bare port on COM20, the ends of the range it probes: its window comes up with both listed, and
// the close box ends it with exit code 0. Prints
// how long the window took from the start of the process to a filled port list.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "ui/resources/resource.h"

namespace {

std::string program;  // from the command line

double msSince(LARGE_INTEGER start) {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

TEST(Program, OpensWithThePortListedAndClosesWithExitCodeZero) {
    ASSERT_FALSE(program.empty()) << "give the path of KavrelConfig.exe";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::string commandLine = "\"" + program + "\"";
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    ASSERT_TRUE(CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                               &process))
        << "error " << GetLastError();

    // The window is shown before the ports are probed; it answers messages once they are listed.
    // The test's own process has no window of this title.
    HWND window = nullptr;
    double windowMs = -1, listedMs = -1;
    DWORD_PTR count = 0;
    while (msSince(start) < 30000 && listedMs < 0) {
        if (window == nullptr) {
            window = FindWindowA(MAKEINTATOM(32770), "Kavrel Config");
            if (window != nullptr) windowMs = msSince(start);
        } else if (SendMessageTimeoutA(GetDlgItem(window, IDC_PORT), CB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, 20,
                                       &count) != 0 && count > 0) {
            listedMs = msSince(start);
        }
        if (listedMs < 0) Sleep(2);
    }
    ASSERT_GE(listedMs, 0.0) << "no window with a port list within 30 s";
    std::printf("KavrelConfig.exe under Wine: window %.0f ms, port list filled %.0f ms after the process started\n",
                windowMs, listedMs);

    // The items are read through the edit field: Wine does not carry CB_GETLBTEXT's 8-bit text
    // across processes.
    const HWND combo = GetDlgItem(window, IDC_PORT);
    EXPECT_EQ(count, 2u);
    char selected[100] = {};
    SendMessageA(combo, WM_GETTEXT, sizeof selected, reinterpret_cast<LPARAM>(selected));
    EXPECT_STREQ(selected, "COM1") << "the first port is selected";
    SendMessageA(combo, CB_SETCURSEL, 1, 0);
    SendMessageA(combo, WM_GETTEXT, sizeof selected, reinterpret_cast<LPARAM>(selected));
    EXPECT_STREQ(selected, "COM20");

    PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_EQ(WaitForSingleObject(process.hProcess, 10000), WAIT_OBJECT_0) << "still running after the close box";
    DWORD exitCode = 1234;
    GetExitCodeProcess(process.hProcess, &exitCode);
    EXPECT_EQ(exitCode, 0u);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc > 1) {
        program = argv[1];
        // A Unix path from the build system: the root is drive Z: under Wine.
        if (!program.empty() && program[0] == '/') program = "Z:" + program;
        for (char& c : program)
            if (c == '/') c = '\\';
    }
    return RUN_ALL_TESTS();
}
