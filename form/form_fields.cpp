#include "form/form_fields.h"

#include <cstdlib>

#include "config/config_image.h"
#include "config/setting_rules.h"
#include "config/settings_table.h"
#include "config/station_address.h"
#include "form/setting_controls.h"
#include "platform/format_text.h"

namespace {

// The Windows program's buffers: 299 characters of text, 99 of a number.
constexpr int kTextSize = 300;
constexpr int kNumberSize = 100;

// Calls field(spec, control identifier) for each setting, in the table's order.
template <typename Field>
void forEachField(Field field) {
    for (const SettingSpec& spec : kSettingSpecs)
        if (const ControlRow* control = settingControl(spec)) field(spec, control->id);
}

// The control's text as the Windows program's buffer of that size holds it.
const char* controlText(const ControlAccess& controls, int id, char (&buffer)[kTextSize], int size) {
    controls.getText(controls.context, id, buffer, size);
    return buffer;
}

}  // namespace

void readFields(const ControlAccess& controls, TrackerSettings& s) {
    char text[kTextSize];
    forEachField([&](const SettingSpec& spec, int id) {
        switch (spec.kind) {
        case SettingKind::Text:
            storeText(s, spec, controlText(controls, id, text, kTextSize));
            break;
        case SettingKind::Whole:
            storeWhole(s, spec, parseWholeNumber(controlText(controls, id, text, kNumberSize)));
            break;
        case SettingKind::Frequency:
            // Both programs keep LC_NUMERIC at "C", so the decimal mark is a point.
            s.frequencyMHz = roundToSingle(std::atof(controlText(controls, id, text, kNumberSize)));
            break;
        case SettingKind::Switch:
            storeSwitch(s, spec, controls.isChecked(controls.context, id));
            break;
        }
    });
}

void writeFields(const ControlAccess& controls, const TrackerSettings& s) {
    char number[kFormatTextSize];
    forEachField([&](const SettingSpec& spec, int id) {
        switch (spec.kind) {
        case SettingKind::Text:
            controls.setText(controls.context, id, textValue(s, spec).c_str());
            break;
        case SettingKind::Whole:
            formatText(number, "%d", static_cast<int>(wholeValue(s, spec)));
            controls.setText(controls.context, id, number);
            break;
        case SettingKind::Frequency:
            controls.setText(controls.context, id, formatFrequency(number, s.frequencyMHz));
            break;
        case SettingKind::Switch:
            controls.setChecked(controls.context, id, switchValue(s, spec));
            break;
        }
    });
}

void enableFields(const ControlAccess& controls, std::int32_t model) {
    forEachField([&](const SettingSpec& spec, int id) {
        if (spec.carried != Carried::All) controls.setEnabled(controls.context, id, isCarried(spec.carried, model));
    });
}

std::vector<FieldJudgement> judgeFields(const ControlAccess& controls, std::int32_t model) {
    std::vector<FieldJudgement> judged;
    for (const SettingSpec& spec : kSettingSpecs) judged.push_back({spec.id, FieldVerdict::Holds, {}, {}});
    auto judgementOf = [&judged](SettingId id) -> FieldJudgement& { return judged[static_cast<std::size_t>(id)]; };
    TrackerSettings strict;
    strict.model = model;
    std::vector<std::string> typed(kSettingCount);
    char text[kTextSize];
    forEachField([&](const SettingSpec& spec, int id) {
        if (!isCarried(spec.carried, model)) return;
        if (spec.kind == SettingKind::Switch) {
            storeSwitch(strict, spec, controls.isChecked(controls.context, id));
            return;
        }
        typed[static_cast<std::size_t>(spec.id)] = controlText(controls, id, text, kTextSize);
        std::string why;
        if (!parseStrictValue(spec, typed[static_cast<std::size_t>(spec.id)], strict, why))
            judgementOf(spec.id) = {spec.id, FieldVerdict::Refused, why, allowedValues(spec)};
    });
    for (const FitProblem& problem : checkFit(strict))
        if (judgementOf(problem.setting).verdict == FieldVerdict::Holds)
            judgementOf(problem.setting) = {problem.setting, FieldVerdict::Refused, problem.why, {}};
    // What the tracker would give back of the values that pass, said where it is not what was typed.
    const TrackerSettings stored = storedSettings(strict);
    for (FieldJudgement& j : judged) {
        const SettingSpec& spec = settingSpec(j.setting);
        if (j.verdict != FieldVerdict::Holds || spec.kind == SettingKind::Switch || !isCarried(spec.carried, model)) continue;
        const bool same = spec.kind == SettingKind::Text ? textValue(stored, spec) == typed[static_cast<std::size_t>(j.setting)]
                                                         : sameSetting(spec, stored, strict);
        if (same) continue;
        const char* step = storageStep(spec);
        j = {j.setting, FieldVerdict::StoredOtherwise,
             "stored as " + valueText(stored, spec) +
                 (*step != 0 ? std::string(" (the tracker holds it in steps of ") + step + ")" : ""),
             {}};
    }
    return judged;
}

std::string fieldDescription(const SettingSpec& spec) {
    std::string text = std::string(spec.does) + ".";
    if (spec.kind != SettingKind::Switch) text += "\nAllowed: " + allowedValues(spec) + ".";
    if (spec.carried != Carried::All) text += std::string("\nCarried by ") + carryingGenerations(spec.carried) + ".";
    return text;
}
