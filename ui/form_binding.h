// The form (form/form_fields.h) on the main dialog's controls, through the "A" calls: edits by
// their window text, switches by their check state.
#pragma once

#include <windows.h>

#include <cstdint>

struct TrackerSettings;

// Controls to the settings' form fields; the generation (model) is left as it is.
void readForm(HWND dialog, TrackerSettings& settings);
// The settings' form fields to the controls.
void writeForm(HWND dialog, const TrackerSettings& settings);
// Enables "Invert CD", "Send with Weather" and "Allow TTL Serial" from generation 2, "TX Twist"
// from 3, and "Frequency" for generation 4 only.
void updateEnables(HWND dialog, std::int32_t model);
