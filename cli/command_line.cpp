#include "cli/command_line.h"

#include "cli/completion.h"
#include "cli/messages.h"
#include "cli/port_session.h"
#include "cli/settings_help.h"
#include "options/option_help.h"

namespace {

constexpr std::uint32_t kTalksToTracker = kVersion | kRead | kWrite | kRestore | kTone;
constexpr int kVerbosityGroup = 1;
constexpr int kBackupGroup = 2;

const ValueCompletion kKvrFiles{Completes::Files, "kvr"};
const ValueCompletion kPortNames{Completes::Listed, nullptr, completePorts};

}  // namespace

// In the order of the usage lines.
const std::vector<Option<CliOptions>> kCliOptions = {
    {{"--quiet", "-q", nullptr, "print nothing on success but the data asked for", kEveryCommand, 0, kVerbosityGroup},
     &CliOptions::quiet},
    {{"--verbose", "-v", nullptr, "tell more of each step", kEveryCommand, 0, kVerbosityGroup}, &CliOptions::verbose},
    {{"--help", "-h", nullptr, "the command's help", kEveryCommand, 0, 0, true}, &CliOptions::help},
    {{"--port", "-p", "PORT", "the serial port: COM3 on Windows, /dev/ttyUSB0 or a pty elsewhere", kTalksToTracker,
      kTalksToTracker, 0, false, nullptr, kPortNames},
     &CliOptions::port},
    {{"--port", "-p", "PORT", "A or B: the tracker on this serial port", kDiff, 0, 0, false, nullptr, kPortNames},
     AsOperand{}},
    {{"--generation", nullptr, "N", "the tracker's firmware generation, 0 to 4, as 'kavrelcfg help settings' names them",
      kShow | kHex | kDiff | kEncode, 0, 0, false, "--model", {Completes::Words, "0 1 2 3 4"}},
     Whole<CliOptions>{&CliOptions::generation, 0, 4}},
    {{"--from", nullptr, "FILE.kvr", "start from this configuration file's settings (- for standard input)",
      kEncode | kWrite, 0, 0, false, nullptr, kKvrFiles},
     &CliOptions::from},
    {{"--settings", nullptr, "FILE.json", "apply this settings document, as 'show --json' and 'read --json' print it",
      kEncode | kWrite, 0, 0, false, nullptr, {Completes::Files, "json"}},
     &CliOptions::settings},
    {{"--set", nullptr, "NAME=VALUE", "change one setting", kEncode | kWrite, 0, 0, false, nullptr,
      {Completes::Listed, nullptr, completeSettings}},
     &CliOptions::set},
    {{"--force", nullptr, nullptr, "go on where own values fail a check, as said above (never for a bad --set)",
      kEncode | kWrite | kRestore},
     &CliOptions::force},
    {{"--output", "-o", "FILE.kvr", "save the configuration file, or - for standard output; never onto a terminal or "
      "serial port, where a tracker takes the bytes as commands", kEncode | kRead, kEncode, 0, false, nullptr, kKvrFiles},
     &CliOptions::output},
    {{"--dry-run", nullptr, nullptr, "list what would change, and send nothing", kWrite}, &CliOptions::dryRun},
    {{"--yes", "-y", nullptr, "accept the questions about a long path or a short transmit rate; without it they are "
      "asked on a terminal and declined otherwise", kWrite},
     &CliOptions::yes},
    {{"--backup", nullptr, "FILE", "save the backup to FILE (- for standard output)", kWrite | kRestore, 0, kBackupGroup,
      false, nullptr, kKvrFiles},
     &CliOptions::backup},
    {{"--no-backup", nullptr, nullptr, "make no backup", kWrite | kRestore, 0, kBackupGroup}, &CliOptions::noBackup},
    {{"--probe", nullptr, nullptr, "ask each port for a tracker's version, once at 9600 and once at 2400 baud (about "
      "a second a port), and show which has a tracker and its generation", kPorts},
     &CliOptions::probe},
    {{"--json", nullptr, nullptr, "print JSON instead, as said above", kShow | kHex | kDiff | kPorts | kVersion | kRead},
     &CliOptions::json},
    {{"--seconds", nullptr, "N", "send stop after N seconds (1 to 3600), or at once on Ctrl-C; the port is held "
      "meanwhile, and a stop that fails is tried again for a few seconds", kTone},
     Whole<CliOptions>{&CliOptions::seconds, 1, 3600}},
    {{"--trace", nullptr, nullptr, "print the bytes exchanged with the tracker, with their times", kDiff | kTalksToTracker},
     &CliOptions::trace},
};

