#include "qt/file_dialogs.h"

#include <QFile>
#include <QFileDialog>

namespace {

std::string runDialog(QWidget* parent, QFileDialog::AcceptMode mode, const QString& suggested) {
    QFileDialog dialog(parent, QString(), QString(), QStringLiteral("KavrelConfig Files (*.kvr)"));
    dialog.setAcceptMode(mode);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("kvr"));
    if (!suggested.isEmpty()) dialog.selectFile(suggested);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return QFile::encodeName(dialog.selectedFiles().constFirst()).toStdString();
}

}  // namespace

std::string chooseFileToSave(QWidget* parent) {
    return runDialog(parent, QFileDialog::AcceptSave, QStringLiteral("config1.kvr"));
}

std::string chooseFileToLoad(QWidget* parent) { return runDialog(parent, QFileDialog::AcceptOpen, QString()); }
