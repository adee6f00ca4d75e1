// The program run: the window, the message loop with the dialog's keyboard handling, and the exit
// code; and what happens when the window cannot be made.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>

#include "dialog_fixture.h"
#include "modal_answers.h"
#include "ui/main_window.h"
#include "ui/resources/resource.h"

namespace {

// What to do from inside runMainWindow's loop once its window is up.
std::function<void(HWND)> insideTheLoop;
HWND seenWindow = nullptr;

void CALLBACK actOnce(HWND, UINT, UINT_PTR timerId, DWORD) {
    const HWND window = FindWindowA(MAKEINTATOM(32770), "Kavrel Config");
    if (window == nullptr) return;  // not yet
    KillTimer(nullptr, timerId);
    seenWindow = window;
    insideTheLoop(window);
}

int runWith(std::function<void(HWND)> action) {
    insideTheLoop = std::move(action);
    seenWindow = nullptr;
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, actOnce);
    const int exitCode = runMainWindow(GetModuleHandleA(nullptr));
    KillTimer(nullptr, timer);
    return exitCode;
}

class MessageLoop : public ::testing::Test {
protected:
    void SetUp() override { MainDialogTest::resetProgramState(); }
    void TearDown() override { MainDialogTest::resetProgramState(); }
};

// Escape as the keyboard delivers it (to the focused control, through the loop), the caption's
// close box and the Quit button each end the loop, which destroys the window, with exit code 0.
TEST_F(MessageLoop, EscapeTheCloseBoxAndQuitEndTheProgramWithExitCodeZero) {
    const std::function<void(HWND)> ways[] = {
        [](HWND window) {
            const HWND focus = GetFocus() != nullptr ? GetFocus() : GetDlgItem(window, IDC_CALLSIGN);
            PostMessageA(focus, WM_KEYDOWN, VK_ESCAPE, 1);
        },
        [](HWND window) { PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0); },
        [](HWND window) { PostMessageA(GetDlgItem(window, IDCANCEL), BM_CLICK, 0, 0); },
    };
    for (const auto& way : ways) {
        EXPECT_EQ(runWith(way), 0);
        ASSERT_NE(seenWindow, nullptr);
        EXPECT_FALSE(IsWindow(seenWindow));
        MainDialogTest::resetProgramState();
    }
}

TEST_F(MessageLoop, AWindowThatCannotBeMadeIsReportedAndEndsWithANonzeroCode) {
    ModalAnswers boxes;
    boxes.then(press(IDOK));
    // A module without the dialog template.
    const int exitCode = runMainWindow(GetModuleHandleA("kernel32.dll"));
    EXPECT_NE(exitCode, 0);
    ASSERT_EQ(boxes.seen.size(), 1u);
    EXPECT_EQ(boxes.seen[0].caption, "Kavrel Config");
    EXPECT_NE(boxes.seen[0].text.find("could not open its window"), std::string::npos) << boxes.seen[0].text;
}

}  // namespace
