// The real dialog in the test's process; Tracker.* has the simulated trackers of CMakeLists.txt.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <map>

#include "config/tracker_settings.h"
#include "form/control_ids.h"
#include "link/serial_port.h"
#include "support/temp_dir.h"
#include "ui/main_window.h"

// The imports the program's boxes and file dialogs go through; the tests step in between.
extern "C" int(WINAPI* __imp_MessageBoxA)(HWND, LPCSTR, LPCSTR, UINT);
extern "C" BOOL(WINAPI* __imp_GetSaveFileNameA)(LPOPENFILENAMEA);
extern "C" BOOL(WINAPI* __imp_GetOpenFileNameA)(LPOPENFILENAMEA);

namespace {

using TS = TrackerSettings;
Configurator& cfg = mainConfigurator();

std::string textOf(HWND window, int (*get)(HWND, LPSTR, int) = GetWindowTextA) {
    char text[1024] = {};
    get(window, text, sizeof text);
    return text;
}

// Each box or file dialog is recorded in `seen` and takes the next answer (button, file name).
std::vector<std::pair<int, std::string>> answers;
std::vector<std::string> seen;
std::pair<int, std::string> answer(const std::string& shown) {
    seen.push_back(shown);
    if (answers.empty()) ADD_FAILURE() << "unexpected " << shown;
    const auto next = answers.empty() ? std::pair{IDCANCEL, std::string()} : answers.front();
    if (!answers.empty()) answers.erase(answers.begin());
    return next;
}
int WINAPI messageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    return answer(std::string(caption) + "|" + text + "|" + std::to_string(type) + (owner ? "|owned" : "")).first;
}
BOOL fileDialog(const char* kind, OPENFILENAMEA* o) {
    const char* pattern = o->lpstrFilter + std::strlen(o->lpstrFilter) + 1;
    const auto [button, name] = answer(std::string(kind) + "|" + o->lpstrFile + "|" + o->lpstrFilter + "|" + pattern +
                                       "|" + std::to_string(o->Flags) + "|" + o->lpstrDefExt + "|" +
                                       std::to_string(o->lStructSize) + "/" + std::to_string(o->nMaxFile) +
                                       (IsWindow(o->hwndOwner) ? "" : "|no owner"));
    std::snprintf(o->lpstrFile, o->nMaxFile, "%s", name.c_str());
    return button == IDOK;
}

class Dialog : public ::testing::Test {
protected:
    void SetUp() override {
        __imp_MessageBoxA = messageBox;
        __imp_GetSaveFileNameA = [](LPOPENFILENAMEA o) { return fileDialog("Save", o); };
        __imp_GetOpenFileNameA = [](LPOPENFILENAMEA o) { return fileDialog("Open", o); };
        dialog = createMainWindow(GetModuleHandleA(nullptr));
        ASSERT_NE(dialog, nullptr) << "CreateDialogParamA failed, error " << GetLastError();
    }
    void TearDown() override {
        EXPECT_TRUE(answers.empty()) << "a box or file dialog did not open";
        answers.clear(), seen.clear();
        DestroyWindow(dialog);
        until([] { return false; }, 50);
        mainSerialPort().close(), mainSerialPort().baudRate = 9600;
        cfg.settings = TS{}, cfg.operation = TransferOp::Idle, cfg.statusMessage.clear();
    }
    // Dispatches the thread's messages until done() or the time is up; a quit message is noted.
    bool until(const std::function<bool()>& done, DWORD timeoutMs = 5000) {
        for (const DWORD start = GetTickCount(); !done(); MsgWaitForMultipleObjects(0, nullptr, 0, 10, QS_ALLINPUT)) {
            if (GetTickCount() - start >= timeoutMs) return false;
            for (MSG m; !done() && PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE); DispatchMessageA(&m))
                quitPosted = quitPosted || m.message == WM_QUIT;
        }
        return true;
    }
    // The status line once a transfer has ended.
    std::string statusAfterTransfer() {
        until([&] { return cfg.operation == TransferOp::Idle && text(IDC_STATUS_LINE) == cfg.statusMessage; }, 15000);
        return text(IDC_STATUS_LINE);
    }
    std::string text(int id) const { return textOf(GetDlgItem(dialog, id)); }
    void setText(int id, const std::string& value) { SetDlgItemTextA(dialog, id, value.c_str()); }
    bool enabled(int id) const { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }
    void click(int id) { SendDlgItemMessageA(dialog, id, BM_CLICK, 0, 0); }

    HWND dialog = nullptr;
    bool quitPosted = false;
};
using Tracker = Dialog;

