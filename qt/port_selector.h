// The port selector: the serial ports this user can open (those 'kavrelcfg ports' lists, USB
// adapters first) after the ones named on the command line, or "No COM Ports Found". Its open list
// shows each port's name whole with what it is beside it. The list is made anew every time it
// opens, so an adapter plugged in since shows up. Its text is the port of every device command,
// whatever the user typed there. At start, with no port named, it selects the port last used
// where that is listed.
#pragma once

#include <QComboBox>

#include <string>
#include <vector>

class PortSelector : public QComboBox {
public:
    PortSelector(std::vector<std::string> namedPorts, QWidget* parent);
    // The port for a device command: at most 99 bytes, as the Windows program takes.
    std::string portName() const;
    // Keeps the port in the box as the one to select at the next start; for the window to call
    // when a device command starts.
    void rememberPort() const;
    // The ports of the list made anew, those named first; none when it shows "No COM Ports Found".
    std::vector<std::string> listedPorts();
    void selectPort(const std::string& name);
    void showPopup() override;

private:
    void refill();
    void describeCurrent();
    std::vector<std::string> namedPorts_;
    std::vector<std::string> listed_;  // as the last refill found them
};
