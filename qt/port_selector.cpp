#include "qt/port_selector.h"

#include <QFile>
#include <QLineEdit>
#include <QSettings>
#include <QStandardItemModel>
#include <QTreeView>

#include <algorithm>
#include <utility>

#include "link/port_listing.h"

namespace {

constexpr int kPortNameLimit = 99;
constexpr int kNameColumn = 0;
constexpr int kDescriptionColumn = 1;
constexpr int kColumnGap = 16;

// The window's settings, which keep the port last used between starts.
QSettings windowSettings() { return QSettings(QStringLiteral("Kavrel"), QStringLiteral("kavrel-config")); }
const char* const kLastPortKey = "ports/last";

// The ports this user may open, found without opening any: an open would set the line of a
// serial console or another program's device.
std::vector<PortEntry> usablePorts(const std::vector<std::string>& named) {
    const std::vector<PortEntry> listed = listPorts();
    std::vector<PortEntry> ports;
    for (const std::string& name : named) ports.push_back(describedPort(listed, name));
    for (const PortEntry& port : listed) {
        const bool taken = std::any_of(ports.begin(), ports.end(), [&port](const PortEntry& p) { return p.name == port.name; });
        if (!taken && portState(port.name).access == PortAccess::Usable) ports.push_back(port);
    }
    return ports;
}

}  // namespace

PortSelector::PortSelector(std::vector<std::string> namedPorts, QWidget* parent)
    : QComboBox(parent), namedPorts_(std::move(namedPorts)) {
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    // The open list is a table of two columns, the name and what the port is; the box shows and
    // gives the name alone. Its size hint, taken when it is first shown, is as wide as the
    // longest name; the window places it.
    auto* list = new QTreeView(this);
    list->setHeaderHidden(true);
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setAllColumnsShowFocus(true);
    setView(list);
    setModelColumn(kNameColumn);
    // The template gives the box no label. Assistive tools read a combo box's name from its
    // line edit, so both carry it.
    setAccessibleName(QStringLiteral("Serial port"));
    lineEdit()->setAccessibleName(accessibleName());
    connect(this, &QComboBox::currentTextChanged, this, [this] { describeCurrent(); });
    refill();
    const int last = namedPorts_.empty() ? findText(windowSettings().value(kLastPortKey).toString()) : -1;
    setCurrentIndex(std::max(last, 0));
}

void PortSelector::refill() {
    const QString typed = currentText();
    clear();
    auto* items = qobject_cast<QStandardItemModel*>(model());
    listed_.clear();
    for (const PortEntry& port : usablePorts(namedPorts_)) {
        listed_.push_back(port.name);
        auto* description = new QStandardItem(QString::fromUtf8(port.description.c_str()));
        if (!port.byId.empty()) description->setToolTip(QFile::decodeName(port.byId.c_str()));
        items->appendRow({new QStandardItem(QFile::decodeName(port.name.c_str())), description});
    }
    if (count() == 0) addItem(QStringLiteral("No COM Ports Found"));
    items->setHorizontalHeaderLabels({QStringLiteral("Port"), QStringLiteral("Description")});  // named for screen readers
    // The open list is as wide as its two columns, however narrow the box.
    auto* list = static_cast<QTreeView*>(view());
    list->resizeColumnToContents(kNameColumn);
    list->setColumnWidth(kNameColumn, list->columnWidth(kNameColumn) + kColumnGap);
    list->setMinimumWidth(list->columnWidth(kNameColumn) + view()->sizeHintForColumn(kDescriptionColumn) + 2 * list->frameWidth());
    const int index = findText(typed);
    if (index >= 0)
        setCurrentIndex(index);
    else
        setEditText(typed);
}

// The box may be narrower than a device path: its tip names the port whole, with what it is.
void PortSelector::describeCurrent() {
    const QString description = model()->index(findText(currentText()), kDescriptionColumn).data().toString();
    setToolTip(description.isEmpty() ? currentText() : currentText() + QStringLiteral("\n") + description);
}

void PortSelector::showPopup() {
    refill();
    QComboBox::showPopup();
}

std::string PortSelector::portName() const { return QFile::encodeName(currentText()).left(kPortNameLimit).toStdString(); }

void PortSelector::rememberPort() const { windowSettings().setValue(kLastPortKey, currentText()); }

std::vector<std::string> PortSelector::listedPorts() {
    refill();
    return listed_;
}

void PortSelector::selectPort(const std::string& name) {
    const QString port = QFile::decodeName(name.c_str());
    const int index = findText(port);
    if (index >= 0)
        setCurrentIndex(index);
    else
        setEditText(port);
}
