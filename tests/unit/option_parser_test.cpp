// The command line from a table of options: parsing, the usage line and option list the help
// shows, and what the shell completes, on a small table of every kind of option.
#include <gtest/gtest.h>

#include "options/option_completion.h"
#include "options/option_help.h"
#include "options/option_parser.h"

namespace {

constexpr std::uint32_t kRead = 1, kDiff = 2;

struct Given {
    bool quiet = false, verbose = false, help = false, noBackup = false;
    std::optional<std::string> port, backup;
    std::optional<std::int32_t> generation;
    std::vector<std::string> set;
    std::int32_t baud = 0;
};

const char* convertBaud(const std::string& text, Given& given) {
    if (text != "9600" && text != "2400") return "9600 or 2400";
    given.baud = std::stoi(text);
    return nullptr;
}

const std::vector<Option<Given>> kTable = {
    {{"--quiet", "-q", nullptr, "say less", kEveryCommand, 0, 1}, &Given::quiet},
    {{"--verbose", "-v", nullptr, "say more", kEveryCommand, 0, 1}, &Given::verbose},
    {{"--help", "-h", nullptr, "this help", kEveryCommand, 0, 0, true}, &Given::help},
    {{"--port", "-p", "PORT", "the serial port", kRead, kRead}, &Given::port},
    {{"--port", "-p", "PORT", "a tracker as A or B", kDiff}, AsOperand{}},
    {{"--generation", nullptr, "N", "the firmware generation, a long text that the list wraps at the width of a terminal",
      kRead | kDiff, 0, 0, false, "--model", {Completes::Words, "0 1 2 3 4"}},
     Whole<Given>{&Given::generation, 0, 4}},
    {{"--set", nullptr, "NAME=VALUE", "change one setting", kRead}, &Given::set},
    {{"--baud", nullptr, "BAUD", "the line speed", kRead}, Converted<Given>{convertBaud}},
    {{"--backup", nullptr, "FILE", "save it", kRead, 0, 2, false, nullptr, {Completes::Files, "kvr"}}, &Given::backup},
    {{"--no-backup", nullptr, nullptr, "do not", kRead, 0, 2}, &Given::noBackup},
};

// What a parse gave, as one line, or its error.
std::string parsed(std::uint32_t command, const std::vector<std::string>& args) {
    Given given;
    std::vector<Operand> operands;
    std::string error;
    if (!parseOptions(args, kTable, command, given, operands, error)) return "error: " + error;
    std::string line = std::string(given.quiet ? "q " : "") + (given.verbose ? "v " : "") + (given.help ? "help " : "") +
                       (given.noBackup ? "no-backup " : "");
    if (given.port) line += "port=" + *given.port + " ";
    if (given.backup) line += "backup=" + *given.backup + " ";
    if (given.generation) line += "generation=" + std::to_string(*given.generation) + " ";
    for (const std::string& set : given.set) line += "set=" + set + " ";
    if (given.baud != 0) line += "baud=" + std::to_string(given.baud) + " ";
    for (const Operand& operand : operands) line += (operand.option != nullptr ? "port:" : "") + operand.text + " ";
    return line;
}

TEST(OptionParser, ParsesEveryKindOfOptionAndRefusesWhatTheTableDoesNotAllow) {
    const struct {
        std::uint32_t command;
        std::vector<std::string> args;
        std::string expected;
    } cases[] = {
        {kRead, {"-p", "A", "--generation=3", "--set", "a=1", "--set=b=2", "x", "-"}, "port=A generation=3 set=a=1 set=b=2 x - "},
        {kRead, {"--port=A", "--model", "04", "-q", "-q"}, "q port=A generation=4 "},
        {kRead, {"-p", "A", "--", "-x", "--port"}, "port=A -x --port "},
        {kRead, {"-p", "A", "--baud", "2400", "--no-backup"}, "no-backup port=A baud=2400 "},
        {kDiff, {"-p", "A", "file", "--port=B"}, "port:A file port:B "},
        {kRead, {"--bogus", "--help"}, "help "},
        {kRead, {"--", "--help"}, "error: give -p PORT (the serial port)"},
        {kRead, {"-p", "A", "--bogus"}, "error: unknown option '--bogus'"},
        {kDiff, {"--set", "a=1"}, "error: unknown option '--set'"},
        {kRead, {"-p"}, "error: option '-p' needs a value"},
        {kRead, {"-p", "A", "-q=1"}, "error: unknown option '-q=1'"},
        {kRead, {"-p", "A", "--quiet=1"}, "error: option '--quiet' takes no value"},
        {kRead, {"-p", "A", "-p", "B"}, "error: option '-p' is given twice: give it once"},
        {kRead, {"-p", "A", "--generation", "1", "--model=2"}, "error: option '--model' is given twice: give it once"},
        {kRead, {"-p", "A", "-q", "--verbose"}, "error: options '-q' and '--verbose' exclude each other: give one"},
        {kRead, {"-p", "A", "--no-backup", "--backup", "F"}, "error: options '--no-backup' and '--backup' exclude each other: give one"},
        {kRead, {"-p", "A", "--generation", "5"}, "error: option '--generation' takes a whole number from 0 to 4, not '5'"},
        {kRead, {"-p", "A", "--generation", "-1"}, "error: option '--generation' takes a whole number from 0 to 4, not '-1'"},
        {kRead, {"-p", "A", "--baud", "1200"}, "error: option '--baud' takes 9600 or 2400, not '1200'"},
    };
    for (const auto& c : cases) EXPECT_EQ(parsed(c.command, c.args), c.expected);
}

TEST(OptionParser, HelpAndCompletionComeFromTheTable) {
    const std::vector<OptionSpec> specs = optionSpecs(kTable);
    std::vector<const OptionSpec*> own;
    for (const OptionSpec* spec : optionsOf(specs, kRead))
        if (spec->takenBy != kEveryCommand) own.push_back(spec);
    EXPECT_EQ(usageWords(own, kRead), "-p PORT [--generation N] [--set NAME=VALUE]... [--baud BAUD] [--backup FILE | --no-backup]");
    EXPECT_EQ(usageWords(optionsOf(specs, kDiff), kDiff), "[-q | -v] [-h] [--generation N]");
    EXPECT_EQ(optionList(optionsOf(specs, kDiff)),
              "  -q, --quiet      say less\n"
              "  -v, --verbose    say more\n"
              "  -h, --help       this help\n"
              "  -p, --port PORT  a tracker as A or B\n"
              "  --generation N   the firmware generation, a long text that the list wraps at\n"
              "                   the width of a terminal (also --model)\n");

    const auto completed = [&](const std::vector<std::string>& before, const std::string& typed) {
        const Completion completion =
            completeCommandLine(optionsOf(specs, kRead), before, typed, ValueCompletion{Completes::Words, "x y"});
        std::string line = completion.kind == Completion::Kind::Files ? "files " + completion.extension + ":" : "";
        for (const std::string& word : completion.words) line += " " + word;
        return line;
    };
    EXPECT_EQ(completed({"-p", "A"}, "--b"), " --baud --backup");
    EXPECT_EQ(completed({"--generation"}, "3"), " 3");
    EXPECT_EQ(completed({"--backup"}, ""), "files kvr:");
    EXPECT_EQ(completed({"--generation=3"}, ""), " x y");
    EXPECT_EQ(completed({"-p", "--", "--"}, ""), " x y");  // the first "--" is the port
}

}  // namespace
