// The real main dialog in the test's process, a message pump like the program's loop, and
// scripted answers for the modal windows it opens.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "config/tracker_settings.h"
#include "link/serial_port.h"
#include "ui/form_binding.h"
#include "ui/main_window.h"
#include "ui/resources/resource.h"

inline std::string windowText(HWND window) {
    char text[1024] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

// "caption|text|buttons" of a message box ("*" marks the default), "caption|name|type" of a file
// dialog (explorer style: name 0x47C, type 0x470, read-only box 0x410).
inline std::string describe(HWND w) {
    std::string d = windowText(w) + "|";
    if (GetDlgItem(w, 0x47C) != nullptr)
        return d + windowText(GetDlgItem(w, 0x47C)) + "|" + windowText(GetDlgItem(w, 0x470)) +
               (IsWindowVisible(GetDlgItem(w, 0x410)) ? "|read-only" : "");
    d += windowText(GetDlgItem(w, 0xFFFF)) + "|";
    for (int id : {IDOK, IDCANCEL, IDYES, IDNO})
        if (const HWND b = GetDlgItem(w, id))
            d += windowText(b) + ((GetWindowLongA(b, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON ? "* " : " ");
    return d;
}

// Each modal window, once up, is described in `seen` and gets the next answer: a button and, for a
// file dialog, the name to type. Without one it is cancelled and the test fails; a window still
// open a second after its answer is answered again. A thread timer does it, which the windows' own
// message loops serve.
inline std::deque<std::pair<int, std::string>> answers;
inline std::vector<std::string> seen;

inline void CALLBACK answerModalWindows(HWND, UINT, UINT_PTR, DWORD) {
    EnumThreadWindows(GetCurrentThreadId(), [](HWND w, LPARAM) -> BOOL {
        static std::map<HWND, DWORD> answeredAt;
        char name[16] = {};
        GetClassNameA(w, name, sizeof name);
        if (lstrcmpA(name, "#32770") != 0 || GetDlgItem(w, IDC_STATUS_LINE) != nullptr || !IsWindowVisible(w) ||
            !IsWindowEnabled(w) || GetTickCount() - answeredAt[w] < 1000)
            return TRUE;
        answeredAt[w] = GetTickCount();
        seen.push_back(describe(w));
        if (answers.empty()) ADD_FAILURE() << "unexpected window " << seen.back();
        const auto [button, fileName] = answers.empty() ? std::pair{IDCANCEL, std::string()} : answers.front();
        if (!answers.empty()) answers.pop_front();
        if (!fileName.empty()) SetDlgItemTextA(w, 0x47C, fileName.c_str());
        PostMessageA(w, WM_COMMAND, static_cast<WPARAM>(button), 0);
        return TRUE;
    }, 0);
}

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        timer = SetTimer(nullptr, 0, 20, answerModalWindows);
        dialog = createMainWindow(GetModuleHandleA(nullptr));
        ASSERT_NE(dialog, nullptr) << "CreateDialogParamA failed, error " << GetLastError();
    }
    // The one Configurator and port go back to their state at start-up.
    void TearDown() override {
        EXPECT_TRUE(answers.empty()) << "a window did not open";
        answers.clear();
        seen.clear();
        DestroyWindow(dialog);
        dialog = nullptr;
        until([] { return false; }, 50);  // what is still queued must not reach the next test
        KillTimer(nullptr, timer);
        Configurator& c = mainConfigurator();
        if (mainSerialPort().handle != -1) mainSerialPort().close();
        c.settings = TrackerSettings{};
        c.retryCount = c.tickCount = 0;
        c.operation = Idle;
        c.statusMessage.clear();
        mainSerialPort().baudRate = 9600;
    }
    // Runs the thread's messages as the program's loop does until done() or the time is up; a
    // quit message is noted, not acted on.
    bool until(const std::function<bool()>& done, int timeoutMs = 5000) {
        for (const DWORD start = GetTickCount(); !done();) {
            MSG m;
            if (GetTickCount() - start >= static_cast<DWORD>(timeoutMs)) return false;
            if (!PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE))
                MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
            else if (m.message == WM_QUIT)
                quitPosted = true;
            else if (dialog == nullptr || !IsDialogMessageA(dialog, &m))
                TranslateMessage(&m), DispatchMessageA(&m);
        }
        return true;
    }
    std::string text(int id) const { return windowText(GetDlgItem(dialog, id)); }
    void setText(int id, const std::string& value) { SetDlgItemTextA(dialog, id, value.c_str()); }
    // As the mouse clicks: the button checks itself (radio, check box), then tells the dialog.
    void click(int id) { SendDlgItemMessageA(dialog, id, BM_CLICK, 0, 0); }

    HWND dialog = nullptr;
    bool quitPosted = false;
    UINT_PTR timer = 0;
};
