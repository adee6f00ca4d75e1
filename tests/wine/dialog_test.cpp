// The real dialog from the real template, in the test's process, run by a loop like the program's:
// on a machine without serial ports, and (Tracker.*) against simulated trackers on COM3
// (generation 4, tracing its line), COM7 (generation 2, at 2400 baud only) and COM9 (generation 1).
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <deque>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <sstream>

#include "config/settings_table.h"
#include "link/serial_port.h"
#include "support/temp_dir.h"
#include "ui/form_binding.h"
#include "ui/main_window.h"
#include "ui/resources/resource.h"

namespace {

using TS = TrackerSettings;
Configurator& cfg = mainConfigurator();
const char kNoPort[] = "Could not open Com Port No COM Ports Found";  // the port list's only entry

std::string textOf(HWND window) {
    char text[1024] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string classOf(HWND window) {
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

// "caption|text|buttons" of a message box, "*" after the default; "caption|name|type" of a file
// dialog (explorer style: name 0x47C, type 0x470, read-only box 0x410).
std::string describe(HWND w) {
    std::string d = textOf(w) + "|";
    if (GetDlgItem(w, 0x47C) != nullptr)
        return d + textOf(GetDlgItem(w, 0x47C)) + "|" + textOf(GetDlgItem(w, 0x470)) +
               (IsWindowVisible(GetDlgItem(w, 0x410)) ? "|read-only" : "");
    d += textOf(GetDlgItem(w, 0xFFFF)) + "|";
    for (int id : {IDOK, IDCANCEL, IDYES, IDNO})
        if (const HWND b = GetDlgItem(w, id))
            d += textOf(b) + ((GetWindowLongA(b, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON ? "* " : " ");
    return d;
}

// A thread timer, which the modal windows' own loops serve, answers each one that is up: it is
// described in `seen` and gets the next answer (a button; for a file dialog, a name typed first),
// or is cancelled and fails the test. One still open a second later is answered again.
std::deque<std::pair<int, std::string>> answers;
std::vector<std::string> seen;
void CALLBACK answerModalWindows(HWND, UINT, UINT_PTR, DWORD) {
    EnumThreadWindows(GetCurrentThreadId(), [](HWND w, LPARAM) -> BOOL {
        static std::map<HWND, DWORD> answeredAt;
        if (classOf(w) != "#32770" || GetDlgItem(w, IDC_STATUS_LINE) != nullptr || !IsWindowVisible(w) ||
            !IsWindowEnabled(w) || GetTickCount() - answeredAt[w] < 1000)
            return TRUE;
        answeredAt[w] = GetTickCount();
        seen.push_back(describe(w));
        if (answers.empty()) {
            ADD_FAILURE() << "unexpected window " << seen.back();
            answers.push_back({IDCANCEL, ""});
        }
        SetDlgItemTextA(w, 0x47C, answers.front().second.c_str());
        PostMessageA(w, WM_COMMAND, static_cast<WPARAM>(answers.front().first), 0);
        answers.pop_front();
        return TRUE;
    }, 0);
}

class Dialog : public ::testing::Test {
protected:
    void SetUp() override {
        timer = SetTimer(nullptr, 0, 20, answerModalWindows);
        dialog = createMainWindow(GetModuleHandleA(nullptr));
        ASSERT_NE(dialog, nullptr) << "CreateDialogParamA failed, error " << GetLastError();
    }
    // The next test starts from the state at start-up.
    void TearDown() override {
        EXPECT_TRUE(answers.empty()) << "a window did not open";
        answers.clear();
        seen.clear();
        DestroyWindow(dialog);
        dialog = nullptr;
        until([] { return false; }, 50);
        KillTimer(nullptr, timer);
        mainSerialPort().close();
        mainSerialPort().baudRate = 9600;
        cfg.settings = TS{};
        cfg.operation = Idle;
        cfg.statusMessage.clear();
    }
    // Runs the thread's messages as the program's loop does until done() or the time is up; a quit
    // message is noted, not acted on.
    bool until(const std::function<bool()>& done, DWORD timeoutMs = 5000) {
        for (const DWORD start = GetTickCount(); !done();) {
            MSG m;
            if (GetTickCount() - start >= timeoutMs) return false;
            if (!PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE))
                MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
            else if (m.message == WM_QUIT)
                quitPosted = true;
            else if (dialog == nullptr || !IsDialogMessageA(dialog, &m))
                TranslateMessage(&m), DispatchMessageA(&m);
        }
        return true;
    }
    std::string text(int id) const { return textOf(GetDlgItem(dialog, id)); }
    void setText(int id, const std::string& value) { SetDlgItemTextA(dialog, id, value.c_str()); }
    LRESULT checked(int id) const { return SendDlgItemMessageA(dialog, id, BM_GETCHECK, 0, 0); }
    // As the mouse clicks: the button checks itself (radio, check box), then tells the dialog.
    void click(int id) { SendDlgItemMessageA(dialog, id, BM_CLICK, 0, 0); }

    HWND dialog = nullptr;
    bool quitPosted = false;
    UINT_PTR timer = 0;
};

// Each control once; the order Tab visits them in (the checked mode button holds its group's tab
// stop); the styles the form and the mode buttons rely on; the class each setting expects.
TEST_F(Dialog, TemplateHasEachControlOnceInTabOrderWithTheStylesThatMatter) {
    const std::set<int> numbers = {IDC_SEND_EVERY, IDC_AUTO_TXD, IDC_AUTO_TX_RATE, IDC_QUIET_TIME, IDC_CALIBRATION};
    std::map<int, int> count;
    std::vector<int> tabStops;
    for (HWND c = GetWindow(dialog, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
        const int id = static_cast<short>(GetDlgCtrlID(c));
        const LONG style = GetWindowLongA(c, GWL_STYLE), type = style & BS_TYPEMASK;
        const bool edit = classOf(c) == "Edit";
        EXPECT_TRUE(++count[id] == 1 || id == IDC_STATIC) << id;
        if ((style & WS_TABSTOP) != 0) tabStops.push_back(id);
        EXPECT_FALSE(classOf(c) == "Button" && type == BS_DEFPUSHBUTTON) << id;
        EXPECT_FALSE(edit && ((style & ES_NUMBER) != 0) != (numbers.count(id) == 1)) << id;
        EXPECT_FALSE(edit && ((style & ES_UPPERCASE) != 0) != (id == IDC_CALLSIGN || id == IDC_PATH)) << id;
        EXPECT_FALSE((id == IDC_WX200 || id == IDC_PEET) && ((style & WS_GROUP) != 0 || type != BS_AUTORADIOBUTTON));
    }
    EXPECT_EQ(count.size(), 41u) << "45 controls, 5 of them group boxes";
    EXPECT_EQ(tabStops, (std::vector<int>{IDC_PORT, IDC_READ_VERSION, IDC_READ_CONFIG, IDC_WRITE_CONFIG, IDC_SAVE,
                                          IDC_LOAD, IDCANCEL, IDC_SEND_1200, IDC_SEND_2200, IDC_SEND_BOTH,
                                          IDC_STOP_TEST, IDC_CALLSIGN, IDC_PATH, IDC_STATUS_TEXT, IDC_SEND_EVERY,
                                          IDC_AUTO_TXD, IDC_AUTO_TX_RATE, IDC_QUIET_TIME, IDC_CALIBRATION,
                                          IDC_ALLOW_TTL_SERIAL, IDC_PEET, IDC_INVERT_CD, IDC_SEND_WITH_WEATHER,
                                          IDC_TX_TWIST, IDC_FREQUENCY}));
    for (const SettingSpec& spec : kSettingSpecs)
        EXPECT_EQ(classOf(GetDlgItem(dialog, spec.controlId)), spec.kind == SettingKind::Switch ? "Button" : "Edit");
}

// One setting at a time, the others at their defaults, so that a control bound to another setting
// shows. Each row is also a lenient conversion: atoi cut to the field, atof stopping at a comma,
// "%3.3f", 299 of 400 characters. A switch reads "1" when checked.
TEST_F(Dialog, EachControlFeedsAndShowsItsOwnSettingLeniently) {
    const auto isSwitch = [&](int id) { return classOf(GetDlgItem(dialog, id)) == "Button"; };
    const auto fields = [](const TS& s) {
        std::ostringstream o;
        for (const SettingSpec& spec : kSettingSpecs)
            o << textValue(s, spec) << wholeValue(s, spec) << switchValue(s, spec) << '|';
        o << s.frequencyMHz;
        return o.str();
    };
    const struct { int id; std::string typed, shown; void (*want)(TS&); } rows[] = {
        {IDC_CALLSIGN, "AB1C-9", "AB1C-9", [](TS& s) { s.callsign = "AB1C-9"; }},
        {IDC_PATH, "WIDE2-2", "WIDE2-2", [](TS& s) { s.path = "WIDE2-2"; }},
        {IDC_STATUS_TEXT, std::string(400, 'q'), std::string(299, 'q'), [](TS& s) { s.statusText.assign(299, 'q'); }},
        {IDC_CALIBRATION, "-1", "-1", [](TS& s) { s.calibration = -1; }},
        {IDC_AUTO_TXD, "70000", "4464", [](TS& s) { s.autoTxDelayMs = 4464; }},
        {IDC_SEND_EVERY, "300", "44", [](TS& s) { s.sendEvery = 44; }},
        {IDC_AUTO_TX_RATE, "-1", "65535", [](TS& s) { s.autoTxRateSec = 65535; }},
        {IDC_QUIET_TIME, "12ab", "12", [](TS& s) { s.quietTimeMs = 12; }},
        {IDC_FREQUENCY, "144,39", "144.000", [](TS& s) { s.frequencyMHz = 144.0f; }},
        {IDC_TX_TWIST, "0", "0", [](TS& s) { s.txTwist = false; }},
        {IDC_INVERT_CD, "1", "1", [](TS& s) { s.invertCd = true; }},
        {IDC_SEND_WITH_WEATHER, "1", "1", [](TS& s) { s.sendWithWeather = true; }},
        {IDC_ALLOW_TTL_SERIAL, "1", "1", [](TS& s) { s.allowTtlSerial = true; }},
        {IDC_PEET, "0", "0", [](TS& s) { s.peetMode = false; }},
        {IDC_WX200, "1", "1", [](TS& s) { s.wx200Mode = true; }},
    };
    for (const auto& row : rows) {
        cfg.settings = TS{};
        writeForm(dialog);
        if (isSwitch(row.id))
            SendDlgItemMessageA(dialog, row.id, BM_SETCHECK, row.typed == "1", 0);
        else
            setText(row.id, row.typed);
        readForm(dialog);  // some are disabled in generation 0 and read all the same
        TS want;
        row.want(want);
        EXPECT_EQ(fields(cfg.settings), fields(want)) << row.id;
        writeForm(dialog);
        EXPECT_EQ(isSwitch(row.id) ? std::to_string(checked(row.id)) : text(row.id), row.shown) << row.id;
    }
}

// The switches from generation 2 on, TX Twist from 3, the frequency on 4 only; nothing else ever.
TEST_F(Dialog, TheGenerationEnablesTheControlsOfWhatItCarries) {
    const char* disabled[] = {"1028 1029 1030 1031 1084 ", "1028 1029 1030 1031 1084 ", "1031 1084 ", "1084 ", ""};
    for (int model : {4, 3, 2, 1, 0}) {
        cfg.settings.model = model;
        updateEnables(dialog);
        std::string shown;
        for (HWND c = GetWindow(dialog, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT))
            if (!IsWindowEnabled(c)) shown += std::to_string(GetDlgCtrlID(c)) + " ";
        EXPECT_EQ(shown, disabled[model]) << "generation " << model;
    }
}

// Only timer 1234 polls; any timer shows the status, "Static" until the first tick. A poll that
// answers 1 (a probe that gives up) refreshes the form. The close box quits as Quit does.
TEST_F(Dialog, OnlyTheTickTimerPollsAndTheCloseBoxQuits) {
    EXPECT_EQ(text(IDC_STATUS_LINE), "Static");
    cfg.operation = VersionOnly, cfg.tickCount = 2, cfg.retryCount = 4;
    cfg.settings.callsign = "FROMPOLL", cfg.statusMessage = "shown";
    DialogProc(dialog, WM_TIMER, 1, 0);
    EXPECT_EQ(cfg.tickCount, 2);
    EXPECT_EQ(text(IDC_STATUS_LINE), "shown");
    EXPECT_TRUE(until([&] { return text(IDC_CALLSIGN) == "FROMPOLL"; }));
    EXPECT_EQ(text(IDC_STATUS_LINE), "Kavrel not found : ()");
    EXPECT_EQ(DialogProc(dialog, WM_CLOSE, 0, 0), 0);
    EXPECT_TRUE(until([&] { return quitPosted; }, 500));
}

// Only a whole BN_CLICKED wParam is a command. The mode buttons clear each other (an image may set
// both); the settings follow at the next readForm.
TEST_F(Dialog, OnlyButtonClicksAreCommandsAndTheModeButtonsClearEachOther) {
    for (WPARAM w : {IDOK, IDC_TX_TWIST, IDC_READ_CONFIG | BN_DOUBLECLICKED << 16, IDCANCEL | 1 << 16})
        EXPECT_EQ(DialogProc(dialog, WM_COMMAND, w, 0), 0) << w;
    EXPECT_FALSE(until([&] { return quitPosted || !cfg.statusMessage.empty(); }, 150));
    for (int pressed : {IDC_PEET, IDC_WX200}) {
        cfg.settings.peetMode = cfg.settings.wx200Mode = true;
        writeForm(dialog);
        EXPECT_EQ(DialogProc(dialog, WM_COMMAND, static_cast<WPARAM>(pressed), 0), 1);
        EXPECT_EQ(checked(IDC_PEET) * 10 + checked(IDC_WX200), pressed == IDC_PEET ? 10 : 1);
        EXPECT_TRUE(cfg.settings.peetMode && cfg.settings.wx200Mode);
    }
}

// The write's questions are message boxes with OK and Cancel, Cancel the default; declining sends
// nothing. A status text that does not fit is cut into the form, and sent by the next Write.
TEST_F(Dialog, WriteAsksBeforeALongPathOrAFrequentRateAndDecliningSendsNothing) {
    const std::string ask = "Kavrel Write|You are about to configure your Kavrel with the ability to send ";
    const std::string end = " is normally recommended. Are you sure you want to do this?|OK Cancel* ";
    const std::string path = ask + "a longer path than" + end;
    const std::string rate = ask + "at a rate that is more frequent then" + end;
    const struct {
        const char *path, *rate;
        std::string text;
        std::vector<int> answers;
        std::vector<std::string> boxes;
        bool sent;
    } cases[] = {
        {"WIDE1-1,WIDE7-7", "300", "Kavrel", {IDCANCEL}, {path}, false},
        {"X-6", "60", "Kavrel", {IDOK, IDCANCEL}, {path, rate}, false},
        {"X-6", "60", "Kavrel", {IDOK, IDOK}, {path, rate}, true},
        {"WIDE1-1", "120", std::string(120, 'x'), {IDOK}, {"Text Truncated|"}, false},
        {"WIDE1-1", "120", "", {}, {}, true},
    };
    for (const auto& c : cases) {
        setText(IDC_PATH, c.path);
        setText(IDC_AUTO_TX_RATE, c.rate);
        if (!c.text.empty()) setText(IDC_STATUS_TEXT, c.text);
        for (int button : c.answers) answers.push_back({button, ""});
        seen.clear();
        cfg.statusMessage.clear();
        click(IDC_WRITE_CONFIG);
        ASSERT_EQ(seen.size(), c.boxes.size()) << c.path;
        for (std::size_t i = 0; i < seen.size(); ++i) EXPECT_EQ(seen[i].substr(0, c.boxes[i].size()), c.boxes[i]);
        EXPECT_EQ(cfg.statusMessage == kNoPort, c.sent) << cfg.statusMessage;
    }
}

// Save offers config1.kvr every time, adds .kvr, asks before replacing a file and reads the form
// only once a name was chosen; Load starts with no name and takes one that does not exist (the load
// says so), rewriting the form whatever it found. Neither offers a read-only box.
TEST_F(Dialog, SaveAndLoadAskForTheFileAsTheyShould) {
    TempDir dir;
    std::string file = dir.path("station");
    std::replace(file.begin(), file.end(), '/', '\\');
    setText(IDC_CALLSIGN, "SAVED");
    answers = {{IDOK, file}, {IDOK, file}, {IDYES, ""}, {IDCANCEL, ""}};
    click(IDC_SAVE);
    click(IDC_SAVE);
    setText(IDC_CALLSIGN, "UNREAD");
    click(IDC_SAVE);
    EXPECT_EQ(cfg.settings.callsign, "SAVED");
    EXPECT_EQ(readWholeFile(file + ".kvr").size(), 136u);
    ASSERT_EQ(seen.size(), 4u);
    EXPECT_NE(seen[2].find("Yes"), std::string::npos) << seen[2];  // replace the file?
    seen.erase(seen.begin() + 2);
    answers = {{IDOK, file + ".kvr"}, {IDOK, file + "-missing.kvr"}};
    click(IDC_LOAD);
    EXPECT_EQ(text(IDC_CALLSIGN), "SAVED");
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_FREQUENCY)));  // a file holds generation 4
    setText(IDC_CALLSIGN, "UNREAD");
    click(IDC_LOAD);
    EXPECT_EQ(cfg.statusMessage, "Failed to open file");
    EXPECT_EQ(text(IDC_CALLSIGN), "SAVED");
    const std::string save = "Save As|config1.kvr|KavrelConfig Files (*.kvr)";
    const std::string open = "Open||KavrelConfig Files (*.kvr)";
    EXPECT_EQ(seen, (std::vector<std::string>{save, save, save, open, open}));
}

// What the host sent to COM3, from its simulator's trace ("  12.345 ms  host> 1B ...").
std::string sentToCom3() {
    std::ifstream log("Z:" + std::string(std::getenv("KAVREL_LOG_COM3")));
    std::string line, sent;
    while (std::getline(log, line))
        if (line.find("host> ") != std::string::npos)
            sent += static_cast<char>(std::stoi(line.substr(line.find("host> ") + 6, 2), nullptr, 16));
    return sent;
}

class Tracker : public Dialog {
protected:
    void select(const char* port) {
        SendDlgItemMessageA(dialog, IDC_PORT, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(port));
    }
    // The status line once the transfer has ended.
    std::string untilIdle() {
        until([] { return cfg.operation == Idle; }, 15000);
        until([] { return false; }, 150);
        return text(IDC_STATUS_LINE);
    }
};

// Found at 2400 baud, the version enables what generation 2 carries; Read Config replaces the
// form, typed edits too.
TEST_F(Tracker, ReadVersionAndReadConfigShowWhatTheTrackerHolds) {
    select("COM7");
    click(IDC_READ_VERSION);
    EXPECT_EQ(untilIdle(), "Version Read : \"Kavrel v1.2\r\n\"");
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_INVERT_CD)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_TX_TWIST)));
    setText(IDC_AUTO_TXD, "999");
    click(IDC_READ_CONFIG);
    EXPECT_EQ(untilIdle(), "Read Config Successful");
    EXPECT_EQ(text(IDC_AUTO_TXD), "253");
}

