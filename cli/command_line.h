// kavrelcfg's command line: what one run was given, the table of every option with the commands
// that take it, the commands themselves, and the one way every command starts (its options parsed,
// its help, a usage error, the messages' verbosity).
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "cli/exit_status.h"
#include "options/option_parser.h"

// A bit for each command, for the options table.
enum : std::uint32_t {
    kShow = 1u << 0,
    kHex = 1u << 1,
    kEncode = 1u << 2,
    kDiff = 1u << 3,
    kPorts = 1u << 4,
    kVersion = 1u << 5,
    kRead = 1u << 6,
    kWrite = 1u << 7,
    kRestore = 1u << 8,
    kTone = 1u << 9,
};

// What one run was given: the options of its command, and its operands in their order.
struct CliOptions {
    bool quiet = false;
    bool verbose = false;
    bool help = false;
    std::optional<std::string> port;
    std::optional<std::int32_t> generation;
    std::optional<std::string> from;
    std::optional<std::string> settings;
    std::vector<std::string> set;
    bool force = false;
    std::optional<std::string> output;
    bool dryRun = false;
    bool yes = false;
    std::optional<std::string> backup;
    bool noBackup = false;
    bool probe = false;
    bool json = false;
    std::optional<std::int32_t> seconds;
    bool trace = false;
    std::vector<Operand> operands;
};

extern const std::vector<Option<CliOptions>> kCliOptions;

// What a command's help says besides its options, and the operands it takes.
struct CommandHelp {
    const char* operands;        // as its usage line shows them: "FILE.kvr", "A B", "[PORT]..."
    std::size_t minOperands;
    std::size_t maxOperands;
    const char* operandsWrong;   // the usage error for another count; nullptr: "unexpected argument"
    ValueCompletion completes;   // what its operands complete with
    const char* description;     // paragraphs, between the usage line and the options
    const char* exitStatus;      // the help's last lines
};

struct Command {
    const char* name;
    std::uint32_t bit;
    int (*run)(const CliOptions& options);
    const char* summary;  // a line, in the list of commands
    const CommandHelp* help;
    int trouble = kExitFailed;    // the status when its output did not arrive
    bool listsSettings = false;   // its help ends with the list of settings
};

// Parses the command's arguments and runs it: answers its exit status, or kExitUsage after a
// usage error, or kExitSuccess after its help.
int runCommand(const Command& command, const std::vector<std::string>& args);

// "kavrelcfg COMMAND OPTIONS... OPERANDS".
std::string commandUsage(const Command& command);

enum class HelpLayout {
    Terminal,  // after "Usage:", ending with the settings where the command takes them
    Manual,    // for help2man: a subsection "COMMAND:" with the usage, the settings left to their own
};
void printCommandHelp(std::FILE* out, const Command& command, HelpLayout layout);

// The options every command takes, which may also come before the command.
std::vector<const OptionSpec*> sharedOptions();

// Prints "kavrelcfg: error: COMMAND: message" and where the command's help is; answers kExitUsage.
int usageError(const char* command, const std::string& message);
