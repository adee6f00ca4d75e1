// The Configurator's prompts for the window. The session thread asks; the box is shown on the
// window's thread, modal, with the Windows program's caption, text and buttons, and the session
// thread waits for the answer. Once the window closes nothing more is asked: confirmations are
// declined and notices skipped, so that a prompt never waits for a window that is waiting for the
// session thread to end.
#pragma once

#include <QObject>

#include <atomic>

#include "platform/prompts.h"

class QWidget;

class WindowPrompts : public QObject {
public:
    explicit WindowPrompts(QWidget* owner);
    const Prompts& prompts() const { return prompts_; }

    // On the window's thread: from now on nothing is asked.
    void close() { closing_ = true; }
    // On the window's thread, while closing: lets a prompt that is waiting for it return.
    void releaseWaiting();

private:
    static void notice(void* context, const char* caption, const char* text);
    static bool confirm(void* context, const char* caption, const char* text);
    static void pause(void* context, int milliseconds);
    // Runs ask on the window's thread and waits for it, unless the window is closing.
    template <typename Ask>
    void onWindowThread(Ask ask);

    QWidget* owner_;
    std::atomic<bool> closing_{false};
    Prompts prompts_;
};
