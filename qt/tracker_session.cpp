#include "qt/tracker_session.h"

#include <QDeadlineTimer>

#include <chrono>

#include "qt/window_prompts.h"

namespace {

constexpr std::chrono::milliseconds kTick{100};

}  // namespace

TrackerSession::TrackerSession(const Prompts& prompts) : configurator_(port_, prompts), ticker_(this) {
    qRegisterMetaType<SessionState>();
    ticker_.setInterval(kTick);
    connect(&ticker_, &QTimer::timeout, this, &TrackerSession::tick);
}

void TrackerSession::start() { ticker_.start(); }

void TrackerSession::stop() {
    ticker_.stop();
    configurator_.finishImage();
    // From here rather than from the window, so that the requests posted before are handled.
    thread()->quit();
}

// As the Windows dialog's tick: poll, and show the status whatever poll answered.
void TrackerSession::tick() { publish(configurator_.poll() != 0); }

void TrackerSession::takeForm(const TrackerSettings& form) {
    const std::int32_t model = configurator_.settings.model;
    configurator_.settings = form;
    configurator_.settings.model = model;
}

void TrackerSession::handle(const SessionRequest& request) {
    Configurator& c = configurator_;
    bool refresh = false;
    switch (request.command) {
    case SessionCommand::ReadVersion:
    case SessionCommand::ReadConfig:
        port_.portName = request.portName;
        startRead(c, request.command == SessionCommand::ReadVersion ? TransferOp::VersionOnly : TransferOp::VersionThenRead);
        break;
    case SessionCommand::Write:
        takeForm(request.form);
        port_.portName = request.portName;
        // Answers 1 when the text was cut and nothing sent: the form shows the cut settings.
        refresh = c.beginWrite() != 0;
        break;
    case SessionCommand::Tone:
        port_.portName = request.portName;
        c.testTone(request.tone);
        break;
    case SessionCommand::Save:
        takeForm(request.form);
        c.saveFile(request.path.c_str());
        break;
    case SessionCommand::Load:
        c.loadFile(request.path.c_str());
        refresh = true;
        break;
    }
    ++handled_;
    publish(refresh);
}

void TrackerSession::publish(bool refreshForm) {
    const Configurator& c = configurator_;
    emit changed(SessionState{c.settings, c.statusMessage, refreshForm, c.operation != TransferOp::Idle, handled_});
}

SessionThread::SessionThread(WindowPrompts& prompts) : prompts_(prompts), session_(prompts.prompts()) {
    thread_.setObjectName("tracker session");
    session_.moveToThread(&thread_);
}

void SessionThread::start() {
    thread_.start();
    QMetaObject::invokeMethod(&session_, &TrackerSession::start, Qt::QueuedConnection);
}

SessionThread::~SessionThread() {
    prompts_.close();
    QMetaObject::invokeMethod(&session_, &TrackerSession::stop, Qt::QueuedConnection);
    // A prompt asked just before the window closed waits for this thread: let it go on.
    while (!thread_.wait(QDeadlineTimer(10))) prompts_.releaseWaiting();
}

void SessionThread::post(const SessionRequest& request) {
    TrackerSession* session = &session_;
    QMetaObject::invokeMethod(session, [session, request] { session->handle(request); }, Qt::QueuedConnection);
}
