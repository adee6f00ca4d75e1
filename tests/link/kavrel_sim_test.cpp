// The kavrel-sim program as other tools use it: the pty path on the first line of its output,
// served across the host's opens and closes until SIGTERM or a hang-up.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "config/config_file.h"
#include "sim/factory_images.h"
#include "support/temp_dir.h"
#include "simulated_tracker.h"

namespace {

// kavrel-sim run by a shell that names its own process id and then becomes the simulator.
class SimProcess {
public:
    explicit SimProcess(const std::string& args) {
        const std::string command = "echo $$; exec '" KAVREL_SIM_PATH "' " + args + " </dev/null";
        pipe_ = ::popen((command + (args.find("2>") == std::string::npos ? " 2>/dev/null" : "")).c_str(), "r");
        char line[256] = {};
        if (pipe_ && std::fgets(line, sizeof line, pipe_)) pid_ = std::atoi(line);
        if (pipe_ && std::fgets(line, sizeof line, pipe_)) path = std::string(line, std::strcspn(line, "\n"));
    }
    ~SimProcess() { stop(); }
    // Sends SIGTERM (or waits for the end) and answers the exit status, -1 when it did not exit.
    int stop(bool terminate = true) {
        if (!pipe_) return -1;
        if (terminate && pid_ > 0) ::kill(pid_, SIGTERM);
        const int status = ::pclose(pipe_);
        pipe_ = nullptr;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string path;

private:
    FILE* pipe_ = nullptr;
    pid_t pid_ = -1;
};

}  // namespace

TEST(KavrelSim, LinksTracesAndServesAConfigurationFileUntilTerminated) {
    TempDir dir;
    ConfigImage image = factoryImage(FaV1_4);
    image[1] = 0x33;  // calibration 51
    std::string file = std::string(kFileMagic) + std::string("\x80\0\0\0", 4);
    file.append(image.begin(), image.end());
    writeWholeFile(dir.path("start.kvr"), file);
    const std::string link = dir.path("tracker");
    SimProcess sim("--eeprom " + dir.path("start.kvr") + " --link " + link + " --trace 2>" + dir.path("trace.txt"));
    ASSERT_EQ(sim.path.rfind("/dev/pts/", 0), 0u) << sim.path;
    char target[256] = {};
    EXPECT_GT(::readlink(link.c_str(), target, sizeof target - 1), 0);
    EXPECT_EQ(std::string(target), sim.path);

    TransferRig rig(link);
    rig.read();
    EXPECT_EQ(rig.configurator.statusMessage, "Read Config Successful");
    EXPECT_EQ(rig.configurator.settings.calibration, 51);
    rig.configurator.settings.statusText = "written through the program";
    rig.write();
    EXPECT_EQ(rig.configurator.statusMessage, "Config Written Successfully!");
    rig.read();
    EXPECT_EQ(rig.configurator.settings.statusText, "written through the program");
    EXPECT_EQ(sim.stop(), 0);

    struct stat gone {};
    EXPECT_NE(::lstat(link.c_str(), &gone), 0);
    EXPECT_NE(::stat(sim.path.c_str(), &gone), 0);
    const std::string trace = readWholeFile(dir.path("trace.txt"));
    EXPECT_NE(trace.find("host> 1B .  9600 baud"), std::string::npos) << trace.substr(0, 400);
    EXPECT_NE(trace.find("heard 56 V"), std::string::npos);
    EXPECT_NE(trace.find("<sim  4B K"), std::string::npos);
}

TEST(KavrelSim, EndsByItselfWhenTheLineHangsUp) {
    SimProcess sim("--fault hangup:5");
    TransferRig rig(sim.path);
    rig.start(VersionOnly);
    rig.runToIdle();
    EXPECT_EQ(sim.stop(false), 0);
    EXPECT_EQ(rig.configurator.settings.model, None);
}

TEST(KavrelSim, RefusesBadArgumentsAndFiles) {
    EXPECT_EQ(SimProcess("--fault sometimes").stop(false), 2);
    EXPECT_EQ(SimProcess("--eeprom /nonexistent/x.kvr").stop(false), 1);
}
