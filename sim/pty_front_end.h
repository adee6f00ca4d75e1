// Puts a TrackerEngine on a pseudo-terminal (or a real serial device) in real time: the host opens
// the pty's slave like a serial port, and the front end feeds the engine what the host writes, at
// the speed the host set, and writes back what reaches the host when it is due.
//
// The host opens and closes its port around every phase of a transfer, so the master stays open
// throughout; while no slave is open (the master then reports a hang-up) the engine's bytes are
// lost, as they are on a line nobody listens to.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>

#include "sim/tracker_engine.h"

struct FrontEndOptions {
    std::string devicePath;      // empty: a new pty
    std::string linkPath;        // a symlink to the pty, made by open and removed at the end
    std::FILE* trace = nullptr;  // log every byte with its time here
    bool keepEvents = false;     // keep the engine's record of the line for a reader afterwards
};

class PtyFrontEnd {
public:
    PtyFrontEnd(TrackerEngine& engine, const FrontEndOptions& options);
    ~PtyFrontEnd();
    PtyFrontEnd(const PtyFrontEnd&) = delete;
    PtyFrontEnd& operator=(const PtyFrontEnd&) = delete;

    // Answers false with a message in error.
    bool open(std::string& error);
    // The pty's slave (or the device) the host opens.
    const std::string& path() const { return path_; }
    // Serves until stop is set or the tracker hangs up; answers true on a hang-up, after which the
    // line is closed.
    bool serve(const std::atomic<bool>& stop);

private:
    SimTime now() const;
    std::int32_t hostBaud() const;
    void exchange(bool hostPresent);
    void waitForWork(bool hostPresent);
    void printTrace();
    void closeLine();

    TrackerEngine& engine_;
    FrontEndOptions options_;
    int fd_ = -1;
    bool isPty_ = true;
    bool linked_ = false;
    std::string path_;
    std::size_t printed_ = 0;  // events already traced
    std::chrono::steady_clock::time_point epoch_;
};
