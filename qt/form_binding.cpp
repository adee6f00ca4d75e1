#include "qt/form_binding.h"

#include <QAbstractButton>
#include <QByteArray>
#include <QLineEdit>

#include <cstdlib>
#include <string>

#include "config/settings_table.h"
#include "config/station_address.h"
#include "platform/format_text.h"

namespace {

// The Windows form's buffers: 299 characters of text, 99 of a number.
constexpr int kTextLimit = 299;
constexpr int kNumberLimit = 99;

QLineEdit* edit(const Controls& controls, int id) { return qobject_cast<QLineEdit*>(controls.value(id)); }
QAbstractButton* button(const Controls& controls, int id) { return qobject_cast<QAbstractButton*>(controls.value(id)); }

// The tracker keeps 8-bit text: one byte per character, as the Windows program's "A" calls have it.
std::string controlText(const Controls& controls, int id, int limit) {
    return edit(controls, id)->text().toLatin1().left(limit).toStdString();
}

void showText(const Controls& controls, int id, const char* text) { edit(controls, id)->setText(QString::fromLatin1(text)); }

void showFrequency(const Controls& controls, int id, float mhz) {
    char buffer[kFormatTextSize];
    showText(controls, id, formatFrequency(buffer, mhz));
}

}  // namespace

void readForm(const Controls& controls, TrackerSettings& s) {
    for (const SettingSpec& spec : kSettingSpecs) {
        switch (spec.kind) {
        case SettingKind::Text:
            storeText(s, spec, controlText(controls, spec.controlId, kTextLimit));
            break;
        case SettingKind::Whole:
            storeWhole(s, spec, parseWholeNumber(controlText(controls, spec.controlId, kNumberLimit).c_str()));
            break;
        case SettingKind::Frequency:
            // The program keeps LC_NUMERIC at "C", so the decimal mark is a point.
            s.frequencyMHz = roundToSingle(std::atof(controlText(controls, spec.controlId, kNumberLimit).c_str()));
            break;
        case SettingKind::Switch:
            storeSwitch(s, spec, button(controls, spec.controlId)->isChecked());
            break;
        }
    }
}

void writeForm(const Controls& controls, const TrackerSettings& s) {
    char number[kFormatTextSize];
    for (const SettingSpec& spec : kSettingSpecs) {
        switch (spec.kind) {
        case SettingKind::Text:
            showText(controls, spec.controlId, textValue(s, spec).c_str());
            break;
        case SettingKind::Whole:
            formatText(number, "%d", static_cast<int>(wholeValue(s, spec)));
            showText(controls, spec.controlId, number);
            break;
        case SettingKind::Frequency:
            showFrequency(controls, spec.controlId, s.frequencyMHz);
            break;
        case SettingKind::Switch:
            button(controls, spec.controlId)->setChecked(switchValue(s, spec));
            break;
        }
    }
}

void updateEnables(const Controls& controls, std::int32_t model) {
    for (const SettingSpec& spec : kSettingSpecs)
        if (spec.carried != Carried::All) controls.value(spec.controlId)->setEnabled(isCarried(spec.carried, model));
}
