#include "cli/argument_parser.h"

#include <cstdint>
#include <cstdio>

#include "cli/exit_status.h"
#include "cli/messages.h"

namespace {

const OptionSpec* findSpec(const std::vector<OptionSpec>& specs, const std::string& name) {
    for (const OptionSpec& spec : specs)
        if (name == spec.longName || (spec.shortName != nullptr && name == spec.shortName)) return &spec;
    return nullptr;
}

bool looksLikeOption(const std::string& arg) { return arg.size() > 1 && arg[0] == '-'; }

}  // namespace

bool parseArguments(const std::vector<std::string>& args, const std::vector<OptionSpec>& specs, ParsedArguments& out,
                    std::string& error) {
    // Help wins over every other mistake on the line.
    for (const std::string& arg : args) {
        if (arg == "--") break;
        if (arg == "--help" || arg == "-h") {
            out.help = true;
            return true;
        }
    }
    bool optionsEnded = false;
    std::string verbosityGiven;  // the -q or -v given first, which the other contradicts
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || !looksLikeOption(arg)) {
            out.positionals.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        std::string name = arg;
        std::string value;
        bool inlineValue = false;
        const std::size_t equals = arg.find('=');
        if (arg.compare(0, 2, "--") == 0 && equals != std::string::npos) {
            name = arg.substr(0, equals);
            value = arg.substr(equals + 1);
            inlineValue = true;
        }
        if (name == "--quiet" || name == "-q" || name == "--verbose" || name == "-v") {
            if (inlineValue) {
                error = "option '" + name + "' takes no value";
                return false;
            }
            const Verbosity wanted = name == "--quiet" || name == "-q" ? Verbosity::Quiet : Verbosity::Verbose;
            if (!verbosityGiven.empty() && wanted != verbosity()) {
                error = "options '" + verbosityGiven + "' and '" + name + "' exclude each other: give one";
                return false;
            }
            verbosityGiven = name;
            setVerbosity(wanted);
            continue;
        }
        const OptionSpec* spec = findSpec(specs, name);
        if (spec == nullptr) {
            error = "unknown option '" + name + "'";
            return false;
        }
        if (!spec->takesValue) {
            if (inlineValue) {
                error = std::string("option '") + spec->longName + "' takes no value";
                return false;
            }
        } else if (!inlineValue) {
            if (i + 1 >= args.size()) {
                error = std::string("option '") + spec->longName + "' needs a value";
                return false;
            }
            value = args[++i];
        }
        if (spec->takesValue && !spec->repeats && lastValue(out, spec->longName) != nullptr) {
            error = "option '" + name + "' is given twice: give it once";
            return false;
        }
        out.options.push_back({spec->longName, value});
    }
    return true;
}

const std::string* lastValue(const ParsedArguments& parsed, const char* longName) {
    const std::string* found = nullptr;
    for (const ParsedArguments::Option& option : parsed.options)
        if (option.name == longName) found = &option.value;
    return found;
}

bool hasOption(const ParsedArguments& parsed, const char* longName) { return lastValue(parsed, longName) != nullptr; }

std::vector<std::string> allValues(const ParsedArguments& parsed, const char* longName) {
    std::vector<std::string> values;
    for (const ParsedArguments::Option& option : parsed.options)
        if (option.name == longName) values.push_back(option.value);
    return values;
}

int usageError(const char* command, const std::string& message) {
    printError(std::string(command) + ": " + message);
    std::fprintf(stderr, "Try 'kavrelcfg help %s'.\n", command);
    return kExitUsage;
}

int printHelp(const char* text) {
    std::fputs(text, stdout);
    return kExitSuccess;
}
