// The configurator window on Qt 6 Widgets: the Windows dialog's controls, made from the template's
// control table (form/dialog_template.h), with its commands and status line, over a TrackerSession
// on a thread of its own.
#pragma once

#include <QDialog>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "qt/form_binding.h"
#include "qt/tracker_session.h"
#include "qt/window_prompts.h"

class QLabel;
class PortSelector;
struct ButtonCommand;
struct ControlRow;

class MainWindow : public QDialog {
    Q_OBJECT
public:
    // namedPorts: devices named on the command line, listed first; the first entry is selected.
    explicit MainWindow(const std::vector<std::string>& namedPorts, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The control with this template identifier (group boxes have none).
    QWidget* control(int id) const { return controls_.value(id); }
    const Controls& controls() const { return controls_; }
    const SessionState& state() const { return state_; }
    // Every command handled and no transfer running.
    bool idle() const { return state_.handled == posted_ && !state_.transferRunning; }

private:
    void createControls(const std::vector<std::string>& namedPorts);
    QWidget* createControl(const ControlRow& row, const std::vector<std::string>& namedPorts);
    void run(const ButtonCommand& button);
    void selectMode(int clicked, int other);
    void showState(const SessionState& state);

    Controls controls_;
    PortSelector* ports_ = nullptr;
    QLabel* statusLine_ = nullptr;
    SessionState state_;
    std::uint64_t posted_ = 0;
    WindowPrompts prompts_;
    // Last, so that it ends first: its thread still shows prompts and states on this window.
    std::unique_ptr<SessionThread> session_;
};
