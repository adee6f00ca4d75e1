// The main window's controls as data, made at build time from the dialog template
// (form/main_dialog.rc) by form/dialog_rows.cmake: the template's rows in its order, which is
// the creation order and the tab order. Rectangles are in dialog units; a window converts them
// with its font, as Windows does.
#pragma once

#include <cstddef>
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
    int id;            // the template's identifier; IDC_STATIC (-1) for the group boxes
    const char* name;  // the identifier's name in form/control_ids.h, "IDC_STATIC" for the group boxes
    ControlClass kind;
    const char* caption;
    int x, y, width, height;
    unsigned style;
};

struct DialogTemplate {
    const char* title;
    int width, height;  // dialog units
    const ControlRow* rows;
    std::size_t rowCount;

    const ControlRow* begin() const { return rows; }
    const ControlRow* end() const { return rows + rowCount; }
};

// The template IDD_MAIN.
extern const DialogTemplate kMainDialog;