// Right after start-up the settings belong to no generation: the tracker that answers decides the
// layout stored. Generation 1: the address block at 9, only the Peet switch, "APKV01".
TEST_F(Tracker, WriteRightAfterStartUpStoresTheLayoutOfAFirstGenerationTracker) {
    select("COM9");
    setText(IDC_CALLSIGN, "KV7TST-5");
    click(IDC_WRITE_CONFIG);
    EXPECT_EQ(untilIdle(), "Config Written Successfully!");
    setText(IDC_CALLSIGN, "");
    click(IDC_READ_CONFIG);
    EXPECT_EQ(untilIdle(), "Read Config Successful");
    EXPECT_EQ(text(IDC_CALLSIGN), "KV7TST-5");
    const ConfigImage& stored = cfg.readImage;
    EXPECT_EQ(stored[0] * 256 + stored[5], 9 * 256 + 0x40);
    EXPECT_EQ(std::string(stored.begin() + 9, stored.begin() + 16), "\x82\xA0\x96\xAC\x60\x62\x60");
}

// Quit while the image goes out sends the rest of it first: the tracker would take the next
// command's bytes as the end of its image.
TEST_F(Tracker, QuitDuringTheImageSendsItsLastByteFirst) {
    click(IDC_WRITE_CONFIG);
    ASSERT_TRUE(until([] { return cfg.operation == Writing && cfg.writePos == 32; }));
    DialogProc(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(cfg.writePos, 128);
    EXPECT_TRUE(until([&] {
        const std::string sent = sentToCom3();
        return quitPosted && sent.rfind("\x1B" "D") != std::string::npos && sent.size() >= sent.rfind("\x1B" "D") + 130;
    }, 3000));
}

// Each tone button puts its three bytes on the line and gives the port back; the status stays.
TEST_F(Tracker, TestTonesPutTheirThreeBytesOnTheLine) {
    cfg.statusMessage = "untouched";
    const std::string before = sentToCom3();
    for (int button : {IDC_SEND_1200, IDC_SEND_2200, IDC_SEND_BOTH, IDC_STOP_TEST}) {
        click(button);
        EXPECT_EQ(mainSerialPort().handle, -1);
    }
    const std::string tones = "\x1B\x1B" "1" "\x1B\x1B" "2" "\x1B\x1B" "3" "\x1B\x1B\x1B";
    EXPECT_TRUE(until([&] { return sentToCom3() == before + tones; }, 3000));
    EXPECT_TRUE(until([&] { return text(IDC_STATUS_LINE) == "untouched"; }, 1000));
}

}  // namespace