// Mode buttons that the dialog manager neither groups nor checks on its own; shown centred.
TEST_F(Dialog, TemplateHasEachControlOnceWithTheStylesThatMatter) {
    std::map<int, int> count;
    for (HWND c = GetWindow(dialog, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
        const int id = static_cast<short>(GetDlgCtrlID(c));
        const LONG style = GetWindowLongA(c, GWL_STYLE), type = style & BS_TYPEMASK;
        EXPECT_TRUE(++count[id] == 1 || id == IDC_STATIC) << id;
        EXPECT_FALSE(textOf(c, GetClassNameA) == "Button" && type == BS_DEFPUSHBUTTON) << id;
        if (id == IDC_WX200_MODE || id == IDC_PEET_MODE) {
            EXPECT_EQ(style & WS_GROUP, 0) << id;
            EXPECT_EQ(type, BS_AUTORADIOBUTTON) << id;
        }
    }
    RECT r{};  // shown, and centred: each half of screen and window taken on its own
    EXPECT_TRUE(IsWindowVisible(dialog));
    ASSERT_TRUE(GetWindowRect(dialog, &r));
    EXPECT_EQ(std::vector<LONG>({r.left, r.top}),
              std::vector<LONG>({GetSystemMetrics(SM_CXSCREEN) / 2 - (r.right - r.left) / 2,
                                 GetSystemMetrics(SM_CYSCREEN) / 2 - (r.bottom - r.top) / 2}));
}

// Only timer 1234 polls, any timer shows the status, a poll answering 1 refreshes the form.
TEST_F(Dialog, OnlyTheTickTimerPollsAndTheCloseBoxQuits) {
    EXPECT_EQ(text(IDC_STATUS_LINE), "Static");
    cfg.operation = TransferOp::VersionOnly, cfg.tickCount = 2, cfg.retryCount = 4;
    cfg.settings.callsign = "FROMPOLL", cfg.statusMessage = "shown";
    DialogProc(dialog, WM_TIMER, 1, 0);
    EXPECT_EQ(cfg.tickCount, 2);
    EXPECT_EQ(text(IDC_STATUS_LINE), "shown");
    EXPECT_TRUE(until([&] { return text(IDC_CALLSIGN) == "FROMPOLL"; }));
    EXPECT_EQ(text(IDC_STATUS_LINE), "Kavrel not found : ()");
    EXPECT_EQ(DialogProc(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_DOUBLECLICKED), 0), 0);
    EXPECT_FALSE(until([&] { return quitPosted; }, 150));
    EXPECT_EQ(DialogProc(dialog, WM_CLOSE, 0, 0), 0);
    EXPECT_TRUE(until([&] { return quitPosted; }, 150));
}

// The write's questions as boxes (which comes when is the transfer's); a cut text stays in the form.
TEST_F(Dialog, WriteAsksBeforeALongPathOrAFrequentRateAndShowsACutText) {
    const std::string ask = "Kavrel Write|You are about to configure your Kavrel with the ability to send ";
    const std::string end = " is normally recommended. Are you sure you want to do this?|" +
                            std::to_string(MB_OKCANCEL | MB_DEFBUTTON2);
    const std::string path = ask + "a longer path than" + end;
    const std::string rate = ask + "at a rate that is more frequent then" + end;
    struct Case { const char *path, *rate; std::string text; std::vector<int> ok; std::vector<std::string> boxes;
                  bool sent; };
    for (const Case& c : {Case{"X-6", "60", "Kavrel", {IDOK, IDOK}, {path, rate}, true},
                          Case{"WIDE1-1", "120", std::string(120, 'x'), {IDOK}, {"Text Truncated|"}, false},
                          Case{"WIDE1-1", "120", "", {}, {}, true}}) {  // the form holds the cut text now
        setText(IDC_PATH, c.path), setText(IDC_AUTO_TX_RATE_SEC, c.rate);
        if (!c.text.empty()) setText(IDC_STATUS_TEXT, c.text);
        for (int button : c.ok) answers.push_back({button, ""});
        seen.clear(), cfg.statusMessage.clear();
        click(IDC_WRITE_CONFIG);
        ASSERT_EQ(seen.size(), c.boxes.size()) << c.path;
        for (std::size_t i = 0; i < seen.size(); ++i) EXPECT_EQ(seen[i].substr(0, c.boxes[i].size()), c.boxes[i]);
        EXPECT_EQ(cfg.statusMessage == "Could not open Com Port No COM Ports Found", c.sent) << cfg.statusMessage;
    }
}

