// Runs kavrelcfg as a child process and collects what it printed and how it ended; starts the
// simulated tracker for the device tests.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "support/temp_dir.h"

struct ProgramResult {
    int exitCode = -1;  // -1 when the program did not exit by itself
    int signal = 0;     // the signal that ended it, 0 when it exited
    bool timedOut = false;
    std::string out;
    std::string err;
};

// kavrelcfg with standard input /dev/null, so it sees no terminal; killed after timeoutMs. Its
// standard output goes to the file standardOutput when one is named (/dev/full: a full disk).
ProgramResult runKavrelcfg(const std::vector<std::string>& args, int timeoutMs = 30000, const std::string& standardOutput = "");

// kavrelcfg on a pseudo-terminal, as a person runs it: once `prompt` appears, atPrompt is called
// (if given) and `typed` is typed; out holds everything the terminal showed.
ProgramResult runKavrelcfgOnTerminal(const std::vector<std::string>& args, const std::string& prompt,
                                     const std::string& typed, const std::function<void()>& atPrompt = nullptr);

// kavrelcfg in the background: once its standard error shows `text`, `then` is called with its
// process id (to signal it, or to take its tracker away), and the result is collected at its end.
ProgramResult runKavrelcfgUntil(const std::vector<std::string>& args, const std::string& text,
                                const std::function<void(pid_t)>& then);

// kavrel-sim serving a simulated tracker on a pty of its own, until the object goes.
class SimulatorProcess {
public:
    explicit SimulatorProcess(const std::vector<std::string>& options);
    ~SimulatorProcess();
    SimulatorProcess(const SimulatorProcess&) = delete;
    SimulatorProcess& operator=(const SimulatorProcess&) = delete;
    // The pty to hand kavrelcfg as its port; empty when the simulator did not start.
    const std::string& port() const { return port_; }
    // Its --trace log so far.
    std::string trace() const { return readWholeFile(folder_.path("err")); }
    // Ends it at once, as a tracker unplugged: its pty goes away.
    void kill();

private:
    TempDir folder_;
    pid_t pid_ = -1;
    std::string port_;
};
