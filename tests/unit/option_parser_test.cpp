// A command line from a table of options, and the usage, option list and completion it gives.
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
};

const char* convertBackup(const std::string& text, Given& given) {
    given.backup = text;
    return text.empty() ? "a file name" : nullptr;
}

const std::vector<Option<Given>> kTable = {
    {{"--quiet", "-q", nullptr, "say less", kEveryCommand, 0, 1}, &Given::quiet},
    {{"--verbose", "-v", nullptr, "say more", kEveryCommand, 0, 1}, &Given::verbose},
    {{"--help", "-h", nullptr, "this help", kEveryCommand, 0, 0, true}, &Given::help},
    {{"--port", "-p", "PORT", "the serial port", kRead, kRead}, &Given::port},
    {{"--port", "-p", "PORT", "a tracker as A or B, a long text that the list wraps at the width of a terminal", kDiff},
     AsOperand{}},
    {{"--generation", nullptr, "N", "the generation", kEveryCommand, 0, 0, false, "--model", {Completes::Words, "0 1 2"}},
     Whole<Given>{&Given::generation, 0, 4}},
    {{"--set", nullptr, "NAME=VALUE", "change one setting", kRead}, &Given::set},
    {{"--backup", nullptr, "FILE", "save it", kRead, 0, 2, false, nullptr, {Completes::Files, "kvr"}},
     Converted<Given>{convertBackup}},
    {{"--no-backup", nullptr, nullptr, "do not", kRead, 0, 2}, &Given::noBackup},
};

TEST(OptionParser, ParsesEveryKindOfOptionAndRefusesWhatTheTableDoesNot) {
    const struct {
        std::uint32_t command;
        std::vector<std::string> args;
        std::string expected;  // what was given, or the error
    } cases[] = {
        {kRead, {"-p", "A", "--generation=3", "--set", "a=1", "--set=b", "-q", "-q", "x", "-"}, "q A 3 a=1,b x -"},
        {kRead, {"--port=A", "--model", "4", "--backup", "F", "--", "-x", "--port"}, "A F 4 -x --port"},
        {kDiff, {"-p", "A", "file", "--port=B", "-v"}, "v port:A file port:B"},
        {kRead, {"--bogus", "--help"}, "help"},
        {kRead, {"--", "--help"}, "give -p PORT (the serial port)"},
        {kDiff, {"--set", "a=1"}, "unknown option '--set'"},
        {kRead, {"-p"}, "option '-p' needs a value"},
        {kRead, {"-p", "A", "--quiet=1"}, "option '--quiet' takes no value"},
        {kRead, {"-p", "A", "-p", "B"}, "option '-p' is given twice: give it once"},
        {kRead, {"-p", "A", "--generation", "1", "--model=2"}, "option '--model' is given twice: give it once"},
        {kRead, {"-p", "A", "-q", "--verbose"}, "options '-q' and '--verbose' exclude each other: give one"},
        {kRead, {"-p", "A", "--no-backup", "--backup", "F"}, "options '--no-backup' and '--backup' exclude each other: give one"},
        {kRead, {"-p", "A", "--generation", "-1"}, "option '--generation' takes a whole number from 0 to 4, not '-1'"},
        {kRead, {"-p", "A", "--backup="}, "option '--backup' takes a file name, not ''"},
    };
    for (const auto& c : cases) {
        Given given;
        std::vector<Operand> operands;
        std::string got;
        if (parseOptions(c.args, kTable, c.command, given, operands, got)) {
            std::string sets;
            for (const std::string& set : given.set) sets += (sets.empty() ? "" : ",") + set;
            std::vector<std::string> parts{given.quiet ? "q" : "", given.verbose ? "v" : "", given.help ? "help" : "",
                                           given.port.value_or(""), given.backup.value_or(""),
                                           given.generation ? std::to_string(*given.generation) : "", sets};
            for (const Operand& operand : operands) parts.push_back((operand.option != nullptr ? "port:" : "") + operand.text);
            for (const std::string& part : parts) got += part.empty() || got.empty() ? part : " " + part;
        }
        EXPECT_EQ(got, c.expected);
    }
}

TEST(OptionParser, UsageListAndCompletionComeFromTheTable) {
    const std::vector<OptionSpec> specs = optionSpecs(kTable);
    EXPECT_EQ(usageWords(optionsOf(specs, kRead), kRead),
              "[-q | -v] [-h] -p PORT [--generation N] [--set NAME=VALUE]... [--backup FILE | --no-backup]");
    EXPECT_EQ(optionList(optionsOf(specs, kDiff)),
              "  -q, --quiet      say less\n  -v, --verbose    say more\n  -h, --help       this help\n"
              "  -p, --port PORT  a tracker as A or B, a long text that the list wraps at the\n"
              "                   width of a terminal\n  --generation N   the generation (also --model)\n");
    const auto completed = [&](const std::vector<std::string>& before, const std::string& typed) {
        const Completion completion = completeCommandLine(optionsOf(specs, kRead), before, typed, {Completes::Words, "x y"});
        std::string words = completion.kind == Completion::Kind::Files ? completion.extension + ":" : "";
        for (const std::string& word : completion.words) words += " " + word;
        return words;
    };
    EXPECT_EQ(completed({"-p", "A"}, "--b"), " --backup");
    EXPECT_EQ(completed({"--model"}, ""), " 0 1 2");
    EXPECT_EQ(completed({"-p"}, ""), "");  // a value no list knows, not an operand
    EXPECT_EQ(completed({"--backup"}, ""), "kvr:");
    EXPECT_EQ(completed({"-p", "--", "--"}, ""), " x y");
    EXPECT_EQ(completed({"--generation=3"}, "-v"), " -v");
}

}  // namespace
