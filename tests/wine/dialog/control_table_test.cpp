// The dialog template as it was built into the program, and the window made from it.
#include <windows.h>

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "dialog_fixture.h"
#include "ui/centring.h"
#include "ui/form_binding.h"
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

// Every name of resource.h that stands for a control.
const int kNamedControls[] = {
    IDC_PORT, IDC_READ_VERSION, IDC_READ_CONFIG, IDC_WRITE_CONFIG, IDC_SAVE, IDC_LOAD, IDC_STATUS_LINE,
    IDC_CALLSIGN, IDC_PATH, IDC_CALLSIGN_LABEL, IDC_PATH_LABEL, IDC_AUTO_TXD, IDC_AUTO_TX_RATE,
    IDC_AUTO_TXD_LABEL, IDC_AUTO_TX_RATE_LABEL, IDC_AUTO_TXD_UNIT, IDC_AUTO_TX_RATE_UNIT, IDC_QUIET_TIME,
    IDC_QUIET_TIME_LABEL, IDC_QUIET_TIME_UNIT, IDC_CALIBRATION, IDC_CALIBRATION_LABEL, IDC_WX200, IDC_PEET,
    IDC_ALLOW_TTL_SERIAL, IDC_INVERT_CD, IDC_SEND_WITH_WEATHER, IDC_TX_TWIST, IDC_SEND_EVERY,
    IDC_SEND_EVERY_LABEL, IDC_STATUS_TEXT, IDC_STATUS_TEXT_LABEL, IDC_FREQUENCY, IDC_FREQUENCY_LABEL,
    IDC_FREQUENCY_UNIT, IDC_SEND_1200, IDC_SEND_2200, IDC_SEND_BOTH, IDC_STOP_TEST, IDCANCEL,
};

// Reads an extended dialog template as the dialog manager does.
class TemplateReader {
public:
    explicit TemplateReader(const unsigned char* at) : at_(at), start_(at) {}
    WORD word() { WORD v; std::memcpy(&v, at_, 2); at_ += 2; return v; }
    DWORD dword() { DWORD v; std::memcpy(&v, at_, 4); at_ += 4; return v; }
    short coordinate() { return static_cast<short>(word()); }
    std::string text() {
        std::string s;
        for (WORD c = word(); c != 0; c = word()) s += static_cast<char>(c < 0x80 ? c : '?');
        return s;
    }
    // A name or, after 0xFFFF, an ordinal written as "#n".
    std::string nameOrOrdinal() {
        WORD first;
        std::memcpy(&first, at_, 2);
        if (first == 0xFFFF) { word(); return "#" + std::to_string(word()); }
        return text();
    }
    void skip(int bytes) { at_ += bytes; }
    void alignToDword() { while ((at_ - start_) % 4 != 0) ++at_; }

private:
    const unsigned char* at_;
    const unsigned char* start_;
};

std::string predefinedClass(const std::string& name) {
    if (name == "#128") return "BUTTON";
    if (name == "#129") return "EDIT";
    if (name == "#130") return "STATIC";
    if (name == "#133") return "COMBOBOX";
    std::string upper = name;
    for (char& c : upper) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    return upper;
}

struct TemplateItem {
    DWORD exStyle, style;
    int x, y, cx, cy;
    int id;
    std::string className, caption;
};

struct DialogTemplate {
    DWORD exStyle = 0, style = 0;
    int x = 0, y = 0, cx = 0, cy = 0, count = 0;
    std::string menu, windowClass, title, typeface;
    int pointSize = 0, weight = 0, italic = 0, charset = 0;
    std::vector<TemplateItem> items;
};

const unsigned char* findResource(LPCSTR type, LPCSTR name, WORD language, DWORD* size) {
    const HMODULE module = GetModuleHandleA(nullptr);
    const HRSRC found = FindResourceExA(module, type, name, language);
    if (found == nullptr) return nullptr;
    *size = SizeofResource(module, found);
    return static_cast<const unsigned char*>(LockResource(LoadResource(module, found)));
}

DialogTemplate readTemplate(const unsigned char* data) {
    TemplateReader r(data);
    DialogTemplate t;
    EXPECT_EQ(r.word(), 1) << "not an extended template";
    EXPECT_EQ(r.word(), 0xFFFF);
    r.dword();  // help id
    t.exStyle = r.dword();
    t.style = r.dword();
    t.count = r.word();
    t.x = r.coordinate(); t.y = r.coordinate(); t.cx = r.coordinate(); t.cy = r.coordinate();
    t.menu = r.nameOrOrdinal();
    t.windowClass = r.nameOrOrdinal();
    t.title = r.text();
    if (t.style & (DS_SETFONT | DS_FIXEDSYS)) {
        t.pointSize = r.word();
        t.weight = r.word();
        const WORD italicAndCharset = r.word();
        t.italic = italicAndCharset & 0xFF;
        t.charset = italicAndCharset >> 8;
        t.typeface = r.text();
    }
    for (int i = 0; i < t.count; ++i) {
        r.alignToDword();
        TemplateItem item;
        r.dword();  // help id
        item.exStyle = r.dword();
        item.style = r.dword();
        item.x = r.coordinate(); item.y = r.coordinate(); item.cx = r.coordinate(); item.cy = r.coordinate();
        item.id = static_cast<int>(r.dword());
        item.className = predefinedClass(r.nameOrOrdinal());
        item.caption = r.nameOrOrdinal();
        r.skip(r.word());  // creation data
        t.items.push_back(item);
    }
    return t;
}

