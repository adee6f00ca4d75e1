// Moves values between the window's controls and a TrackerSettings, control by control as the
// settings table lists them, converting as the Windows form does: text one byte per character,
// whole numbers as atoi reads them cut to their field, the frequency as atof reads it in the C
// locale; "%d" and "%3.3f" on the way back. The form is not bound live.
#pragma once

#include <QHash>

#include <cstdint>

#include "config/tracker_settings.h"

class QWidget;

// The window's controls by their template identifier.
using Controls = QHash<int, QWidget*>;

// Controls to the settings' form fields; the generation (model) is left as it is.
void readForm(const Controls& controls, TrackerSettings& settings);
// The settings' form fields to the controls.
void writeForm(const Controls& controls, const TrackerSettings& settings);
// Enables the controls of the settings that the generation carries; no other control changes.
void updateEnables(const Controls& controls, std::int32_t model);
