// kavrelcfg and kavrel-sim as child processes: what kavrelcfg printed and how it ended.
#pragma once

#include <gtest/gtest.h>

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

// Whether the run ended with exitCode and its standard error holds err; what it got when not.
::testing::AssertionResult endedWith(const ProgramResult& run, int exitCode, const std::string& err = "");

// Stdin /dev/null (no terminal), stdout to standardOutput if named; killed after timeoutMs.
ProgramResult runKavrelcfg(const std::vector<std::string>& args, int timeoutMs = 30000, const std::string& standardOutput = "");

// On a pty as a person runs it: at `prompt`, atPrompt() then `typed`; out is all the terminal showed.
ProgramResult runKavrelcfgOnTerminal(const std::vector<std::string>& args, const std::string& prompt,
                                     const std::string& typed, const std::function<void()>& atPrompt = nullptr);

// Once its standard error shows `text`, `then` gets its process id (to signal it, say).
ProgramResult runKavrelcfgUntil(const std::vector<std::string>& args, const std::string& text,
                                const std::function<void(pid_t)>& then);

// kavrel-sim serving a simulated tracker on a pty of its own, until the object goes.
class SimulatorProcess {
public:
    explicit SimulatorProcess(const std::vector<std::string>& options);
    ~SimulatorProcess();
    SimulatorProcess(const SimulatorProcess&) = delete;
    SimulatorProcess& operator=(const SimulatorProcess&) = delete;
    // The pty to hand kavrelcfg as its port; empty (and the test failed) when the simulator did not start.
    const std::string& port() const { return port_; }
    // Its --trace log so far.
    std::string trace() const { return readWholeFile(folder_.path("err")); }
    // Ends it at once, as a tracker unplugged: its pty goes away.
    void kill();

private:
    void stop(int signal);
    TempDir folder_;
    pid_t pid_ = -1;
    std::string port_;
};
