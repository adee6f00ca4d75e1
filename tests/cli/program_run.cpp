#include "program_run.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

namespace {

std::vector<char*> argvOf(std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    return argv;
}

// Starts the program with standard input /dev/null and its output in the folder's files out (or
// outPath) and err.
pid_t spawn(std::vector<std::string> args, const TempDir& folder, const std::string& outPath = "") {
    const std::vector<char*> argv = argvOf(args);
    const std::string out = outPath.empty() ? folder.path("out") : outPath, err = folder.path("err");
    const pid_t pid = ::fork();
    if (pid != 0) return pid;
    ::dup2(::open("/dev/null", O_RDONLY), STDIN_FILENO);
    ::dup2(::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), STDOUT_FILENO);
    ::dup2(::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), STDERR_FILENO);
    ::execv(argv[0], argv.data());
    std::_Exit(127);
}

// Whether the file comes to hold text within timeoutMs.
bool awaitText(const std::string& path, const std::string& text, int timeoutMs) {
    for (int waited = 0; waited < timeoutMs; waited += 5, ::usleep(5000))
        if (readWholeFile(path).find(text) != std::string::npos) return true;
    return false;
}

// Waits for the end, killing the program once timeoutMs have gone by.
void finish(pid_t pid, ProgramResult& result, int timeoutMs) {
    int status = 0;
    for (int waited = 0; ::waitpid(pid, &status, WNOHANG) == 0; waited += 5, ::usleep(5000))
        if (waited >= timeoutMs && !result.timedOut) result.timedOut = ::kill(pid, SIGKILL) == 0;
    if (WIFEXITED(status) && !result.timedOut) result.exitCode = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
}

ProgramResult collect(pid_t pid, const TempDir& folder, int timeoutMs) {
    ProgramResult result;
    finish(pid, result, timeoutMs);
    result.out = readWholeFile(folder.path("out"));
    result.err = readWholeFile(folder.path("err"));
    return result;
}

std::vector<std::string> kavrelcfg(const std::vector<std::string>& args) {
    std::vector<std::string> argv{KAVRELCFG_PATH};
    argv.insert(argv.end(), args.begin(), args.end());
    return argv;
}

}  // namespace

::testing::AssertionResult endedWith(const ProgramResult& run, int exitCode, const std::string& err) {
    if (run.exitCode == exitCode && run.err.find(err) != std::string::npos) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "exit status " << run.exitCode << ", not " << exitCode << ", or no \"" << err
                                         << "\" in standard error:\n" << run.err;
}

ProgramResult runKavrelcfg(const std::vector<std::string>& args, int timeoutMs, const std::string& standardOutput) {
    TempDir folder;
    return collect(spawn(kavrelcfg(args), folder, standardOutput), folder, timeoutMs);
}

ProgramResult runKavrelcfgUntil(const std::vector<std::string>& args, const std::string& text,
                                const std::function<void(pid_t)>& then) {
    TempDir folder;
    const pid_t pid = spawn(kavrelcfg(args), folder);
    if (awaitText(folder.path("err"), text, 30000)) then(pid);
    return collect(pid, folder, 30000);
}

ProgramResult runKavrelcfgOnTerminal(const std::vector<std::string>& args, const std::string& prompt,
                                     const std::string& typed, const std::function<void()>& atPrompt) {
    ProgramResult result;
    std::vector<std::string> argv = kavrelcfg(args);
    const std::vector<char*> pointers = argvOf(argv);
    int master = -1;
    const pid_t pid = ::forkpty(&master, nullptr, nullptr, nullptr);
    if (pid < 0) return result;
    if (pid == 0) {
        ::execv(pointers[0], pointers.data());
        std::_Exit(127);
    }
    bool answered = false;
    char buffer[4096];
    for (pollfd entry{master, POLLIN, 0}; ::poll(&entry, 1, 30000) > 0;) {
        const ssize_t n = ::read(master, buffer, sizeof buffer);
        if (n <= 0) break;  // EIO once the program is gone
        result.out.append(buffer, static_cast<std::size_t>(n));
        if (!answered && result.out.find(prompt) != std::string::npos) {
            answered = true;
            if (atPrompt) atPrompt();
            if (::write(master, typed.data(), typed.size()) != static_cast<ssize_t>(typed.size())) break;
        }
    }
    ::close(master);
    finish(pid, result, 10000);
    return result;
}

SimulatorProcess::SimulatorProcess(const std::vector<std::string>& options) {
    std::vector<std::string> argv{KAVREL_SIM_PATH};
    argv.insert(argv.end(), options.begin(), options.end());
    pid_ = spawn(argv, folder_);
    // The first line of its output is the pty's path, printed once the pty is ready.
    if (awaitText(folder_.path("out"), "\n", 5000)) {
        const std::string out = readWholeFile(folder_.path("out"));
        port_ = out.substr(0, out.find('\n'));
    }
    if (port_.empty()) ADD_FAILURE() << "kavrel-sim did not start: " << trace();
}

SimulatorProcess::~SimulatorProcess() { stop(SIGTERM); }

void SimulatorProcess::kill() { stop(SIGKILL); }

void SimulatorProcess::stop(int signal) {
    if (pid_ <= 0) return;
    ::kill(pid_, signal);
    ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
}
