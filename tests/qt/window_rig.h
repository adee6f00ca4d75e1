// The window on a simulated tracker, and what a test does with it: type, click, answer the modal
// windows, wait for the commands to end, and time the window's own thread meanwhile.
#pragma once

#include <QElapsedTimer>
#include <QMessageBox>
#include <QTimer>

#include <deque>
#include <functional>
#include <vector>

#include "config/settings_table.h"
#include "qt/main_window.h"
#include "simulated_tracker.h"

void type(MainWindow& window, int id, const QString& text);  // replaces the field's text
QString textOf(const MainWindow& window, int id);
void click(MainWindow& window, int id);
// Until every command has been handled and no transfer runs.
bool waitIdle(const MainWindow& window, int milliseconds = 30000);
// One form field, or all of them, agree.
bool sameSetting(const TrackerSettings& a, const TrackerSettings& b, const SettingSpec& spec);
bool sameForm(const TrackerSettings& a, const TrackerSettings& b);

struct Rig {
    explicit Rig(const TrackerOptions& options) : tracker(options), window({tracker.path()}) {}
    SimulatedTracker tracker;
    MainWindow window;
};

// Hands every modal window that opens while it lives (boxes, file dialogs) to answer.
class ModalAnswers {
public:
    explicit ModalAnswers(std::function<void(QWidget*)> answer);

private:
    QTimer timer_;
};

struct Box {
    QString caption, text;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton preset;
};
// Records each box and presses the next answer (Cancel once they run out).
std::function<void(QWidget*)> boxAnswers(std::vector<Box>& seen, std::deque<QMessageBox::StandardButton> answers);

// The longest the window's thread went without serving a 10 ms timer, while started.
class GapProbe {
public:
    GapProbe();
    void start();
    void stop();
    qint64 longest() const { return longest_; }

private:
    void note() { longest_ = std::max(longest_, clock_.restart()); }
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 longest_ = 0;
};
