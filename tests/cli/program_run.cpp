#include "program_run.h"

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

// Waits for the end, killing the program once timeoutMs have gone by.
void finish(pid_t pid, ProgramResult& result, int timeoutMs) {
    int status = 0;
    for (int waited = 0; ::waitpid(pid, &status, WNOHANG) == 0; waited += 5) {
        if (waited >= timeoutMs && !result.timedOut) {
            result.timedOut = true;
            ::kill(pid, SIGKILL);
        }
        ::usleep(5000);
    }
    if (WIFEXITED(status) && !result.timedOut) result.exitCode = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
}

// Waits for the end as finish does; answers the result with what the program printed.
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

ProgramResult runKavrelcfg(const std::vector<std::string>& args, int timeoutMs, const std::string& standardOutput) {
    TempDir folder;
    return collect(spawn(kavrelcfg(args), folder, standardOutput), folder, timeoutMs);
}

ProgramResult runKavrelcfgUntil(const std::vector<std::string>& args, const std::string& text,
                                const std::function<void(pid_t)>& then) {
    TempDir folder;
    const pid_t pid = spawn(kavrelcfg(args), folder);
    for (int waited = 0; waited < 30000; waited += 5) {
        if (readWholeFile(folder.path("err")).find(text) != std::string::npos) {
            then(pid);
            break;
        }
        ::usleep(5000);
    }
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
    for (int waited = 0; waited < 5000; waited += 5) {
        const std::string out = readWholeFile(folder_.path("out"));
        if (out.find('\n') != std::string::npos) {
            port_ = out.substr(0, out.find('\n'));
            break;
        }
        ::usleep(5000);
    }
}

SimulatorProcess::~SimulatorProcess() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGTERM);
    ::waitpid(pid_, nullptr, 0);
}

void SimulatorProcess::kill() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
}
