// A simulated tracker served on a pty of its own by a thread of the test, and a bare pty for tests
// of the port itself.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "sim/pty_front_end.h"
#include "sim/tracker_engine.h"

// The factory image and store deafness of the generation, at the given line speed.
TrackerOptions trackerOptions(std::int32_t generation, std::int32_t lineBaud = 9600);

class SimulatedTracker {
public:
    explicit SimulatedTracker(const TrackerOptions& options);
    ~SimulatedTracker();
    SimulatedTracker(const SimulatedTracker&) = delete;
    SimulatedTracker& operator=(const SimulatedTracker&) = delete;

    const std::string& path() const { return frontEnd_.path(); }
    // Stops serving; what the tracker saw and did can be read from the engine afterwards.
    const TrackerEngine& stop();

private:
    TrackerEngine engine_;
    PtyFrontEnd frontEnd_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// What the host put on the line, command by command: the speed of every read-version command in
// the order sent, and every byte the host sent with its speed.
std::vector<std::int32_t> versionRequestSpeeds(const std::vector<WireEvent>& events);
std::vector<std::uint8_t> bytesOf(const std::vector<WireEvent>& events, WireKind kind);

// A pty with nobody on the other side but the test: the master stays with the test.
class BarePty {
public:
    BarePty();
    ~BarePty();
    BarePty(const BarePty&) = delete;
    BarePty& operator=(const BarePty&) = delete;
    int master() const { return master_; }
    const std::string& path() const { return path_; }
    void hangUp();  // closes the master: the slave's line drops

private:
    int master_ = -1;
    std::string path_;
};
