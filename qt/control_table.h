// The main window's controls as data: the Windows dialog template (ui/resources/kavrel_config.rc)
// row by row, in its order, which is the creation order and the tab order. Rectangles are in
// dialog units; the window converts them with its font, as Windows does.
#pragma once

#include <cstdint>

enum class ControlClass : std::uint8_t { ComboBox, PushButton, GroupBox, Label, Edit, CheckBox, RadioButton };

// The few template styles the Qt window reproduces.
enum ControlStyle : unsigned {
    kPlain = 0,
    kRightAligned = 1,  // SS_RIGHT, or WS_EX_RIGHT on the status line
    kUppercase = 2,     // ES_UPPERCASE
    kDigitsOnly = 4,    // ES_NUMBER
};

struct ControlRow {
    int id;  // the template's identifier; -1 for the group boxes
    ControlClass kind;
    const char* caption;
    int x, y, width, height;
    unsigned style;
};

constexpr int kControlCount = 45;
extern const ControlRow kControlRows[kControlCount];

// The template's size in dialog units and its title.
constexpr int kDialogWidth = 321;
constexpr int kDialogHeight = 160;
constexpr char kDialogTitle[] = "Kavrel Config";
// IDCANCEL: "Quit" and the Esc key.
constexpr int kQuitId = 2;
