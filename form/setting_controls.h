// Which control of the dialog template holds each setting: the one named IDC_ and the setting's
// table name in upper snake case (autoTxDelayMs: IDC_AUTO_TX_DELAY_MS). A new setting is then its
// row in the settings table and its control in the template, and nothing else.
#pragma once

#include <string>

#include "config/settings_table.h"
#include "form/dialog_template.h"

// "IDC_" and the name in upper case, a word starting at each capital that follows a small letter
// or a digit: frequencyMHz gives IDC_FREQUENCY_MHZ, wx200Mode IDC_WX200_MODE.
std::string settingControlName(const SettingSpec& spec);

// The setting's control in kMainDialog; nullptr when the template has none of that name.
const ControlRow* settingControl(const SettingSpec& spec);

// The text that names a field: the template's row named like the field with "_LABEL" after it
// (IDC_CALLSIGN_LABEL for IDC_CALLSIGN); nullptr when the template has none.
const ControlRow* fieldLabel(const ControlRow& field);