TEST(DialogTemplate, IsTemplate129InUsEnglishWithTheTitleSizeStylesAndFont) {
    DWORD size = 0;
    const unsigned char* data =
        findResource(RT_DIALOG, MAKEINTRESOURCEA(IDD_MAIN), MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), &size);
    ASSERT_NE(data, nullptr) << "no dialog 129 in English (United States)";
    const DialogTemplate t = readTemplate(data);
    EXPECT_EQ(t.title, "Kavrel Config");
    EXPECT_EQ(t.x, 0);
    EXPECT_EQ(t.y, 0);
    EXPECT_EQ(t.cx, 321);
    EXPECT_EQ(t.cy, 160);
    // Hidden until it has centred itself; no minimize or maximize box.
    EXPECT_EQ(t.style, DWORD{WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_FIXEDSYS});
    EXPECT_EQ(t.exStyle, 0u);
    EXPECT_EQ(t.menu, "");
    EXPECT_EQ(t.windowClass, "");
    EXPECT_EQ(t.typeface, "MS Shell Dlg");
    EXPECT_EQ(t.pointSize, 8);
    EXPECT_EQ(t.weight, 400);
    EXPECT_EQ(t.italic, 0);
    EXPECT_EQ(t.charset, DEFAULT_CHARSET);
    EXPECT_EQ(t.count, kControlCount);
}

TEST(DialogTemplate, HoldsTheControlTableInOrder) {
    DWORD size = 0;
    const unsigned char* data =
        findResource(RT_DIALOG, MAKEINTRESOURCEA(IDD_MAIN), MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), &size);
    ASSERT_NE(data, nullptr);
    const DialogTemplate t = readTemplate(data);
    ASSERT_EQ(t.items.size(), static_cast<std::size_t>(kControlCount));
    for (int i = 0; i < kControlCount; ++i) {
        const Row& want = kTable[i];
        const TemplateItem& got = t.items[static_cast<std::size_t>(i)];
        SCOPED_TRACE("control #" + std::to_string(i + 1) + " \"" + want.caption + "\" " + std::to_string(want.id));
        EXPECT_EQ(got.id, want.id);
        EXPECT_EQ(got.className, want.className);
        EXPECT_EQ(got.caption, want.caption);
        EXPECT_EQ(got.x, want.x);
        EXPECT_EQ(got.y, want.y);
        EXPECT_EQ(got.cx, want.cx);
        EXPECT_EQ(got.cy, want.cy);
        EXPECT_EQ(got.style, want.style | WS_CHILD | WS_VISIBLE) << std::hex << got.style;
        EXPECT_EQ(got.exStyle, want.exStyle);
    }
}

TEST(DialogTemplate, NoPushButtonIsTheDefaultOne) {
    DWORD size = 0;
    const unsigned char* data =
        findResource(RT_DIALOG, MAKEINTRESOURCEA(IDD_MAIN), MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), &size);
    ASSERT_NE(data, nullptr);
    for (const TemplateItem& item : readTemplate(data).items)
        if (item.className == "BUTTON") {
            EXPECT_NE(item.style & BS_TYPEMASK, DWORD{BS_DEFPUSHBUTTON}) << item.caption;
        }
}

TEST(DialogTemplate, EveryNamedIdentifierIsUniqueAndNamesOneControl) {
    std::set<int> names(std::begin(kNamedControls), std::end(kNamedControls));
    EXPECT_EQ(names.size(), sizeof kNamedControls / sizeof kNamedControls[0]) << "two names share a value";
    DWORD size = 0;
    const unsigned char* data =
        findResource(RT_DIALOG, MAKEINTRESOURCEA(IDD_MAIN), MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), &size);
    ASSERT_NE(data, nullptr);
    std::multiset<int> used;
    for (const TemplateItem& item : readTemplate(data).items)
        if (item.id != IDC_STATIC) used.insert(item.id);
    for (int id : names) EXPECT_EQ(used.count(id), 1u) << id;
    EXPECT_EQ(used.size(), names.size()) << "a control has an identifier without a name";
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

TEST(Centring, HalvesAreTruncatedSeparately) {
    const WindowOrigin o = centredOrigin(1024, 768, 491, 301);
    EXPECT_EQ(o.x, 267);  // 512 - 245; (1024 - 491) / 2 would be 266
    EXPECT_EQ(o.y, 234);  // 384 - 150
}

TEST(Centring, WindowLargerThanTheScreenGetsNegativeCoordinates) {
    const WindowOrigin o = centredOrigin(640, 480, 1001, 699);
    EXPECT_EQ(o.x, -180);  // 320 - 500
    EXPECT_EQ(o.y, -109);  // 240 - 349
}

using MainWindowLayout = MainDialogTest;

std::string className(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    std::string upper = name;
    for (char& c : upper) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    return upper;
}

std::string windowText(HWND window) {
    char buffer[256] = {};
    GetWindowTextA(window, buffer, sizeof buffer);
    return buffer;
}

TEST_F(MainWindowLayout, ShowsItselfCentredOnThePrimaryScreen) {
    EXPECT_TRUE(IsWindowVisible(dialog));
    RECT r{};
    GetWindowRect(dialog, &r);
    const WindowOrigin want = centredOrigin(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                            r.right - r.left, r.bottom - r.top);
    EXPECT_EQ(r.left, want.x);
    EXPECT_EQ(r.top, want.y);
    char title[64] = {};
    GetWindowTextA(dialog, title, sizeof title);
    EXPECT_STREQ(title, "Kavrel Config");
    // The client area is the template's 321 x 160 dialog units in the template's font.
    RECT units{0, 0, 321, 160};
    MapDialogRect(dialog, &units);
    RECT client{};
    GetClientRect(dialog, &client);
    EXPECT_EQ(client.right, units.right);
    EXPECT_EQ(client.bottom, units.bottom);
}

TEST_F(MainWindowLayout, ControlsAreCreatedInTableOrderWhereTheTableSays) {
    HWND child = GetWindow(dialog, GW_CHILD);
    for (int i = 0; i < kControlCount; ++i, child = GetWindow(child, GW_HWNDNEXT)) {
        const Row& want = kTable[i];
        SCOPED_TRACE("control #" + std::to_string(i + 1) + " \"" + want.caption + "\" " + std::to_string(want.id));
        ASSERT_NE(child, nullptr) << "fewer controls than the table";
        EXPECT_EQ(GetDlgCtrlID(child) & 0xFFFF, want.id & 0xFFFF);
        EXPECT_EQ(className(child), want.className);
        if (want.id != IDC_PORT && want.id != IDC_STATUS_LINE && className(child) != "EDIT") {
            EXPECT_EQ(windowText(child), want.caption);
        }
        EXPECT_TRUE(IsWindowVisible(child));
        // The dialog manager converts the position and the size separately, as done here.
        RECT origin{want.x, want.y, 0, 0};
        RECT size{0, 0, want.cx, want.cy};
        MapDialogRect(dialog, &origin);
        MapDialogRect(dialog, &size);
        const RECT expected{origin.left, origin.top, origin.left + size.right, origin.top + size.bottom};
        RECT got{};
        GetWindowRect(child, &got);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&got), 2);
        EXPECT_EQ(got.left, expected.left);
        EXPECT_EQ(got.top, expected.top);
        EXPECT_EQ(got.right, expected.right);
        // A combo box's template height includes its drop-down list, which is not shown.
        if (want.id != IDC_PORT) {
            EXPECT_EQ(got.bottom, expected.bottom);
        }
    }
    EXPECT_EQ(child, nullptr) << "more controls than the table";
}

TEST_F(MainWindowLayout, TabVisitsTheTabStopsInCreationOrderSkippingDisabledOnes) {
    auto tabOrder = [&] {
        std::vector<int> ids;
        const HWND first = GetDlgItem(dialog, IDC_PORT);
        HWND at = first;
        do {
            // The system also stops at the checked button of a radio group, which is not a tab
            // stop of the template's.
            const int id = GetDlgCtrlID(at);
            if (id != IDC_WX200 && id != IDC_PEET) ids.push_back(id);
            at = GetNextDlgTabItem(dialog, at, FALSE);
        } while (at != nullptr && at != first && ids.size() < 100);
        return ids;
    };
    const std::vector<int> atStart = {1000, 1001, 1002, 1003, 1004, 1005, 2, 1089, 1090, 1091, 1092,
                                      1007, 1008, 1038, 1036, 1009, 1010, 1068, 1082};
    EXPECT_EQ(tabOrder(), atStart);

    configurator().settings.model = FaV1_4;
    updateEnables(dialog);
    const std::vector<int> allEnabled = {1000, 1001, 1002, 1003, 1004, 1005, 2, 1089, 1090, 1091, 1092, 1007,
                                         1008, 1038, 1036, 1009, 1010, 1068, 1082, 1028, 1029, 1030, 1031, 1084};
    EXPECT_EQ(tabOrder(), allEnabled);
}

}  // namespace
