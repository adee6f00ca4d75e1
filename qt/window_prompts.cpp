#include "qt/window_prompts.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QThread>
#include <QWidget>

#include <chrono>
#include <thread>

namespace {

// Windows' MessageBoxA with MB_OK, or MB_OKCANCEL | MB_DEFBUTTON2: no icon, Esc cancels.
QMessageBox::StandardButton showBox(QWidget* owner, const char* caption, const char* text,
                                    QMessageBox::StandardButtons buttons, QMessageBox::StandardButton preset) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromLatin1(caption), QString::fromLatin1(text), buttons, owner);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(preset);
    box.setEscapeButton(preset);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

}  // namespace

WindowPrompts::WindowPrompts(QWidget* owner) : owner_(owner), prompts_{this, notice, confirm, pause} {}

template <typename Ask>
void WindowPrompts::onWindowThread(Ask ask) {
    if (closing_) return;
    if (QThread::currentThread() == thread()) {
        ask();
        return;
    }
    QMetaObject::invokeMethod(
        this, [this, &ask] { if (!closing_) ask(); }, Qt::BlockingQueuedConnection);
}

void WindowPrompts::releaseWaiting() { QCoreApplication::sendPostedEvents(this, QEvent::MetaCall); }

void WindowPrompts::notice(void* context, const char* caption, const char* text) {
    auto* self = static_cast<WindowPrompts*>(context);
    self->onWindowThread([self, caption, text] { showBox(self->owner_, caption, text, QMessageBox::Ok, QMessageBox::Ok); });
}

bool WindowPrompts::confirm(void* context, const char* caption, const char* text) {
    auto* self = static_cast<WindowPrompts*>(context);
    bool accepted = false;
    self->onWindowThread([self, caption, text, &accepted] {
        accepted = showBox(self->owner_, caption, text, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel) ==
                   QMessageBox::Ok;
    });
    return accepted;
}

// Pauses run on the session thread, never on the window's.
void WindowPrompts::pause(void*, int milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }
