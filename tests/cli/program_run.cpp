#include "program_run.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "support/temp_dir.h"

namespace {

using Clock = std::chrono::steady_clock;

std::vector<char*> argvOf(const std::vector<std::string>& args) {
    std::vector<char*> pointers;
    for (const std::string& arg : args) pointers.push_back(const_cast<char*>(arg.c_str()));
    pointers.push_back(nullptr);
    return pointers;
}

int remainingMs(Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left < 0 ? 0 : static_cast<int>(left);
}

// Reads fd into text until end of file or the deadline; answers false at the deadline.
bool readUntilEnd(int fd, std::string& text, Clock::time_point deadline) {
    for (;;) {
        pollfd entry{fd, POLLIN, 0};
        const int ready = ::poll(&entry, 1, remainingMs(deadline));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) return false;
        char buffer[4096];
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return true;  // end of file, or EIO once a pty's other side is gone
        text.append(buffer, static_cast<std::size_t>(n));
    }
}

void finish(pid_t pid, ProgramResult& result, bool inTime) {
    if (!inTime) {
        result.timedOut = true;
        ::kill(pid, SIGKILL);
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status) && !result.timedOut) result.exitCode = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
}

}  // namespace

ProgramResult runProgram(const std::vector<std::string>& argv, int timeoutMs) {
    ProgramResult result;
    int outPipe[2];
    int errPipe[2];
    if (::pipe(outPipe) != 0 || ::pipe(errPipe) != 0) return result;
    std::vector<char*> args = argvOf(argv);
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int nullInput = ::open("/dev/null", O_RDONLY);
        ::dup2(nullInput, STDIN_FILENO);
        ::dup2(outPipe[1], STDOUT_FILENO);
        ::dup2(errPipe[1], STDERR_FILENO);
        ::close(outPipe[0]);
        ::close(errPipe[0]);
        ::execv(args[0], args.data());
        std::_Exit(127);
    }
    ::close(outPipe[1]);
    ::close(errPipe[1]);
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    // Standard error is small and written last; standard output is read first, and a program
    // that fills the error pipe meanwhile would only be held up until the deadline.
    bool inTime = readUntilEnd(outPipe[0], result.out, deadline);
    inTime = inTime && readUntilEnd(errPipe[0], result.err, deadline);
    ::close(outPipe[0]);
    ::close(errPipe[0]);
    finish(pid, result, inTime);
    return result;
}

ProgramResult runKavrelcfg(const std::vector<std::string>& args, int timeoutMs) {
    std::vector<std::string> argv{KAVRELCFG_PATH};
    argv.insert(argv.end(), args.begin(), args.end());
    return runProgram(argv, timeoutMs);
}

ProgramResult runKavrelcfgOnTerminal(const std::vector<std::string>& args, const std::string& prompt,
                                     const std::string& typed, int timeoutMs) {
    ProgramResult result;
    std::vector<std::string> argv{KAVRELCFG_PATH};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> pointers = argvOf(argv);
    int master = -1;
    const pid_t pid = ::forkpty(&master, nullptr, nullptr, nullptr);
    if (pid < 0) return result;
    if (pid == 0) {
        ::execv(pointers[0], pointers.data());
        std::_Exit(127);
    }
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    bool inTime = true;
    bool answered = false;
    for (;;) {
        pollfd entry{master, POLLIN, 0};
        const int ready = ::poll(&entry, 1, remainingMs(deadline));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) {
            inTime = false;
            break;
        }
        char buffer[4096];
        const ssize_t n = ::read(master, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        result.out.append(buffer, static_cast<std::size_t>(n));
        if (!answered && result.out.find(prompt) != std::string::npos) {
            answered = true;
            if (::write(master, typed.data(), typed.size()) != static_cast<ssize_t>(typed.size())) break;
        }
    }
    ::close(master);
    finish(pid, result, inTime);
    return result;
}

SimulatorProcess::SimulatorProcess(const std::vector<std::string>& options) {
    const std::string tracePath = folder_.path("sim-trace.txt");
    std::vector<std::string> argv{KAVREL_SIM_PATH};
    argv.insert(argv.end(), options.begin(), options.end());
    std::vector<char*> args = argvOf(argv);
    int outPipe[2];
    if (::pipe(outPipe) != 0) return;
    pid_ = ::fork();
    if (pid_ == 0) {
        const int nullInput = ::open("/dev/null", O_RDONLY);
        const int trace = ::open(tracePath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(nullInput, STDIN_FILENO);
        ::dup2(outPipe[1], STDOUT_FILENO);
        ::dup2(trace, STDERR_FILENO);
        ::close(outPipe[0]);
        ::execv(args[0], args.data());
        std::_Exit(127);
    }
    ::close(outPipe[1]);
    // The first line is the pty's path; the simulator prints it once the pty is ready.
    std::string line;
    const auto deadline = Clock::now() + std::chrono::seconds(5);
    while (line.find('\n') == std::string::npos) {
        pollfd entry{outPipe[0], POLLIN, 0};
        const int ready = ::poll(&entry, 1, remainingMs(deadline));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) break;
        char buffer[256];
        const ssize_t n = ::read(outPipe[0], buffer, sizeof buffer);
        if (n <= 0) break;
        line.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(outPipe[0]);
    const std::size_t end = line.find('\n');
    if (end != std::string::npos) port_ = line.substr(0, end);
}

SimulatorProcess::~SimulatorProcess() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGTERM);
    const auto deadline = Clock::now() + std::chrono::seconds(5);
    int status = 0;
    while (::waitpid(pid_, &status, WNOHANG) == 0) {
        if (Clock::now() >= deadline) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, &status, 0);
            break;
        }
        ::usleep(10000);
    }
}

std::string SimulatorProcess::trace() const { return readWholeFile(folder_.path("sim-trace.txt")); }
