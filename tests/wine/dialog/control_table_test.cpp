// The dialog template as it was built into the program, and the window made from it.
#include <windows.h>

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "dialog_fixture.h"
#include "ui/centring.h"
#include "ui/resources/resource.h"

namespace {

struct Row {
    int id;
    const char* className;
    const char* caption;
    int x, y, cx, cy;
    DWORD style;  // besides WS_CHILD and WS_VISIBLE
    DWORD exStyle;
};

// The control table of the main window, in creation order.
const Row kTable[] = {
    {1000, "COMBOBOX", "", 9, 125, 48, 30, CBS_DROPDOWN | WS_VSCROLL | WS_TABSTOP, 0},
    {1001, "BUTTON", "Read Version", 8, 139, 50, 14, BS_PUSHBUTTON | WS_TABSTOP, 0},
    {1002, "BUTTON", "Read Config", 64, 124, 50, 14, BS_PUSHBUTTON | WS_TABSTOP, 0},
    {1003, "BUTTON", "Write Config", 64, 139, 50, 14, BS_PUSHBUTTON | WS_TABSTOP, 0},
    {1004, "BUTTON", "Save", 232, 123, 36, 14, BS_PUSHBUTTON | WS_TABSTOP, 0},
    {1005, "BUTTON", "Load", 232, 137, 36, 14, BS_PUSHBUTTON | WS_TABSTOP, 0},
    {-1, "BUTTON", "Configure", 7, 114, 110, 39, BS_GROUPBOX, 0},
    {2, "BUTTON", "Quit", 272, 129, 42, 14, BS_PUSHBUTTON | WS_TABSTOP, 0},
    {1006, "STATIC", "Static", 160, 7, 154, 8, SS_LEFT | WS_GROUP, WS_EX_RIGHT},
    {1089, "BUTTON", "Send 1200Hz", 122, 123, 50, 14, BS_PUSHBUTTON | WS_TABSTOP, 0},
    {1090, "BUTTON", "Send 2200Hz", 122, 137, 50, 14, BS_PUSHBUTTON | WS_TABSTOP, 0},
    {1091, "BUTTON", "Send Both", 175, 123, 50, 14, BS_PUSHBUTTON | WS_TABSTOP, 0},
    {1092, "BUTTON", "Stop Test", 175, 137, 50, 14, BS_PUSHBUTTON | WS_TABSTOP, 0},
    {-1, "BUTTON", "Test Tones", 119, 113, 110, 40, BS_GROUPBOX, 0},
    {1007, "EDIT", "", 45, 7, 49, 14, WS_BORDER | WS_TABSTOP | ES_UPPERCASE | ES_AUTOHSCROLL, 0},
    {1008, "EDIT", "", 45, 22, 97, 14, WS_BORDER | WS_TABSTOP | ES_UPPERCASE | ES_AUTOHSCROLL, 0},
    {1011, "STATIC", "Callsign", 7, 10, 36, 8, SS_RIGHT | WS_GROUP, 0},
    {1012, "STATIC", "Path", 7, 24, 36, 8, SS_RIGHT | WS_GROUP, 0},
    {1038, "EDIT", "", 38, 78, 118, 14, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 0},
    {1036, "EDIT", "", 57, 93, 25, 14, WS_BORDER | WS_TABSTOP | ES_NUMBER | ES_AUTOHSCROLL, 0},
    {1037, "STATIC", "Send Every", 14, 95, 38, 8, SS_RIGHT | WS_GROUP, 0},
    {-1, "BUTTON", "Status", 7, 70, 161, 40, BS_GROUPBOX, 0},
    {1087, "STATIC", "Text", 20, 79, 16, 8, SS_RIGHT | WS_GROUP, 0},
    {1009, "EDIT", "", 243, 47, 25, 14, WS_BORDER | WS_TABSTOP | ES_NUMBER | ES_AUTOHSCROLL, 0},
    {1010, "EDIT", "", 243, 62, 25, 14, WS_BORDER | WS_TABSTOP | ES_NUMBER | ES_AUTOHSCROLL, 0},
    {1068, "EDIT", "", 243, 77, 25, 14, WS_BORDER | WS_TABSTOP | ES_NUMBER | ES_AUTOHSCROLL, 0},
    {1082, "EDIT", "", 243, 93, 25, 14, WS_BORDER | WS_TABSTOP | ES_NUMBER | ES_AUTOHSCROLL, 0},
    {1013, "STATIC", "Auto TXD", 210, 49, 31, 8, SS_RIGHT | WS_GROUP, 0},
    {1015, "STATIC", "Auto TX Rate", 197, 65, 44, 8, SS_RIGHT | WS_GROUP, 0},
    {1017, "STATIC", "ms", 271, 49, 10, 8, SS_LEFT | WS_GROUP, 0},
    {1019, "STATIC", "sec", 270, 64, 12, 8, SS_LEFT | WS_GROUP, 0},
    {1069, "STATIC", "Quiet Time", 206, 80, 35, 8, SS_RIGHT | WS_GROUP, 0},
    {1070, "STATIC", "msec", 271, 80, 17, 8, SS_LEFT | WS_GROUP, 0},
    {1083, "STATIC", "Calibration", 207, 96, 35, 8, SS_RIGHT | WS_GROUP, 0},
    {-1, "BUTTON", "Timing", 181, 39, 118, 70, BS_GROUPBOX, 0},
    {1028, "BUTTON", "Allow TTL Serial", 183, 18, 65, 10, BS_AUTOCHECKBOX | WS_TABSTOP, 0},
    {1014, "BUTTON", "WX200/WM918", 37, 58, 65, 10, BS_AUTORADIOBUTTON, 0},
    {1016, "BUTTON", "Peet", 113, 58, 31, 10, BS_AUTORADIOBUTTON, 0},
    {-1, "BUTTON", "Mode", 7, 51, 160, 20, BS_GROUPBOX, 0},
    {1029, "BUTTON", "Invert CD", 183, 27, 47, 10, BS_AUTOCHECKBOX | WS_TABSTOP, 0},
    {1030, "BUTTON", "Send with Weather", 90, 96, 77, 10, BS_AUTOCHECKBOX | WS_TABSTOP, 0},
    {1031, "BUTTON", "TX Twist", 271, 27, 43, 10, BS_AUTOCHECKBOX | WS_TABSTOP, 0},
    {1084, "EDIT", "", 45, 37, 36, 14, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 0},
    {1085, "STATIC", "Frequency", 9, 39, 35, 8, SS_RIGHT | WS_GROUP, 0},
    {1086, "STATIC", "MHz", 85, 39, 14, 8, SS_LEFT | WS_GROUP, 0},
};
constexpr int kControlCount = sizeof kTable / sizeof kTable[0];

std::string upper(std::string s) {
    for (char& c : s) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    return s;
}

// Reads an extended dialog template as the dialog manager does.
struct TemplateReader {
    const unsigned char* at;
    const unsigned char* start;
    WORD word() { WORD v; std::memcpy(&v, at, 2); at += 2; return v; }
    DWORD dword() { DWORD v; std::memcpy(&v, at, 4); at += 4; return v; }
    int coordinate() { return static_cast<short>(word()); }
    std::string text() {
        std::string s;
        for (WORD c = word(); c != 0; c = word()) s += static_cast<char>(c < 0x80 ? c : '?');
        return s;
    }
    // A name or, after 0xFFFF, an ordinal written as "#n".
    std::string nameOrOrdinal() {
        if (at[0] == 0xFF && at[1] == 0xFF) { word(); return "#" + std::to_string(word()); }
        return text();
    }
};

std::string predefinedClass(const std::string& name) {
    for (const auto& [ordinal, className] : {std::pair<const char*, const char*>{"#128", "BUTTON"},
                                             {"#129", "EDIT"}, {"#130", "STATIC"}, {"#133", "COMBOBOX"}})
        if (name == ordinal) return className;
    return upper(name);
}

const unsigned char* findResource(LPCSTR type, LPCSTR name, WORD language, DWORD* size) {
    const HMODULE module = GetModuleHandleA(nullptr);
    const HRSRC found = FindResourceExA(module, type, name, language);
    if (found == nullptr) return nullptr;
    *size = SizeofResource(module, found);
    return static_cast<const unsigned char*>(LockResource(LoadResource(module, found)));
}

TEST(DialogTemplate, IsTemplate129WithTheTitleSizeStylesFontAndControlTable) {
    DWORD size = 0;
    const unsigned char* data =
        findResource(RT_DIALOG, MAKEINTRESOURCEA(IDD_MAIN), MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), &size);
    ASSERT_NE(data, nullptr) << "no dialog 129 in English (United States)";
    TemplateReader r{data, data};
    ASSERT_EQ(r.word(), 1) << "not an extended template";
    ASSERT_EQ(r.word(), 0xFFFF);
    r.dword();  // help id
    EXPECT_EQ(r.dword(), 0u);  // extended style
    const DWORD style = r.dword();
    // Hidden until it has centred itself; no minimize or maximize box.
    EXPECT_EQ(style, DWORD{WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_FIXEDSYS});
    const int count = r.word();
    ASSERT_EQ(count, kControlCount);
    for (int want : {0, 0, 321, 160}) EXPECT_EQ(r.coordinate(), want);
    for (const char* what : {"menu", "window class"}) EXPECT_EQ(r.nameOrOrdinal(), "") << what;
    EXPECT_EQ(r.text(), "Kavrel Config");
    // 8 points, weight 400, not italic, the default character set.
    for (int want : {8, 400, DEFAULT_CHARSET << 8}) EXPECT_EQ(r.word(), want);
    EXPECT_EQ(r.text(), "MS Shell Dlg");

