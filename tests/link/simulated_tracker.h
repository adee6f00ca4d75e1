// A simulated tracker on a pty served by a thread of the test, the host side of a transfer, a bare pty.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "config/tracker_settings.h"
#include "link/device_transfer.h"
#include "link/serial_port.h"
#include "sim/pty_front_end.h"
#include "sim/tracker_engine.h"
#include "support/scripted_prompts.h"

// The factory image and store deafness of the generation, at the given line speed.
TrackerOptions trackerOptions(std::int32_t generation, std::int32_t lineBaud = 9600);

class SimulatedTracker {
public:
    explicit SimulatedTracker(const TrackerOptions& options);
    ~SimulatedTracker() { stop(); }
    const std::string& path() const { return frontEnd_.path(); }
    // Stops serving; what the tracker saw and did can be read from the engine afterwards.
    const TrackerEngine& stop();

private:
    TrackerEngine engine_;
    PtyFrontEnd frontEnd_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// The speed of every read-version command the host sent, in order; the bytes of one kind.
std::vector<std::int32_t> versionRequestSpeeds(const std::vector<WireEvent>& events);
std::vector<std::uint8_t> bytesOf(const std::vector<WireEvent>& events, WireKind kind);

// The program's side of a transfer, with poll's answer and the status after every tick of the last run.
struct TransferRig {
    explicit TransferRig(const std::string& portPath);
    ScriptedPrompts script;
    Prompts prompts;
    SerialPort port;
    Configurator configurator;
    std::vector<std::int32_t> answers;
    std::vector<std::string> statuses;
    // Called after tick n (1-based) of the current run, to do what a user might do meanwhile.
    std::function<void(int tick)> betweenTicks;

    void runToIdle();
    void read() { startRead(configurator, TransferOp::VersionThenRead); runToIdle(); }
    void write() { configurator.beginWrite(); runToIdle(); }
};

// A simulated tracker and the program's side of a transfer to it.
struct TrackerRig : SimulatedTracker, TransferRig {
    explicit TrackerRig(const TrackerOptions& options) : SimulatedTracker(options), TransferRig(path()) {}
};

// A pty with nobody on the other side but the test, which keeps the master.
class BarePty {
public:
    BarePty();
    ~BarePty() { hangUp(); }
    int master() const { return master_; }
    const std::string& path() const { return path_; }
    void hangUp();  // closes the master: the slave's line drops

private:
    int master_ = -1;
    std::string path_;
};
