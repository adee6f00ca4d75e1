// The tracker's side of the window: the one SerialPort and Configurator, on a thread of their own,
// so that drains, paced writes and the pause before a read-back never hold the window. Every call
// of the port and the Configurator happens on that thread; the window sends requests and gets
// copies of the state back, both as queued calls. The Configurator's prompts come back to the
// window's thread (window_prompts.h), which shows them while this thread waits for the answer.
#pragma once

#include <QObject>
#include <QThread>
#include <QTimer>

#include <cstdint>
#include <string>
#include <vector>

#include "config/tracker_settings.h"
#include "link/backup_folder.h"
#include "link/device_transfer.h"
#include "link/write_record.h"
#include "link/serial_port.h"

enum class SessionCommand : std::uint8_t { ReadVersion, ReadConfig, Write, Tone, Save, Load, Restore, FindTracker };

// A command of the window, with what it read from the form and the port selector.
struct SessionRequest {
    SessionCommand command = SessionCommand::ReadVersion;
    std::string portName;   // device commands
    TrackerSettings form;   // Write and Save: the form's fields (their model is not used)
    std::string path;       // Save and Load
    TestTone tone = TestTone::Stop;
    Backup backup;          // Restore: the image to put back as it is
    std::vector<std::string> ports;  // FindTracker: the ports to probe, in turn
};

// What the window shows: a copy of the state after a request or a tick.
struct SessionState {
    TrackerSettings settings;
    std::string status;
    bool refreshForm = false;   // the settings changed under the form: show them
    bool transferRunning = false;
    std::uint64_t handled = 0;  // requests handled so far
    std::string backup;         // where the last write saved what the tracker held; "" for nowhere
    std::string foundPort;      // where the last FindTracker found a tracker; "" for nowhere
};

class TrackerSession : public QObject {
    Q_OBJECT
public:
    explicit TrackerSession(const Prompts& prompts);

    // On the session's thread.
    void start();
    void handle(const SessionRequest& request);
    // Sends the rest of an image under way, as Quit does, and ends the thread.
    void stop();

signals:
    void changed(const SessionState& state);

private:
    void tick();
    // Every write first reads what the tracker holds, for the backup folder: the write (or the
    // restore) starts once that read has ended and its image is saved. false when it does not start.
    bool backUpAndWrite();
    bool recordThisWrite();
    // The write recorded has ended: its record goes unless the image went out unanswered.
    void endWriteRecord();
    // false, with the status set, when a write to the port did not finish and the user does not
    // say the tracker was switched off and on since.
    bool portIsFree(const std::string& port);
    // Probes the next port FindTracker was given; false when none is left.
    bool probeNextPort();
    void findTracker();
    void publish(bool refreshForm);
    // The form's fields become the settings; the generation stays the Configurator's.
    void takeForm(const TrackerSettings& form);

    SerialPort port_;
    Configurator configurator_;
    QTimer ticker_;
    std::uint64_t handled_ = 0;
    bool writeWaiting_ = false;  // a write or restore waits for the read before it
    SessionRequest waitingWrite_;
    std::string backup_;
    WriteRecord record_;         // of the write running; no file when none is
    bool imageStarted_ = false;  // ESC "D" has gone out for it
    std::vector<std::string> portsToProbe_;  // FindTracker's ports not yet probed
    std::size_t portsProbed_ = 0;
    bool finding_ = false;
    std::string foundPort_;
};

class WindowPrompts;

// Runs a TrackerSession on its own thread for as long as it lives.
class SessionThread {
public:
    explicit SessionThread(WindowPrompts& prompts);
    // Handles the requests already posted, finishes an image under way and ends the thread;
    // from then on the prompts ask nothing.
    ~SessionThread();
    SessionThread(const SessionThread&) = delete;
    SessionThread& operator=(const SessionThread&) = delete;

    // Connect to session().changed first, then start.
    TrackerSession& session() { return session_; }
    void start();
    void post(const SessionRequest& request);

private:
    WindowPrompts& prompts_;
    TrackerSession session_;
    QThread thread_;
};