    for (const Row& want : kTable) {
        SCOPED_TRACE(std::string("\"") + want.caption + "\" " + std::to_string(want.id));
        while ((r.at - r.start) % 4 != 0) ++r.at;
        r.dword();  // help id
        EXPECT_EQ(r.dword(), want.exStyle);
        EXPECT_EQ(r.dword(), want.style | WS_CHILD | WS_VISIBLE);
        for (int coordinate : {want.x, want.y, want.cx, want.cy}) EXPECT_EQ(r.coordinate(), coordinate);
        EXPECT_EQ(static_cast<int>(r.dword()), want.id);
        EXPECT_EQ(predefinedClass(r.nameOrOrdinal()), want.className);
        EXPECT_EQ(r.nameOrOrdinal(), want.caption);
        r.at += r.word();  // creation data
    }
}

TEST(Manifest, AsksToRunAsInvoker) {
    DWORD size = 0;
    const unsigned char* data = findResource(MAKEINTRESOURCEA(24), MAKEINTRESOURCEA(1),
                                             MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), &size);
    if (data == nullptr) data = findResource(MAKEINTRESOURCEA(24), MAKEINTRESOURCEA(1), 0, &size);
    ASSERT_NE(data, nullptr) << "no manifest resource 1";
    const std::string manifest(reinterpret_cast<const char*>(data), size);
    EXPECT_NE(manifest.find("<requestedExecutionLevel level=\"asInvoker\""), std::string::npos) << manifest;
}

