// The form (form/form_fields.h) on the window's widgets: edits as QLineEdit, switches as
// QAbstractButton, their text one byte per character (Latin-1).
#pragma once

#include <QHash>

#include <cstdint>
#include <vector>

#include "config/tracker_settings.h"
#include "form/form_fields.h"

class QWidget;

// The window's controls by their template identifier.
using Controls = QHash<int, QWidget*>;

// Controls to the settings' form fields; the generation (model) is left as it is.
void readForm(const Controls& controls, TrackerSettings& settings);
// The settings' form fields to the controls.
void writeForm(const Controls& controls, const TrackerSettings& settings);
// Enables the controls of the settings that the generation carries; no other control changes.
void updateEnables(const Controls& controls, std::int32_t model);
// The fields judged by the setting rules, for the generation (form/form_fields.h).
std::vector<FieldJudgement> judgeForm(const Controls& controls, std::int32_t model);