std::vector<const OptionSpec*> sharedOptions() {
    static const std::vector<OptionSpec> specs = optionSpecs(kCliOptions);
    std::vector<const OptionSpec*> shared;
    for (const OptionSpec& spec : specs)
        if (spec.takenBy == kEveryCommand) shared.push_back(&spec);
    return shared;
}

namespace {

// A command's own options: those every command takes are listed once, in the program's help.
std::vector<const OptionSpec*> ownOptions(const std::vector<OptionSpec>& specs, std::uint32_t command) {
    std::vector<const OptionSpec*> own;
    for (const OptionSpec* spec : optionsOf(specs, command))
        if (spec->takenBy != kEveryCommand) own.push_back(spec);
    return own;
}

}  // namespace

namespace {

// The options and operands of a command's usage line, an item each.
std::vector<std::string> usageItems(const Command& command) {
    const std::vector<OptionSpec> specs = optionSpecs(kCliOptions);
    std::vector<std::string> items = usageItems(ownOptions(specs, command.bit), command.bit);
    if (*command.help->operands != '\0') items.push_back(command.help->operands);
    return items;
}

}  // namespace

std::string commandUsage(const Command& command) {
    std::string usage = std::string("kavrelcfg ") + command.name;
    for (const std::string& item : usageItems(command)) usage += " " + item;
    return usage;
}

void printCommandHelp(std::FILE* out, const Command& command, HelpLayout layout) {
    if (layout == HelpLayout::Manual) {
        std::fprintf(out, "%s:\n  %s\n\n", command.name, commandUsage(command).c_str());
    } else {
        // Continuation lines line up after the command's name.
        const std::string head = std::string("Usage: kavrelcfg ") + command.name + " ";
        std::fprintf(out, "%s%s\n\n", head.c_str(), wrappedWords(usageItems(command), head.size()).c_str());
    }
    const std::vector<OptionSpec> specs = optionSpecs(kCliOptions);
    std::fprintf(out, "%s\n%s\n%s", wrappedLines(command.help->description).c_str(),
                 optionList(ownOptions(specs, command.bit)).c_str(), wrappedLines(command.help->exitStatus).c_str());
    if (command.listsSettings && layout == HelpLayout::Terminal) {
        std::fputs("\n", out);
        printSettingsHelp(out);
    }
}

int usageError(const char* command, const std::string& message) {
    printError(std::string(command) + ": " + message);
    std::fprintf(stderr, "Try 'kavrelcfg help %s'.\n", command);
    return kExitUsage;
}

int runCommand(const Command& command, const std::vector<std::string>& args) {
    CliOptions options;
    std::string error;
    if (!parseOptions(args, kCliOptions, command.bit, options, options.operands, error))
        return usageError(command.name, error);
    if (options.help) {
        printCommandHelp(stdout, command, HelpLayout::Terminal);
        return kExitSuccess;
    }
    setVerbosity(options.quiet ? Verbosity::Quiet : options.verbose ? Verbosity::Verbose : Verbosity::Normal);
    const CommandHelp& help = *command.help;
    const std::size_t count = options.operands.size();
    if (count > help.maxOperands && help.operandsWrong == nullptr)
        return usageError(command.name, "unexpected argument '" + options.operands[help.maxOperands].text + "'");
    if (count < help.minOperands || count > help.maxOperands) return usageError(command.name, help.operandsWrong);
    // A port name no device has is refused before anything opens.
    std::vector<std::string> ports;
    if (options.port) ports.push_back(*options.port);
    for (const Operand& operand : options.operands)
        if (operand.option != nullptr) ports.push_back(operand.text);
    for (const std::string& port : ports)
        if (!usablePortName(port, error)) return usageError(command.name, error);
    return command.run(options);
}
