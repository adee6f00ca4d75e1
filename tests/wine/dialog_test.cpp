// The dialog on a machine without serial ports: template, form, tick, loop and commands.
#include <algorithm>
#include <set>
#include <sstream>

#include "config/settings_table.h"
#include "dialog.h"
#include "support/temp_dir.h"

namespace {

using Dialog = DialogTest;
using TS = TrackerSettings;
const char kNoPort[] = "Could not open Com Port No COM Ports Found";  // the list's only entry

std::string className(HWND window) {
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

// Each control once; the order Tab visits them in (the checked mode button takes the tab stop of
// its group); the styles the form and the mode buttons rely on; the classes the settings expect.
TEST_F(Dialog, TemplateHasEachControlOnceInTabOrderWithTheStylesThatMatter) {
    const std::set<int> numbers = {IDC_SEND_EVERY, IDC_AUTO_TXD, IDC_AUTO_TX_RATE, IDC_QUIET_TIME, IDC_CALIBRATION};
    std::map<int, int> count;
    std::vector<int> tabStops;
    for (HWND c = GetWindow(dialog, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
        const int id = static_cast<short>(GetDlgCtrlID(c));
        const LONG style = GetWindowLongA(c, GWL_STYLE);
        EXPECT_TRUE(++count[id] == 1 || id == IDC_STATIC) << id;
        if ((style & WS_TABSTOP) != 0) tabStops.push_back(id);
        EXPECT_FALSE(className(c) == "Button" && (style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) << id;
        EXPECT_FALSE(className(c) == "Edit" && ((style & ES_NUMBER) != 0) != (numbers.count(id) == 1)) << id;
        EXPECT_FALSE(className(c) == "Edit" && ((style & ES_UPPERCASE) != 0) != (id == IDC_CALLSIGN || id == IDC_PATH));
        EXPECT_FALSE((id == IDC_WX200 || id == IDC_PEET) && (style & (WS_GROUP | BS_TYPEMASK)) != BS_AUTORADIOBUTTON);
    }
    EXPECT_EQ(count.size() + count[IDC_STATIC], 46u) << "45 controls, 5 of them group boxes";
    EXPECT_EQ(tabStops, (std::vector<int>{IDC_PORT, IDC_READ_VERSION, IDC_READ_CONFIG, IDC_WRITE_CONFIG, IDC_SAVE,
                                          IDC_LOAD, IDCANCEL, IDC_SEND_1200, IDC_SEND_2200, IDC_SEND_BOTH,
                                          IDC_STOP_TEST, IDC_CALLSIGN, IDC_PATH, IDC_STATUS_TEXT, IDC_SEND_EVERY,
                                          IDC_AUTO_TXD, IDC_AUTO_TX_RATE, IDC_QUIET_TIME, IDC_CALIBRATION,
                                          IDC_ALLOW_TTL_SERIAL, IDC_PEET, IDC_INVERT_CD, IDC_SEND_WITH_WEATHER,
                                          IDC_TX_TWIST, IDC_FREQUENCY}));
    for (const SettingSpec& spec : kSettingSpecs)
        EXPECT_EQ(className(GetDlgItem(dialog, spec.controlId)), spec.kind == SettingKind::Switch ? "Button" : "Edit");
}

// One setting at a time, the others at their defaults, so that a control bound to another setting
// shows. Each row is also a lenient conversion: atoi cut to the field, atof stopping at the comma,
// "%3.3f", 299 of 400 characters. A switch is "1" when checked.
TEST_F(Dialog, EachControlFeedsAndShowsItsOwnSettingLeniently) {
    const auto isSwitch = [&](int id) { return className(GetDlgItem(dialog, id)) == "Button"; };
    const auto shown = [&](int id) {
        return isSwitch(id) ? std::to_string(SendDlgItemMessageA(dialog, id, BM_GETCHECK, 0, 0)) : text(id);
    };
    const auto fields = [](const TS& s) {
        std::ostringstream o;
        o << s.callsign << '|' << s.path << '|' << s.statusText << '|' << s.calibration << '|' << s.autoTxDelayMs << '|'
          << +s.sendEvery << '|' << s.autoTxRateSec << '|' << s.quietTimeMs << '|' << s.frequencyMHz << '|'
          << s.txTwist << s.invertCd << s.sendWithWeather << s.allowTtlSerial << s.peetMode << s.wx200Mode;
        return o.str();
    };
    const struct { int id; std::string typed, shows; void (*want)(TS&); } rows[] = {
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
        mainConfigurator().settings = TS{};
        writeForm(dialog);
        if (isSwitch(row.id)) SendDlgItemMessageA(dialog, row.id, BM_SETCHECK, row.typed == "1", 0);
        else setText(row.id, row.typed);
        readForm(dialog);  // the controls of generation 0 are disabled, and read like the others
        TS want;
        row.want(want);
        EXPECT_EQ(fields(mainConfigurator().settings), fields(want)) << row.id;
        writeForm(dialog);
        EXPECT_EQ(shown(row.id), row.shows) << row.id;
    }
    EXPECT_EQ(text(IDC_FREQUENCY), "144.390");  // the default, single-precision 144.39
}

// The switches from generation 2 on, TX Twist from 3, the frequency on 4 only; nothing else ever.
TEST_F(Dialog, TheGenerationEnablesTheControlsOfWhatItCarries) {
    const char* disabled[] = {"1028 1029 1030 1031 1084 ", "1028 1029 1030 1031 1084 ", "1031 1084 ", "1084 ", ""};
    for (int model : {4, 3, 2, 1, 0}) {
        mainConfigurator().settings.model = model;
        updateEnables(dialog);
        std::string shown;
        for (HWND c = GetWindow(dialog, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT))
            if (!IsWindowEnabled(c)) shown += std::to_string(GetDlgCtrlID(c)) + " ";
        EXPECT_EQ(shown, disabled[model]) << "generation " << model;
    }
}

// Only timer 1234 polls; any timer shows the status, which reads "Static" until the first tick. A
// poll that answers 1 (here a probe that gives up) refreshes the form.
TEST_F(Dialog, OnlyTheTickTimerPollsAndEveryTimerShowsTheStatus) {
    EXPECT_EQ(text(IDC_STATUS_LINE), "Static");
    Configurator& c = mainConfigurator();
    c.operation = VersionOnly;
    c.tickCount = 2;
    c.retryCount = 4;
    c.settings.callsign = "FROMPOLL";
    c.statusMessage = "shown";
    DialogProc(dialog, WM_TIMER, 1, 0);
    EXPECT_EQ(c.tickCount, 2);
    EXPECT_EQ(text(IDC_STATUS_LINE), "shown");
    EXPECT_TRUE(until([&] { return text(IDC_CALLSIGN) == "FROMPOLL"; }));
    EXPECT_EQ(text(IDC_STATUS_LINE), "Kavrel not found : ()");
}

// In the program's own loop Esc (through the dialog's keyboard handling) and the close box end the
// loop, with exit code 0, and the window is gone.
TEST_F(Dialog, EscAndTheCloseBoxEndTheLoop) {
    DestroyWindow(dialog);
    dialog = nullptr;
    static UINT way;
    static HWND window;
    static int ticks;
    for (way = 0; way < 2; ++way) {
        window = nullptr;
        ticks = 0;
        const UINT_PTR watchdog = SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR, DWORD) {
            if (++ticks == 60) PostQuitMessage(0);  // three seconds: that way out failed
            if (window != nullptr || (window = FindWindowA(MAKEINTATOM(32770), "Kavrel Config")) == nullptr) return;
            if (way == 0) PostMessageA(GetDlgItem(window, IDC_CALLSIGN), WM_KEYDOWN, VK_ESCAPE, 1);
            if (way == 1) PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        });
        EXPECT_EQ(runMainWindow(GetModuleHandleA(nullptr)), 0);
        KillTimer(nullptr, watchdog);
        EXPECT_LT(ticks, 60) << "way " << way;
        EXPECT_TRUE(window != nullptr && !IsWindow(window));
    }
}

// Only a whole BN_CLICKED wParam is a command. The mode buttons clear each other (a loaded image
// may set both); the settings follow at the next readForm.
TEST_F(Dialog, OnlyButtonClicksAreCommandsAndTheModeButtonsClearEachOther) {
    for (WPARAM w : {WPARAM{IDOK}, WPARAM{IDC_TX_TWIST}, WPARAM(MAKEWPARAM(IDC_READ_CONFIG, BN_DOUBLECLICKED)),
                     WPARAM(MAKEWPARAM(IDCANCEL, 1))})
        EXPECT_EQ(DialogProc(dialog, WM_COMMAND, w, 0), 0) << std::hex << w;
    MSG quit;
    EXPECT_FALSE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
    EXPECT_EQ(mainConfigurator().statusMessage, "");
    for (int pressed : {IDC_PEET, IDC_WX200}) {
        mainConfigurator().settings.peetMode = mainConfigurator().settings.wx200Mode = true;
        writeForm(dialog);
        EXPECT_EQ(DialogProc(dialog, WM_COMMAND, static_cast<WPARAM>(pressed), 0), 1);
        EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_PEET, BM_GETCHECK, 0, 0), pressed == IDC_PEET);
        EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_WX200, BM_GETCHECK, 0, 0), pressed == IDC_WX200);
        EXPECT_TRUE(mainConfigurator().settings.peetMode && mainConfigurator().settings.wx200Mode);
    }
}

