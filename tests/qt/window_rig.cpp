#include "window_rig.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <algorithm>

void type(MainWindow& window, int id, const QString& text) {
    auto* edit = qobject_cast<QLineEdit*>(window.control(id));
    edit->clear();
    QTest::keyClicks(edit, text);
}

QString textOf(const MainWindow& window, int id) { return qobject_cast<QLineEdit*>(window.control(id))->text(); }

void click(MainWindow& window, int id) { QTest::mouseClick(qobject_cast<QAbstractButton*>(window.control(id)), Qt::LeftButton); }

bool waitIdle(const MainWindow& window, int milliseconds) {
    return QTest::qWaitFor([&window] { return window.idle(); }, milliseconds);
}

bool sameSetting(const TrackerSettings& a, const TrackerSettings& b, const SettingSpec& spec) {
    if (spec.kind == SettingKind::Frequency) return a.frequencyMHz == b.frequencyMHz;
    return textValue(a, spec) == textValue(b, spec) && wholeValue(a, spec) == wholeValue(b, spec) &&
           switchValue(a, spec) == switchValue(b, spec);
}

bool sameForm(const TrackerSettings& a, const TrackerSettings& b) {
    return std::all_of(std::begin(kSettingSpecs), std::end(kSettingSpecs),
                       [&](const SettingSpec& spec) { return sameSetting(a, b, spec); });
}

ModalAnswers::ModalAnswers(std::function<void(QWidget*)> answer) {
    timer_.setInterval(10);
    QObject::connect(&timer_, &QTimer::timeout, [answer] {
        if (QWidget* modal = QApplication::activeModalWidget()) answer(modal);
    });
    timer_.start();
}

std::function<void(QWidget*)> boxAnswers(std::vector<Box>& seen, std::deque<QMessageBox::StandardButton> answers) {
    return [&seen, answers](QWidget* modal) mutable {
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (box == nullptr) return;
        seen.push_back({box->windowTitle(), box->text(), box->standardButtons(), box->standardButton(box->defaultButton())});
        const auto answer = answers.empty() ? QMessageBox::Cancel : answers.front();
        if (!answers.empty()) answers.pop_front();
        if (QAbstractButton* button = box->button(answer)) button->click(); else box->done(QMessageBox::Cancel);
    };
}

GapProbe::GapProbe() {
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(10);
    QObject::connect(&timer_, &QTimer::timeout, [this] { note(); });
}

void GapProbe::start() {
    clock_.start();
    timer_.start();
}

void GapProbe::stop() {
    note();
    timer_.stop();
}
