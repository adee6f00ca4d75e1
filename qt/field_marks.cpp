#include "qt/field_marks.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>

#include <cstddef>

#include "form/setting_controls.h"

namespace {

// The control and the label naming the setting's field.
QLineEdit* fieldOf(const Controls& controls, const SettingSpec& spec) {
    const ControlRow* row = settingControl(spec);
    return row != nullptr ? qobject_cast<QLineEdit*>(controls.value(row->id)) : nullptr;
}

QString fieldName(const SettingSpec& spec) {
    const ControlRow* label = fieldLabel(*settingControl(spec));
    return QString::fromLatin1(label->caption);
}

}  // namespace

FieldMarks::FieldMarks(const Controls& controls) : controls_(controls) {
    const QIcon warning = QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning);
    for (const SettingSpec& spec : kSettingSpecs) {
        QAction* sign = nullptr;
        const QString description = QString::fromStdString(fieldDescription(spec));
        if (QLineEdit* field = fieldOf(controls, spec)) {
            sign = field->addAction(warning, QLineEdit::TrailingPosition);
            sign->setText(QStringLiteral("Cannot be written"));  // the sign's name for screen readers
            sign->setVisible(false);
        } else if (const ControlRow* row = settingControl(spec)) {
            controls.value(row->id)->setToolTip(description);
            controls.value(row->id)->setAccessibleDescription(description);
        }
        signs_.push_back(sign);
    }
    update(FirmwareModel::None);
}

void FieldMarks::update(std::int32_t model) {
    judged_ = judgeForm(controls_, model);
    for (const FieldJudgement& judged : judged_) {
        const SettingSpec& spec = settingSpec(judged.setting);
        QAction* sign = signs_[static_cast<std::size_t>(judged.setting)];
        if (sign == nullptr) continue;
        const bool refused = judged.verdict == FieldVerdict::Refused;
        QString text = QString::fromStdString(fieldDescription(spec));
        if (judged.verdict != FieldVerdict::Holds)
            text = QString(refused ? "Cannot be written: %1\n%2" : "Note: %1\n%2").arg(QString::fromStdString(judged.why), text);
        QLineEdit* field = fieldOf(controls_, spec);
        if (field->toolTip() == text && sign->isVisible() == refused) continue;
        field->setToolTip(text);
        field->setAccessibleDescription(text);
        sign->setToolTip(text);
        sign->setVisible(refused);
    }
}

QString FieldMarks::remark(int controlId, bool withAllowed) const {
    for (const FieldJudgement& judged : judged_) {
        const ControlRow* row = settingControl(settingSpec(judged.setting));
        if (row == nullptr || row->id != controlId || judged.verdict == FieldVerdict::Holds) continue;
        const std::string allowed = withAllowed && !judged.allowed.empty() ? "; allowed: " + judged.allowed : "";
        return fieldName(settingSpec(judged.setting)) + ": " + QString::fromStdString(judged.why + allowed);
    }
    return {};
}

QStringList FieldMarks::refusals() const {
    QStringList refused;
    for (const FieldJudgement& judged : judged_)
        if (judged.verdict == FieldVerdict::Refused)
            refused << remark(settingControl(settingSpec(judged.setting))->id, true);
    return refused;
}

QWidget* FieldMarks::firstRefused() const {
    for (const FieldJudgement& judged : judged_)
        if (judged.verdict == FieldVerdict::Refused) return fieldOf(controls_, settingSpec(judged.setting));
    return nullptr;
}
