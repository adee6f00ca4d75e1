#include "form/setting_controls.h"

namespace {

bool isSmall(char c) { return c >= 'a' && c <= 'z'; }
bool isCapital(char c) { return c >= 'A' && c <= 'Z'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::string settingControlName(const SettingSpec& spec) {
    std::string name = "IDC_";
    char previous = '\0';
    for (const char* c = spec.name; *c != '\0'; previous = *c++) {
        if (isCapital(*c) && (isSmall(previous) || isDigit(previous))) name += '_';
        name += isSmall(*c) ? static_cast<char>(*c - 'a' + 'A') : *c;
    }
    return name;
}

namespace {

const ControlRow* rowNamed(const std::string& name) {
    for (const ControlRow& row : kMainDialog)
        if (name == row.name) return &row;
    return nullptr;
}

}  // namespace

const ControlRow* settingControl(const SettingSpec& spec) { return rowNamed(settingControlName(spec)); }

const ControlRow* fieldLabel(const ControlRow& field) { return rowNamed(std::string(field.name) + "_LABEL"); }