// Save reads the form only once a name was chosen; Load rewrites it whatever the load found.
TEST_F(Dialog, SaveAndLoadAskForTheFileAsTheyShould) {
    TempDir dir;
    const std::string file = dir.path("station.kvr");
    setText(IDC_CALLSIGN, "SAVED");
    CheckDlgButton(dialog, IDC_PEET_MODE, BST_UNCHECKED);
    answers = {{IDOK, file}, {IDCANCEL, ""}, {IDOK, file}, {IDOK, dir.path("missing.kvr")}};
    click(IDC_SAVE);
    setText(IDC_CALLSIGN, "UNREAD");
    click(IDC_SAVE);
    EXPECT_EQ(cfg.settings.callsign, "SAVED");
    EXPECT_FALSE(enabled(IDC_FREQUENCY_MHZ));  // no generation yet
    click(IDC_LOAD);
    EXPECT_EQ(text(IDC_CALLSIGN), "SAVED");
    EXPECT_TRUE(enabled(IDC_FREQUENCY_MHZ));  // a file holds generation 4
    setText(IDC_CALLSIGN, "UNREAD");
    CheckDlgButton(dialog, IDC_PEET_MODE, BST_CHECKED);
    click(IDC_LOAD);
    EXPECT_EQ(text(IDC_CALLSIGN), "SAVED");
    EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_PEET_MODE), BST_UNCHECKED);
    const std::string filter = "KavrelConfig Files (*.kvr)|*.kvr|";
    const std::string sizes = "|kvr|" + std::to_string(sizeof(OPENFILENAMEA)) + "/260";
    const DWORD common = OFN_HIDEREADONLY | OFN_EXPLORER | OFN_LONGNAMES;
    const std::string save = "Save|config1.kvr|" + filter + std::to_string(common | OFN_OVERWRITEPROMPT) + sizes;
    const std::string open = "Open||" + filter + std::to_string(common | OFN_PATHMUSTEXIST) + sizes;
    EXPECT_EQ(seen, (std::vector<std::string>{save, save, open, open}));
}

// The port is the name typed into the list; generation 1 is written before any generation is known.
TEST_F(Tracker, ReadAndWriteThroughTheRealPort) {
    setText(IDC_PORT, "COM7");
    click(IDC_READ_VERSION);
    EXPECT_EQ(statusAfterTransfer(), "Version Read : \"Kavrel v1.2\r\n\"");
    EXPECT_TRUE(enabled(IDC_INVERT_CD));
    EXPECT_FALSE(enabled(IDC_TX_TWIST));
    setText(IDC_AUTO_TX_DELAY_MS, "999");
    click(IDC_READ_CONFIG);
    EXPECT_EQ(statusAfterTransfer(), "Read Config Successful");
    EXPECT_EQ(text(IDC_AUTO_TX_DELAY_MS), "253");
    TearDown(), SetUp();  // afresh: no generation known
    setText(IDC_PORT, "COM9"), setText(IDC_CALLSIGN, "KV7TST-5");
    click(IDC_WRITE_CONFIG);
    EXPECT_EQ(statusAfterTransfer(), "Config Written Successfully!");
    setText(IDC_CALLSIGN, "");
    click(IDC_READ_CONFIG);
    EXPECT_EQ(statusAfterTransfer(), "Read Config Successful");
    EXPECT_EQ(text(IDC_CALLSIGN), "KV7TST-5");
}

// Quit during the image sends its rest first, or the tracker would take what follows for it.
TEST_F(Tracker, TonesAndTheEndOfAnImageReachTheLine) {
    const auto sent = [] {  // what the host sent to COM3, from the trace: "  12.345 ms  host> 1B ..."
        std::ifstream log("Z:" + std::string(std::getenv("KAVREL_LOG_COM3")));
        std::string line, bytes;
        while (std::getline(log, line))
            if (line.find("host> ") != std::string::npos)
                bytes += static_cast<char>(std::stoi(line.substr(line.find("host> ") + 6, 2), nullptr, 16));
        return bytes;
    };
    const std::string tones = sent() + "\x1B\x1B" "1" "\x1B\x1B" "2" "\x1B\x1B" "3" "\x1B\x1B\x1B";
    for (int button : {IDC_SEND_1200, IDC_SEND_2200, IDC_SEND_BOTH, IDC_STOP_TEST}) click(button);
    EXPECT_TRUE(until([&] { return sent() == tones; }, 3000));
    click(IDC_WRITE_CONFIG);
    ASSERT_TRUE(until([] { return cfg.operation == TransferOp::Writing && cfg.writePos == 32; }));
    DialogProc(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(cfg.writePos, 128);
    EXPECT_TRUE(until([&] { return quitPosted && sent().size() >= tones.size() + 4 + 128; }, 3000));  // ESC V, ESC D
}

}  // namespace
