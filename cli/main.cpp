// kavrelcfg: the tracker's configuration from the command line, on the window program's core.
#include <cstdio>
#include <string>

#include "cli/command_line.h"
#include "cli/commands/commands.h"
#include "cli/completion.h"
#include "cli/exit_status.h"
#include "cli/messages.h"
#include "cli/named_files.h"
#include "cli/settings_help.h"
#include "kavrel_version.h"
#include "options/option_help.h"

namespace {

const std::vector<Command> kCommands = {
    {"show", kShow, runShow, "print the settings of a configuration file", &kShowHelp},
    {"hex", kHex, runHex, "print the 128 bytes of a file's image with their meaning", &kHexHelp},
    {"encode", kEncode, runEncode, "make a configuration file from settings", &kEncodeHelp, kExitFailed, true},
    {"diff", kDiff, runDiff, "compare two configurations (files or trackers) setting by setting", &kDiffHelp, kExitUsage},
    {"ports", kPorts, runPorts, "list the serial ports, and with --probe which has a tracker", &kPortsHelp},
    {"version", kVersion, runVersion, "ask the tracker for its firmware version", &kVersionHelp},
    {"read", kRead, runRead, "read the tracker's configuration", &kReadHelp},
    {"write", kWrite, runWrite, "write settings to the tracker, with a backup, and verify them", &kWriteHelp, kExitFailed,
     true},
    {"restore", kRestore, runRestore, "write a backup back to the tracker byte for byte, and verify it", &kRestoreHelp},
    {"tone", kTone, runTone, "key the tracker's modem with a test tone, or stop it", &kToneHelp},
};

const char kOtherUsage[] = "kavrelcfg --version | --help | help COMMAND | help settings";

const char kDescription[] =
    "Reads, checks and writes the configuration of a Kavrel tracker over a serial port, and "
    "works with its configuration files (.kvr) and settings documents (JSON).\n";

const char kEnding[] =
    "A FILE given as - is standard input or standard output.\n"
    "Exit status: 0 success, 1 the operation failed, 2 bad usage or a value refused, "
    "130 interrupted; diff: 0 the same, 1 different, 2 trouble. Output that does not "
    "reach standard output (a full disk) is a failure, trouble for diff.\n";

// "[-q | -v]": the options that may come before the command.
std::string leadingOptions() {
    std::vector<const OptionSpec*> leading;
    for (const OptionSpec* spec : sharedOptions())
        if (!spec->alone) leading.push_back(spec);
    return usageWords(leading, kEveryCommand);
}

// The program's help; with every command, each command's help after it, as the manual page is
// made from it (help2man reads "*Section*" as a section of its own).
void printUsage(bool everyCommand) {
    std::printf("Usage: kavrelcfg %s COMMAND [OPTIONS] [ARGUMENTS]\n", leadingOptions().c_str());
    if (everyCommand)
        for (const Command& command : kCommands) std::printf("  or:  %s\n", commandUsage(command).c_str());
    std::printf("  or:  %s\n\n%s\nCommands:\n", kOtherUsage, wrappedLines(kDescription).c_str());
    for (const Command& command : kCommands) std::printf("  %-9s %s\n", command.name, command.summary);
    std::printf("\nOptions of every command:\n%s\n%s", optionList(sharedOptions()).c_str(), wrappedLines(kEnding).c_str());
    if (!everyCommand) return;
    std::printf("\n*Commands*\n");
    for (const Command& command : kCommands) {
        printCommandHelp(stdout, command, HelpLayout::Manual);
        std::printf("\n");
    }
    std::printf("*Settings*\n");
    printSettingsHelp(stdout);
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
        printUsage(false);
        return kExitSuccess;
    }
    if (topics[0] == "settings") {
        printSettingsHelp(stdout);
        return kExitSuccess;
    }
    const Command* command = findCommand(topics[0]);
    if (command == nullptr) return unknownCommand(topics[0]);
    printCommandHelp(stdout, *command, HelpLayout::Terminal);
    return kExitSuccess;
}

}  // namespace

int main(int argc, char** argv) {
    Arguments words(argv + 1, argv + argc);
    // For the completion script and the manual page; neither is listed in the help.
    if (!words.empty() && words[0] == "--complete") {
        printCompletions(kCommands, Arguments(words.begin() + 1, words.end()));
        return kExitSuccess;
    }
    if (words.size() == 1 && words[0] == "--help-all") {
        printUsage(true);
        return checkedOutput(kExitSuccess, kExitFailed);
    }
    // -q and -v may come before the command; the command's parser takes them from there.
    Arguments leading;
    const std::vector<const OptionSpec*> shared = sharedOptions();
    while (!words.empty() && findOption(shared, words[0]) != nullptr && !findOption(shared, words[0])->alone) {
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
    return checkedOutput(runCommand(*command, args), command->trouble);
}
