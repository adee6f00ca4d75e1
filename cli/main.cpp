// kavrelcfg: the tracker's configuration from the command line, on the window program's core.
#include <cstdio>
#include <string>

#include "cli/commands/commands.h"
#include "cli/exit_status.h"
#include "cli/messages.h"
#include "cli/named_files.h"
#include "cli/settings_help.h"
#include "kavrel_version.h"

namespace {

struct Command {
    const char* name;
    int (*run)(const Arguments& args);
    const char* summary;
    int trouble = kExitFailed;  // the status when its output did not arrive
};

const Command kCommands[] = {
    {"show", runShow, "print the settings of a configuration file"},
    {"hex", runHex, "print the 128 bytes of a file's image with their meaning"},
    {"encode", runEncode, "make a configuration file from settings"},
    {"diff", runDiff, "compare two configurations (files or trackers) setting by setting", kExitUsage},
    {"ports", runPorts, "list the serial ports, and with --probe which has a tracker"},
    {"version", runVersion, "ask the tracker for its firmware version"},
    {"read", runRead, "read the tracker's configuration"},
    {"write", runWrite, "write settings to the tracker, with a backup, and verify them"},
    {"restore", runRestore, "write a backup back to the tracker byte for byte, and verify it"},
    {"tone", runTone, "key the tracker's modem with a test tone, or stop it"},
};

const char kUsageHead[] =
    "Usage: kavrelcfg [-q | -v] COMMAND [OPTIONS] [ARGUMENTS]\n"
    "       kavrelcfg --version | --help | help COMMAND | help settings\n"
    "\n"
    "Reads, checks and writes the configuration of a Kavrel tracker over a serial port, and\n"
    "works with its configuration files (.kvr) and settings documents (JSON).\n"
    "\n"
    "Commands:\n";

const char kUsageTail[] =
    "\n"
    "Options of every command:\n"
    "  -q, --quiet     print nothing on success but the data asked for\n"
    "  -v, --verbose   tell more of each step\n"
    "  -h, --help      the command's help\n"
    "\n"
    "A FILE given as - is standard input or standard output.\n"
    "Exit status: 0 success, 1 the operation failed, 2 bad usage or a value refused,\n"
    "130 interrupted; diff: 0 the same, 1 different, 2 trouble. Output that does not\n"
    "reach standard output (a full disk) is a failure, trouble for diff.\n";

void printUsage() {
    std::fputs(kUsageHead, stdout);
    for (const Command& command : kCommands) std::printf("  %-9s %s\n", command.name, command.summary);
    std::fputs(kUsageTail, stdout);
}

// A command's status once its output is judged: a success, or a "different" from diff, turns
// into its trouble status when what it printed did not arrive.
int checkedOutput(int status, int trouble) {
    const bool arrived = standardOutputArrived();
    return arrived || status >= trouble ? status : trouble;
}

const Command* findCommand(const std::string& name) {
    for (const Command& command : kCommands)
        if (name == command.name) return &command;
    return nullptr;
}

int unknownCommand(const std::string& name) {
    printError("unknown command '" + name + "'");
    std::fprintf(stderr, "Try 'kavrelcfg --help'.\n");
    return kExitUsage;
}

// help, help COMMAND, help settings.
int help(const Arguments& topics) {
    if (topics.empty()) {
        printUsage();
        return kExitSuccess;
    }
    if (topics[0] == "settings") {
        printSettingsHelp(stdout);
        return kExitSuccess;
    }
    const Command* command = findCommand(topics[0]);
    return command != nullptr ? command->run({"--help"}) : unknownCommand(topics[0]);
}

}  // namespace

int main(int argc, char** argv) {
    Arguments words(argv + 1, argv + argc);
    // -q and -v may come before the command; the command's parser takes them from there.
    Arguments leading;
    while (!words.empty() && (words[0] == "-q" || words[0] == "--quiet" || words[0] == "-v" || words[0] == "--verbose")) {
        leading.push_back(words[0]);
        words.erase(words.begin());
    }
    if (words.empty()) {
        printError("no command given");
        std::fprintf(stderr, "Try 'kavrelcfg --help'.\n");
        return kExitUsage;
    }
    const std::string name = words[0];
    Arguments args(words.begin() + 1, words.end());
    if (name == "--version" || name == "-V") {
        std::printf("kavrelcfg %s\n", KAVREL_VERSION_TEXT);
        return checkedOutput(kExitSuccess, kExitFailed);
    }
    if (name == "--help" || name == "-h") return checkedOutput(help({}), kExitFailed);
    if (name == "help") return checkedOutput(help(args), kExitFailed);
    const Command* command = findCommand(name);
    if (command == nullptr) return unknownCommand(name);
    args.insert(args.begin(), leading.begin(), leading.end());
    return checkedOutput(command->run(args), command->trouble);
}
