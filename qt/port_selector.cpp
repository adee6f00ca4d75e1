#include "qt/port_selector.h"

#include <QAbstractItemView>
#include <QFile>
#include <QLineEdit>

#include <algorithm>
#include <utility>

#include "link/port_listing.h"

namespace {

constexpr int kPortNameLimit = 99;

// The ports this user may open, found without opening any: an open would set the line of a
// serial console or another program's device.
std::vector<std::string> usablePorts(const std::vector<std::string>& named) {
    std::vector<std::string> names = named;
    for (const PortEntry& port : listPorts())
        if (std::find(names.begin(), names.end(), port.name) == names.end() && portState(port.name).access == PortAccess::Usable)
            names.push_back(port.name);
    return names;
}

}  // namespace

PortSelector::PortSelector(std::vector<std::string> namedPorts, QWidget* parent)
    : QComboBox(parent), namedPorts_(std::move(namedPorts)) {
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    // The template gives the box no label. Assistive tools read a combo box's name from its
    // line edit, so both carry it.
    setAccessibleName(QStringLiteral("Serial port"));
    lineEdit()->setAccessibleName(accessibleName());
    refill();
    setCurrentIndex(0);
}

void PortSelector::refill() {
    const QString typed = currentText();
    clear();
    for (const std::string& name : usablePorts(namedPorts_)) addItem(QFile::decodeName(name.c_str()));
    if (count() == 0) addItem(QStringLiteral("No COM Ports Found"));
    // Device paths are longer than COM names: the open list is as wide as they are.
    view()->setMinimumWidth(view()->sizeHintForColumn(0) + 2 * view()->frameWidth());
    const int index = findText(typed);
    if (index >= 0)
        setCurrentIndex(index);
    else
        setEditText(typed);
}

void PortSelector::showPopup() {
    refill();
    QComboBox::showPopup();
}

std::string PortSelector::portName() const { return QFile::encodeName(currentText()).left(kPortNameLimit).toStdString(); }
