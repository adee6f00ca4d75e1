// The form, written once for both windows: moves values between a window's controls and a
// TrackerSettings, setting by setting as the settings table lists them, and enables the controls
// of the settings a firmware generation carries. The form is not bound live: the settings change
// only when readFields runs. Its conversions are the Windows program's, lenient:
//   text       one byte per character, cut to 299 characters;
//   numbers    as atoi reads them, cut to 99 characters, then to their field's width (storeWhole);
//   frequency  as atof reads it in the C locale (cut to 99 characters), rounded to single precision;
// and back: "%d" for numbers, "%3.3f" for the frequency (formatFrequency).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "config/settings_table.h"
#include "config/tracker_settings.h"

// How a window reads and sets its controls, by template identifier; context is the window's own
// (its dialog, its table of widgets), handed to each call.
struct ControlAccess {
    const void* context;
    // The control's text, one byte per character, into buffer: at most size - 1 characters and the NUL.
    void (*getText)(const void* context, int id, char* buffer, int size);
    void (*setText)(const void* context, int id, const char* text);
    bool (*isChecked)(const void* context, int id);
    void (*setChecked)(const void* context, int id, bool checked);
    void (*setEnabled)(const void* context, int id, bool enabled);
};

// Controls to the settings' form fields; the generation (model) is left as it is.
void readFields(const ControlAccess& controls, TrackerSettings& settings);
// The settings' form fields to the controls.
void writeFields(const ControlAccess& controls, const TrackerSettings& settings);
// Enables or disables the controls of the settings some generations lack, as model carries them;
// no other control changes.
void enableFields(const ControlAccess& controls, std::int32_t model);

// The strict reading of the form, for a window not bound by the lenient conversions: each field a
// generation carries judged by the setting rules kavrelcfg uses. A field either holds its value as
// typed, or the tracker stores it otherwise (a number rounded to the tracker's step, a callsign in
// the form the image gives it back), or the tracker cannot hold it at all.
enum class FieldVerdict : std::uint8_t { Holds, StoredOtherwise, Refused };
struct FieldJudgement {
    SettingId setting;
    FieldVerdict verdict;
    std::string why;      // "'70000' is out of range"; "" when it holds
    std::string allowed;  // what the setting allows, when it is refused: "0 to 65535 s"
};
// One judgement per setting, in the table's order; a setting the generation does not carry holds
// whatever its field shows.
std::vector<FieldJudgement> judgeFields(const ControlAccess& controls, std::int32_t model);

// What a field's setting does, the values it takes and the generations that carry it, for tooltips
// and screen readers.
std::string fieldDescription(const SettingSpec& spec);
