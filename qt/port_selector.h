// The port selector: the serial ports this user can open (those 'kavrelcfg ports' lists) after the
// ones named on the command line, or "No COM Ports Found". The list is made anew every time it
// opens, so an adapter plugged in since shows up. Its text is the port of every device command,
// whatever the user typed there.
#pragma once

#include <QComboBox>

#include <string>
#include <vector>

class PortSelector : public QComboBox {
public:
    PortSelector(std::vector<std::string> namedPorts, QWidget* parent);
    // The port for a device command: at most 99 bytes, as the Windows program takes.
    std::string portName() const;
    void showPopup() override;

private:
    void refill();
    std::vector<std::string> namedPorts_;
};
