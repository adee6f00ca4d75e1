// The command line of one kavrelcfg command: its options (long "--name", some with a short "-x"
// form, with a value as the next argument or after "=") and its other arguments.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct OptionSpec {
    const char* longName;   // "--model"
    const char* shortName;  // "-p", or nullptr
    bool takesValue;
    bool repeats = false;  // a value option that may be given more than once (--set); others once
};

struct ParsedArguments {
    struct Option {
        std::string name;  // always the long name
        std::string value;
    };
    std::vector<Option> options;  // in command-line order; --set and flags may repeat
    std::vector<std::string> positionals;
    bool help = false;  // --help or -h was given: nothing else was looked at
};

// false with error set when an option is unknown, its value is missing, or an option with a value
// that does not repeat is given again. "--" ends the options. Every command also takes -q/--quiet
// or -v/--verbose, which set the messages' verbosity; not both.
bool parseArguments(const std::vector<std::string>& args, const std::vector<OptionSpec>& specs, ParsedArguments& out,
                    std::string& error);

// The value of the last occurrence of an option, or nullptr.
const std::string* lastValue(const ParsedArguments& parsed, const char* longName);
bool hasOption(const ParsedArguments& parsed, const char* longName);
std::vector<std::string> allValues(const ParsedArguments& parsed, const char* longName);

// Prints "kavrelcfg: error: COMMAND: message" and where the command's help is; answers kExitUsage.
int usageError(const char* command, const std::string& message);

// Prints a command's help to standard output; answers kExitSuccess.
int printHelp(const char* text);
