#include "qt/tracker_session.h"

#include <QDeadlineTimer>

#include <chrono>

#include "config/config_image.h"
#include "config/generation_inference.h"
#include "config/setting_rules.h"
#include "qt/window_prompts.h"

namespace {

constexpr std::chrono::milliseconds kTick{100};
constexpr char kCaption[] = "Kavrel Write";

std::string layoutName(std::int32_t model) {
    for (const VersionText& version : kVersionTexts)
        if (version.model == model) return std::string("generation ") + std::to_string(model) + ", " + version.text;
    return "a layout of no known generation";
}

// What putting the backup back changes on the tracker, a line per setting.
std::string restoreChanges(const TrackerSettings& held, const TrackerSettings& backup) {
    std::string lines;
    for (const SettingChange& change : settingChanges(held, backup))
        lines += std::string(change.spec->name) + ": " + (change.carriedBefore ? valueText(held, *change.spec) : "(none)") +
                 " -> " + (change.carriedAfter ? valueText(backup, *change.spec) : "(none)") + "\n";
    return lines.empty() ? "Nothing changes: the tracker holds these settings already.\n" : lines;
}

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

// As the Windows dialog's tick: poll, and show the status whatever poll answered. The read before a
// write leaves the form as the user made it.
void TrackerSession::tick() {
    const bool refresh = configurator_.poll() != 0;
    endWriteRecord();
    if (finding_) {
        if (configurator_.operation == TransferOp::Idle) findTracker();
        publish(false);
    } else if (!writeWaiting_) {
        publish(refresh);
    } else if (configurator_.operation == TransferOp::Idle) {
        writeWaiting_ = false;
        publish(backUpAndWrite());
    } else {
        publish(false);
    }
}

bool TrackerSession::portIsFree(const std::string& port) {
    WriteRecord record;
    if (!findWriteRecord(port, record)) return true;
    const Prompts& ask = configurator_.prompts();
    const std::string question = "A write to " + port + " did not finish (started " + record.started +
                                 "). The tracker may still wait for the rest of that image, and whatever is sent to it "
                                 "now would become part of it.\n\nSwitch the tracker off and on again first: it then "
                                 "drops the unfinished image and keeps what it held before. Go on once you have done so.";
    if (ask.confirm(ask.context, kCaption, question.c_str())) {
        clearWriteRecord(record);
        return true;
    }
    configurator_.statusMessage = "Nothing sent: a write to " + port + " did not finish; switch the tracker off and on";
    return false;
}

// Ports where a write did not finish are not probed: a probe's bytes would become part of the image.
bool TrackerSession::probeNextPort() {
    WriteRecord unfinished;
    while (portsProbed_ < portsToProbe_.size() && findWriteRecord(portsToProbe_[portsProbed_], unfinished)) ++portsProbed_;
    if (portsProbed_ >= portsToProbe_.size()) return false;
    port_.portName = portsToProbe_[portsProbed_++];
    startRead(configurator_, TransferOp::VersionOnly, kQuickProbeAttemptsUsed);
    return true;
}

// A probe ended: the tracker is found, or the next port is probed, or none is left to probe.
void TrackerSession::findTracker() {
    Configurator& c = configurator_;
    if (c.outcome == Outcome::Succeeded) {
        finding_ = false;
        foundPort_ = port_.portName;
        c.statusMessage = "Tracker found on " + foundPort_ + ": " + layoutName(c.settings.model);
    } else if (!probeNextPort()) {
        finding_ = false;
        c.statusMessage = "No tracker answered on the " + std::to_string(portsToProbe_.size()) +
                          " ports: check that it is switched on and its cable plugged in, and that no other program "
                          "holds its port";
    }
}

// The record tells a later command, this window's or kavrelcfg's, that the tracker may still wait
// for the rest of an image; it goes once the tracker has answered after the image.
bool TrackerSession::recordThisWrite() {
    Configurator& c = configurator_;
    const InferredGeneration layout = inferGeneration(c.readImage);
    const std::string restore =
        backup_.empty() ? std::string() : restoreCommand(port_.portName, backup_, layout.recognised && layout.model != c.settings.model);
    std::string error;
    if (recordWrite(port_.portName, port_.baudRate, restore, record_, error)) {
        imageStarted_ = false;
        return true;
    }
    c.statusMessage = "Nothing written: the record of this write, which tells later commands when it did not finish, "
                      "cannot be kept: " + error + ". Set XDG_STATE_HOME (or HOME) to a folder that can be written";
    return false;
}

void TrackerSession::endWriteRecord() {
    const Configurator& c = configurator_;
    if (c.operation == TransferOp::Writing || c.operation == TransferOp::Verifying) imageStarted_ = true;
    if (record_.file.empty() || c.operation != TransferOp::Idle) return;
    if (!imageStarted_ || c.bytesReceived > 0) clearWriteRecord(record_);
    record_ = WriteRecord();
}

bool TrackerSession::backUpAndWrite() {
    Configurator& c = configurator_;
    const SessionRequest& request = waitingWrite_;
    const TrackerSettings held = c.settings;
    takeForm(request.form);
    // No tracker, or a port that did not open: the read's status says so, and nothing is sent.
    if (c.outcome == Outcome::PortFailed || c.outcome == Outcome::NotFound) return false;
    std::string why = "it sent " + std::to_string(c.bytesReceived) + " of its 128 bytes";
    if (c.bytesReceived == kImageSize &&
        saveInBackupFolder(c.readImage, c.outcome == Outcome::Succeeded ? held.callsign : std::string(), backup_, why))
        why.clear();
    const Prompts& ask = c.prompts();
    if (!why.empty() &&
        !ask.confirm(ask.context, kCaption, ("No backup could be made of what the tracker holds: " + why + ".\n\nWrite all the same?").c_str())) {
        c.statusMessage = "Nothing written: no backup could be made";
        return false;
    }
    if (request.command == SessionCommand::Write) return recordThisWrite() && c.beginWrite() != 0;
    TrackerSettings restored;
    restored.model = request.backup.model;
    decodeSettings(request.backup.image, restored);
    const std::string question = "Put back the backup of " + request.backup.time + " (" + layoutName(request.backup.model) +
                                 ") as it is?\n\n" + restoreChanges(held, restored);
    if (!ask.confirm(ask.context, kCaption, question.c_str())) {
        c.statusMessage = "Nothing written: the restore was not confirmed";
        return false;
    }
    if (!recordThisWrite()) return false;
    c.settings = restored;
    c.beginImageWrite(request.backup.image);
    return true;
}

void TrackerSession::takeForm(const TrackerSettings& form) {
    const std::int32_t model = configurator_.settings.model;
    configurator_.settings = form;
    configurator_.settings.model = model;
}

void TrackerSession::handle(const SessionRequest& request) {
    Configurator& c = configurator_;
    bool refresh = false;
    // A device command takes the port from a search or a write still waiting for its read.
    const bool device = request.command != SessionCommand::Save && request.command != SessionCommand::Load;
    if (device) finding_ = writeWaiting_ = false;
    if (device && request.command != SessionCommand::FindTracker && !portIsFree(request.portName)) {
        ++handled_;
        publish(false);
        return;
    }
    switch (request.command) {
    case SessionCommand::ReadVersion:
    case SessionCommand::ReadConfig:
        port_.portName = request.portName;
        startRead(c, request.command == SessionCommand::ReadVersion ? TransferOp::VersionOnly : TransferOp::VersionThenRead);
        break;
    case SessionCommand::Write:
    case SessionCommand::Restore:
        port_.portName = request.portName;
        waitingWrite_ = request;
        writeWaiting_ = true;
        backup_.clear();
        startRead(c, TransferOp::VersionThenRead);
        break;
    case SessionCommand::FindTracker:
        portsToProbe_ = request.ports;
        portsProbed_ = 0;
        foundPort_.clear();
        finding_ = probeNextPort();
        if (!finding_) c.statusMessage = "No serial port to probe: plug in the tracker's cable, or name its port";
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
    emit changed(SessionState{c.settings, c.statusMessage, refreshForm, c.operation != TransferOp::Idle || writeWaiting_ || finding_,
                              handled_, backup_, foundPort_});
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
