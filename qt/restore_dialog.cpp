#include "qt/restore_dialog.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <vector>

namespace {

QString generationText(std::int32_t model) {
    return model == FirmwareModel::None ? QStringLiteral("unknown") : QString::number(model);
}

}  // namespace

bool chooseBackup(QWidget* parent, Backup& chosen) {
    std::string error;
    const std::vector<Backup> backups = listBackups(error);
    if (backups.empty()) {
        const QString why = error.empty() ? QStringLiteral("No backup has been made yet: one is saved before every write, "
                                                           "by this window and by kavrelcfg.")
                                          : "The backups cannot be listed: " + QString::fromStdString(error);
        QMessageBox::information(parent, QStringLiteral("Restore backup"), why);
        return false;
    }
    QDialog dialog(parent);
    dialog.setWindowTitle(QStringLiteral("Restore backup"));
    auto* layout = new QVBoxLayout(&dialog);
    auto* heading = new QLabel(QStringLiteral("&Backups of what the tracker held before each write, newest first:"), &dialog);
    auto* list = new QTreeWidget(&dialog);
    heading->setBuddy(list);
    list->setAccessibleName(QStringLiteral("Backups"));
    list->setRootIsDecorated(false);
    list->setHeaderLabels({QStringLiteral("Time"), QStringLiteral("Callsign"), QStringLiteral("Generation"), QStringLiteral("File")});
    for (const Backup& backup : backups)
        list->addTopLevelItem(new QTreeWidgetItem({QString::fromStdString(backup.time), QString::fromLatin1(backup.callsign.c_str()),
                                                   generationText(backup.model),
                                                   QFileInfo(QFile::decodeName(backup.path.c_str())).fileName()}));
    list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    list->setCurrentItem(list->topLevelItem(0));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, &dialog);
    buttons->addButton(QStringLiteral("&Restore…"), QDialogButtonBox::AcceptRole);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(list, &QTreeWidget::itemActivated, &dialog, &QDialog::accept);
    layout->addWidget(heading);
    layout->addWidget(list);
    layout->addWidget(new QLabel(QStringLiteral("The tracker is read first and what would change is shown before anything is written."), &dialog));
    layout->addWidget(buttons);
    dialog.resize(560, 320);
    if (dialog.exec() != QDialog::Accepted || list->currentItem() == nullptr) return false;
    chosen = backups[static_cast<std::size_t>(list->indexOfTopLevelItem(list->currentItem()))];
    return true;
}