// 512 - 245 = 267, where (1024 - 491) / 2 would be 266; a window larger than the screen.
TEST(Centring, HalvesAreTruncatedSeparatelyAndMayGoNegative) {
    const WindowOrigin small = centredOrigin(1024, 768, 491, 301), large = centredOrigin(640, 480, 1001, 699);
    EXPECT_EQ(std::make_pair(small.x, small.y), std::make_pair(267, 234));
    EXPECT_EQ(std::make_pair(large.x, large.y), std::make_pair(-180, -109));
}

using MainWindowLayout = MainDialogTest;

TEST_F(MainWindowLayout, ShowsItselfCentredWithTheControlsOfTheTableInOrder) {
    EXPECT_TRUE(IsWindowVisible(dialog));
    RECT r{};
    GetWindowRect(dialog, &r);
    const WindowOrigin want = centredOrigin(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                            r.right - r.left, r.bottom - r.top);
    EXPECT_EQ(r.left, want.x);
    EXPECT_EQ(r.top, want.y);

    HWND child = GetWindow(dialog, GW_CHILD);
    for (const Row& row : kTable) {
        SCOPED_TRACE(std::string("\"") + row.caption + "\" " + std::to_string(row.id));
        ASSERT_NE(child, nullptr) << "fewer controls than the table";
        EXPECT_EQ(GetDlgCtrlID(child) & 0xFFFF, row.id & 0xFFFF);
        EXPECT_TRUE(IsWindowVisible(child));
        char caption[256] = {};
        GetWindowTextA(child, caption, sizeof caption);
        const bool fixedCaption = row.id != IDC_PORT && row.id != IDC_STATUS_LINE && row.className[0] != 'E';
        EXPECT_STREQ(caption, fixedCaption ? row.caption : caption);
        child = GetWindow(child, GW_HWNDNEXT);
    }
    EXPECT_EQ(child, nullptr) << "more controls than the table";
}

}  // namespace
