#include "qt/form_binding.h"

#include <QAbstractButton>
#include <QByteArray>
#include <QLineEdit>

#include <cstddef>


namespace {

const Controls& controlsOf(const void* context) { return *static_cast<const Controls*>(context); }
QLineEdit* edit(const void* context, int id) { return qobject_cast<QLineEdit*>(controlsOf(context).value(id)); }
QAbstractButton* button(const void* context, int id) { return qobject_cast<QAbstractButton*>(controlsOf(context).value(id)); }

// The tracker keeps 8-bit text: one byte per character, as the Windows program's "A" calls have it.
void getText(const void* context, int id, char* buffer, int size) {
    qstrncpy(buffer, edit(context, id)->text().toLatin1().constData(), static_cast<std::size_t>(size));
}

void setText(const void* context, int id, const char* text) { edit(context, id)->setText(QString::fromLatin1(text)); }
bool isChecked(const void* context, int id) { return button(context, id)->isChecked(); }
// The mode buttons are exclusive to the user, yet an image may hold both modes or neither, and the
// form shows what it holds.
void setChecked(const void* context, int id, bool checked) {
    QAbstractButton* shown = button(context, id);
    const bool exclusive = shown->autoExclusive();
    shown->setAutoExclusive(false);
    shown->setChecked(checked);
    shown->setAutoExclusive(exclusive);
}
void setEnabled(const void* context, int id, bool enabled) { controlsOf(context).value(id)->setEnabled(enabled); }

ControlAccess access(const Controls& controls) { return {&controls, getText, setText, isChecked, setChecked, setEnabled}; }

}  // namespace

void readForm(const Controls& controls, TrackerSettings& settings) { readFields(access(controls), settings); }
void writeForm(const Controls& controls, const TrackerSettings& settings) { writeFields(access(controls), settings); }
void updateEnables(const Controls& controls, std::int32_t model) { enableFields(access(controls), model); }
std::vector<FieldJudgement> judgeForm(const Controls& controls, std::int32_t model) {
    return judgeFields(access(controls), model);
}
