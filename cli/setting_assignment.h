// --set NAME=VALUE: one setting given as text, converted as the dialog's form converts what is
// typed into the control of that setting.
#pragma once

#include <string>

struct TrackerSettings;

struct SettingAssignment {
    std::string name;
    std::string value;
};

// Splits NAME=VALUE and checks the name and, for a switch, the value. false with error set
// when the name is unknown, "=" is missing or a switch value is not true, false, 1 or 0.
bool parseSettingAssignment(const std::string& text, SettingAssignment& out, std::string& error);

// Stores an assignment that parseSettingAssignment accepted:
// - texts as given;
// - whole numbers through parseWholeNumber (atoi), cut to the field: calibration keeps all 32
//   bits, the 16-bit fields their low 16 bits, sendEvery its low 8 bits;
// - frequencyMHz through strtod in the C locale, rounded to single precision;
// - switches true/1 or false/0.
void applySettingAssignment(TrackerSettings& settings, const SettingAssignment& assignment);