// The write's questions are message boxes with OK and Cancel, Cancel the default, and declining
// sends nothing. A status text that does not fit is cut into the form and sent at the next Write.
TEST_F(Dialog, WriteAsksBeforeALongPathOrAFrequentRateAndDecliningSendsNothing) {
    const std::string ask = "Kavrel Write|You are about to configure your Kavrel with the ability to send ";
    const std::string tail = " is normally recommended. Are you sure you want to do this?|OK Cancel* ";
    const std::string path = ask + "a longer path than" + tail, rate = ask + "at a rate that is more frequent then" + tail;
    const struct { const char *path, *rate; std::string text; std::vector<int> buttons; std::vector<std::string> boxes; bool sent; } cases[] = {
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
        for (int button : c.buttons) answers.push_back({button, ""});
        seen.clear();
        mainConfigurator().statusMessage.clear();
        click(IDC_WRITE_CONFIG);
        ASSERT_EQ(seen.size(), c.boxes.size()) << c.path;
        for (std::size_t i = 0; i < seen.size(); ++i) EXPECT_EQ(seen[i].substr(0, c.boxes[i].size()), c.boxes[i]);
        EXPECT_EQ(mainConfigurator().statusMessage == kNoPort, c.sent) << mainConfigurator().statusMessage;
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
    EXPECT_EQ(mainConfigurator().settings.callsign, "SAVED");
    EXPECT_EQ(readWholeFile(dir.path("station.kvr")).size(), 136u);
    ASSERT_EQ(seen.size(), 4u);
    EXPECT_NE(seen[2].find("Yes"), std::string::npos) << seen[2];  // replace the file?
    seen.erase(seen.begin() + 2);
    EXPECT_EQ(seen, std::vector<std::string>(3, "Save As|config1.kvr|KavrelConfig Files (*.kvr)"));
    seen.clear();
    answers = {{IDOK, file + ".kvr"}, {IDOK, file + "-missing.kvr"}};
    mainConfigurator().settings = TS{};
    click(IDC_LOAD);
    EXPECT_EQ(text(IDC_CALLSIGN), "SAVED");
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_FREQUENCY)));  // a file holds generation 4
    setText(IDC_CALLSIGN, "UNREAD");
    click(IDC_LOAD);
    EXPECT_EQ(mainConfigurator().statusMessage, "Failed to open file");
    EXPECT_EQ(text(IDC_CALLSIGN), "SAVED");
    EXPECT_EQ(seen, std::vector<std::string>(2, "Open||KavrelConfig Files (*.kvr)"));
}

}  // namespace
