// The configurator window on Qt 6 Widgets: the Windows dialog's controls, made from the template's
// control table (form/dialog_template.h), with its commands and status line, over a TrackerSession
// on a thread of its own.
#pragma once

#include <QDialog>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "qt/field_marks.h"
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
    void createMenus();
    void createControls(const std::vector<std::string>& namedPorts);
    QWidget* createControl(const ControlRow& row, const std::vector<std::string>& namedPorts);
    void run(const ButtonCommand& button);
    void restoreBackup();
    void findTracker();
    void showForm(const TrackerSettings& settings);
    void selectMode(int clicked, int other);
    void showState(const SessionState& state);
    // The fields judged anew; an edited field's remark goes to the status line.
    void markFields(QWidget* edited);
    void showStatus(const QString& text);
    // false, with the fields named, when the tracker cannot hold some of them.
    bool formCanBeWritten();

    QWidget* form_ = nullptr;  // the template's controls, below the menu bar
    Controls controls_;
    PortSelector* ports_ = nullptr;
    QLabel* statusLine_ = nullptr;
    std::unique_ptr<FieldMarks> marks_;
    SessionState state_;
    std::uint64_t posted_ = 0;
    WindowPrompts prompts_;
    // Last, so that it ends first: its thread still shows prompts and states on this window.
    std::unique_ptr<SessionThread> session_;
};
