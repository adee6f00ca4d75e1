// A program's options as a table: each option declared once with its names, the value it takes,
// its help, the field it fills and the commands that take it. The parser here, the usage lines
// and option lists (option_help.h) and the shell completion (option_completion.h) all read the
// same table, so they cannot disagree.
//
// An option is "--name", "--name VALUE" or "--name=VALUE", or its short form "-x" / "-x VALUE".
// "--" ends the options; "-" and every word that does not begin with "-" is an operand.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

// What an option takes; the parser sets it from the option's target.
enum class Takes : std::uint8_t {
    Nothing,  // a flag: given again, it changes nothing
    Value,    // one value, given once
    Values,   // a value each time it is given
    Operand,  // a value that stands among the operands where it is given (diff's -p PORT)
};

// What a shell completes an option's value, or a command's operands, with.
struct Completion;
enum class Completes : std::uint8_t { Nothing, Files, Words, Listed };
struct ValueCompletion {
    Completes kind = Completes::Nothing;
    const char* text = nullptr;  // Files: the extension ("kvr"), or nullptr for any; Words: "a b c"
    Completion (*list)(const std::string& typed) = nullptr;  // Listed
};

// Every command of a program with commands; a program without takes this as its one command.
constexpr std::uint32_t kEveryCommand = 0xFFFFFFFFu;

struct OptionSpec {
    const char* longName;   // "--port"
    const char* shortName;  // "-p", or nullptr
    const char* valueName;  // "PORT"; nullptr for a flag
    const char* help;
    std::uint32_t takenBy = kEveryCommand;  // the commands that take it, a bit each
    std::uint32_t requiredBy = 0;           // the commands that need it
    int excludes = 0;                       // options of the same group (not 0) exclude each other
    bool alone = false;                     // given before "--", nothing else on the line counts (--help)
    const char* alias = nullptr;            // another long name it answers to: "also --alias" in help
    ValueCompletion completes{};
    Takes takes = Takes::Nothing;
};

// An operand, and the option it came with when it was given as one (Takes::Operand).
struct Operand {
    std::string text;
    const OptionSpec* option = nullptr;
};

// An option's value as it was given, before its target takes it.
struct GivenOption {
    std::size_t option;  // index into the specs
    std::string spelled;  // the name as the user wrote it
    std::string value;
};

// Reads args against the options that command takes: false, with why in error, for an unknown
// option, a missing value or one given to a flag, an option given twice that takes one value, two
// that exclude each other, or a missing option the command needs. An option that is alone stops
// it at once: given holds that option only.
bool scanArguments(const std::vector<std::string>& args, const std::vector<OptionSpec>& specs, std::uint32_t command,
                   std::vector<GivenOption>& given, std::vector<Operand>& operands, std::string& error);

// The options of specs that a command takes, in the table's order.
std::vector<const OptionSpec*> optionsOf(const std::vector<OptionSpec>& specs, std::uint32_t command);
// The option that name (long, short or alias) names among them, or nullptr.
const OptionSpec* findOption(const std::vector<const OptionSpec*>& options, const std::string& name);

// A whole number from min to max, written in digits only.
bool parseWholeNumber(const std::string& text, std::int32_t min, std::int32_t max, std::int32_t& value);

// Where an option's value goes: a field of the program's options.
template <class Options>
struct Whole {
    std::optional<std::int32_t> Options::*field;
    std::int32_t min;
    std::int32_t max;
};
// A value the program converts itself: answers nullptr when it took the text, or else what the
// option takes ("9600 or 2400") for the message.
template <class Options>
struct Converted {
    const char* (*convert)(const std::string& text, Options& options);
};
struct AsOperand {};

template <class Options>
using OptionTarget = std::variant<bool Options::*, std::optional<std::string> Options::*,
                                  std::vector<std::string> Options::*, Whole<Options>, Converted<Options>, AsOperand>;

template <class Options>
struct Option {
    OptionSpec spec;
    OptionTarget<Options> target;
};

// The specs of a table, each with what it takes as its target says.
template <class Options>
std::vector<OptionSpec> optionSpecs(const std::vector<Option<Options>>& table) {
    static constexpr Takes kTakes[] = {Takes::Nothing, Takes::Value, Takes::Values, Takes::Value, Takes::Value, Takes::Operand};
    static_assert(std::variant_size_v<OptionTarget<Options>> == sizeof kTakes / sizeof kTakes[0], "a Takes for each target");
    std::vector<OptionSpec> specs;
    for (const Option<Options>& option : table) {
        specs.push_back(option.spec);
        specs.back().takes = kTakes[option.target.index()];
    }
    return specs;
}

// Parses args into options and operands: false with why in error, as scanArguments, or for a
// value its target refuses.
template <class Options>
bool parseOptions(const std::vector<std::string>& args, const std::vector<Option<Options>>& table, std::uint32_t command,
                  Options& options, std::vector<Operand>& operands, std::string& error) {
    const std::vector<OptionSpec> specs = optionSpecs(table);
    std::vector<GivenOption> given;
    if (!scanArguments(args, specs, command, given, operands, error)) return false;
    for (GivenOption& occurrence : given) {
        const OptionTarget<Options>& target = table[occurrence.option].target;
        std::string refused;  // what the option takes, when its value is not that
        if (const auto* flag = std::get_if<bool Options::*>(&target)) {
            options.*(*flag) = true;
        } else if (const auto* text = std::get_if<std::optional<std::string> Options::*>(&target)) {
            options.*(*text) = occurrence.value;
        } else if (const auto* texts = std::get_if<std::vector<std::string> Options::*>(&target)) {
            (options.*(*texts)).push_back(occurrence.value);
        } else if (const auto* whole = std::get_if<Whole<Options>>(&target)) {
            std::int32_t value = 0;
            if (parseWholeNumber(occurrence.value, whole->min, whole->max, value))
                options.*(whole->field) = value;
            else
                refused = "a whole number from " + std::to_string(whole->min) + " to " + std::to_string(whole->max);
        } else if (const auto* converted = std::get_if<Converted<Options>>(&target)) {
            if (const char* takes = converted->convert(occurrence.value, options)) refused = takes;
        }
        if (!refused.empty()) {
            error = "option '" + occurrence.spelled + "' takes " + refused + ", not '" + occurrence.value + "'";
            return false;
        }
    }
    return true;
}
