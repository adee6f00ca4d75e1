// The kavrel-sim program as other tools use it: the pty path on the first line of its output,
// served across the host's opens and closes until SIGTERM.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "config/config_file.h"
#include "sim/factory_images.h"
#include "support/temp_dir.h"
#include "transfer_rig.h"

extern char** environ;

namespace {

class SimProcess {
public:
    // Starts kavrel-sim with the arguments, its standard error going to errorPath.
    SimProcess(const std::vector<std::string>& args, const std::string& errorPath = "/dev/null") {
        int out[2];
        if (::pipe2(out, O_CLOEXEC) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_addopen(&actions, 2, errorPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        std::vector<std::string> all = {KAVREL_SIM_PATH};
        all.insert(all.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& arg : all) argv.push_back(arg.data());
        argv.push_back(nullptr);
        if (::posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        output_ = out[0];
        firstLine_ = readLine();
    }
    ~SimProcess() {
        if (pid_ > 0) stop();
        if (output_ >= 0) ::close(output_);
    }
    const std::string& firstLine() const { return firstLine_; }
    // Sends SIGTERM and answers the exit status, or -1 when it did not exit normally.
    int stop() { return finish(true); }
    // Waits for it to end on its own.
    int wait() { return finish(false); }

private:
    std::string readLine() {
        std::string line;
        char c = 0;
        pollfd entry{output_, POLLIN, 0};
        while (::poll(&entry, 1, 10000) > 0 && ::read(output_, &c, 1) == 1 && c != '\n') line += c;
        return line;
    }
    int finish(bool terminate) {
        if (pid_ <= 0) return -1;
        if (terminate) ::kill(pid_, SIGTERM);
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    pid_t pid_ = -1;
    int output_ = -1;
    std::string firstLine_;
};

bool isSymlinkTo(const std::string& link, const std::string& target) {
    char buffer[256] = {};
    const ssize_t n = ::readlink(link.c_str(), buffer, sizeof buffer - 1);
    return n > 0 && std::string(buffer, static_cast<std::size_t>(n)) == target;
}

}  // namespace

TEST(KavrelSim, ServesReadsAndWritesOnThePtyItNamesUntilTerminated) {
    SimProcess sim({"--generation", "3"});
    ASSERT_EQ(sim.firstLine().rfind("/dev/pts/", 0), 0u) << sim.firstLine();
    TransferRig rig(sim.firstLine());
    rig.read();
    EXPECT_EQ(rig.configurator.statusMessage, "Read Config Successful");
    EXPECT_EQ(rig.configurator.readImage, factoryImage(V1_4));
    rig.configurator.settings.statusText = "written through the program";
    rig.write();
    EXPECT_EQ(rig.configurator.statusMessage, "Config Written Successfully!");
    rig.read();
    EXPECT_EQ(rig.configurator.settings.statusText, "written through the program");
    EXPECT_EQ(sim.stop(), 0);
    struct stat gone {};
    EXPECT_NE(::stat(rig.port.portName.c_str(), &gone), 0);
}

TEST(KavrelSim, LinksTracesAndStartsFromAConfigurationFile) {
    TempDir dir;
    ConfigImage image = factoryImage(FaV1_4);
    image[1] = 0x33;  // calibration 51
    std::string file = std::string(kFileMagic) + std::string("\x80\0\0\0", 4);
    file.append(image.begin(), image.end());
    writeWholeFile(dir.path("start.kvr"), file);

    const std::string link = dir.path("tracker");
    SimProcess sim({"--eeprom", dir.path("start.kvr"), "--link", link, "--trace"}, dir.path("trace.txt"));
    EXPECT_TRUE(isSymlinkTo(link, sim.firstLine()));
    TransferRig rig(link);
    rig.read();
    EXPECT_EQ(rig.configurator.statusMessage, "Read Config Successful");
    EXPECT_EQ(rig.configurator.settings.calibration, 51);
    EXPECT_EQ(sim.stop(), 0);

    struct stat gone {};
    EXPECT_NE(::lstat(link.c_str(), &gone), 0);
    const std::string trace = readWholeFile(dir.path("trace.txt"));
    EXPECT_NE(trace.find("host> 1B .  9600 baud"), std::string::npos) << trace.substr(0, 400);
    EXPECT_NE(trace.find("heard 56 V"), std::string::npos);
    EXPECT_NE(trace.find("<sim  4B K"), std::string::npos);
}

TEST(KavrelSim, EndsByItselfWhenTheLineHangsUp) {
    SimProcess sim({"--fault", "hangup:5"});
    TransferRig rig(sim.firstLine());
    rig.startVersion();
    rig.runToIdle();
    EXPECT_EQ(sim.wait(), 0);
    EXPECT_EQ(rig.configurator.settings.model, None);
}

TEST(KavrelSim, RefusesBadArgumentsAndFiles) {
    EXPECT_EQ(SimProcess({"--fault", "sometimes"}).wait(), 2);
    EXPECT_EQ(SimProcess({"--generation"}).wait(), 2);
    EXPECT_EQ(SimProcess({"--eeprom", "/nonexistent/x.kvr"}).wait(), 1);
}
