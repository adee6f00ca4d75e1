#include "ui/form_binding.h"

#include <cstdint>
#include <cstdlib>

#include "config/settings_table.h"
#include "config/station_address.h"
#include "config/tracker_settings.h"
#include "platform/format_text.h"
#include "ui/main_window.h"
#include "ui/resources/resource.h"

namespace {

// Working buffers; they live as long as the program.
char textBuffer[300];
char numberBuffer[100];
char frequencyBuffer[100];
char outputBuffer[kFormatTextSize];

const char* controlText(HWND dialog, int id, char* buffer, int size) {
    if (GetDlgItemTextA(dialog, id, buffer, size) == 0) buffer[0] = '\0';
    return buffer;
}

const char* readText(HWND dialog, int id) { return controlText(dialog, id, textBuffer, sizeof textBuffer); }

// atoi as the Windows runtime reads it; the caller keeps the bits its field has room for.
std::int32_t readWholeNumber(HWND dialog, int id) {
    return parseWholeNumber(controlText(dialog, id, numberBuffer, sizeof numberBuffer));
}

float readFrequency(HWND dialog) {
    // The program never changes the C locale, so the decimal mark is a point.
    return roundToSingle(std::atof(controlText(dialog, IDC_FREQUENCY, frequencyBuffer, sizeof frequencyBuffer)));
}

bool isChecked(HWND dialog, int id) { return SendDlgItemMessageA(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void showNumber(HWND dialog, int id, int value) {
    formatText(outputBuffer, "%d", value);
    SetDlgItemTextA(dialog, id, outputBuffer);
}

void showFrequency(HWND dialog, float mhz) { SetDlgItemTextA(dialog, IDC_FREQUENCY, formatFrequency(outputBuffer, mhz)); }

void showCheck(HWND dialog, int id, bool checked) {
    SendDlgItemMessageA(dialog, id, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void enable(HWND dialog, int id, bool enabled) { EnableWindow(GetDlgItem(dialog, id), enabled ? TRUE : FALSE); }

}  // namespace

// The form follows the settings table: each setting's control, in the table's order.
void readForm(HWND dialog) {
    TrackerSettings& s = mainConfigurator().settings;
    for (const SettingSpec& spec : kSettingSpecs) {
        switch (spec.kind) {
        case SettingKind::Text:
            storeText(s, spec, readText(dialog, spec.controlId));
            break;
        case SettingKind::Whole:
            storeWhole(s, spec, readWholeNumber(dialog, spec.controlId));
            break;
        case SettingKind::Frequency:
            s.frequencyMHz = readFrequency(dialog);
            break;
        case SettingKind::Switch:
            storeSwitch(s, spec, isChecked(dialog, spec.controlId));
            break;
        }
    }
}

void writeForm(HWND dialog) {
    const TrackerSettings& s = mainConfigurator().settings;
    for (const SettingSpec& spec : kSettingSpecs) {
        switch (spec.kind) {
        case SettingKind::Text:
            SetDlgItemTextA(dialog, spec.controlId, textValue(s, spec).c_str());
            break;
        case SettingKind::Whole:
            showNumber(dialog, spec.controlId, static_cast<int>(wholeValue(s, spec)));
            break;
        case SettingKind::Frequency:
            showFrequency(dialog, s.frequencyMHz);
            break;
        case SettingKind::Switch:
            showCheck(dialog, spec.controlId, switchValue(s, spec));
            break;
        }
    }
}

// Only the settings some generations lack are ever disabled.
void updateEnables(HWND dialog) {
    const std::int32_t model = mainConfigurator().settings.model;
    for (const SettingSpec& spec : kSettingSpecs)
        if (spec.carried != Carried::All) enable(dialog, spec.controlId, isCarried(spec.carried, model));
}
