#include "options/option_parser.h"

#include <algorithm>

namespace {

bool names(const OptionSpec& spec, const std::string& name) {
    return name == spec.longName || (spec.shortName != nullptr && name == spec.shortName) ||
           (spec.alias != nullptr && name == spec.alias);
}

bool looksLikeOption(const std::string& arg) { return arg.size() > 1 && arg[0] == '-'; }

// The spelling of the first option of the group given, or nullptr.
const GivenOption* givenOfGroup(const std::vector<GivenOption>& given, const std::vector<OptionSpec>& specs, int group) {
    for (const GivenOption& occurrence : given)
        if (specs[occurrence.option].excludes == group) return &occurrence;
    return nullptr;
}

}  // namespace

std::vector<const OptionSpec*> optionsOf(const std::vector<OptionSpec>& specs, std::uint32_t command) {
    std::vector<const OptionSpec*> options;
    for (const OptionSpec& spec : specs)
        if ((spec.takenBy & command) != 0) options.push_back(&spec);
    return options;
}

const OptionSpec* findOption(const std::vector<const OptionSpec*>& options, const std::string& name) {
    for (const OptionSpec* spec : options)
        if (names(*spec, name)) return spec;
    return nullptr;
}

bool parseWholeNumber(const std::string& text, std::int32_t min, std::int32_t max, std::int32_t& value) {
    if (text.empty() || text.size() > 9 || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    const std::int32_t parsed = std::stoi(text);
    if (parsed < min || parsed > max) return false;
    value = parsed;
    return true;
}

bool scanArguments(const std::vector<std::string>& args, const std::vector<OptionSpec>& specs, std::uint32_t command,
                   std::vector<GivenOption>& given, std::vector<Operand>& operands, std::string& error) {
    const std::vector<const OptionSpec*> options = optionsOf(specs, command);
    const auto indexOf = [&](const OptionSpec* spec) { return static_cast<std::size_t>(spec - specs.data()); };
    // An option that stands alone (--help) wins over every mistake on the line.
    for (const std::string& arg : args) {
        if (arg == "--") break;
        const OptionSpec* spec = findOption(options, arg);
        if (spec != nullptr && spec->alone) {
            given = {GivenOption{indexOf(spec), arg, {}}};
            return true;
        }
    }
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || !looksLikeOption(arg)) {
            operands.push_back({arg});
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        std::string name = arg;
        std::string value;
        const std::size_t equals = arg.find('=');
        const bool inlineValue = arg.compare(0, 2, "--") == 0 && equals != std::string::npos;
        if (inlineValue) {
            name = arg.substr(0, equals);
            value = arg.substr(equals + 1);
        }
        const OptionSpec* spec = findOption(options, name);
        if (spec == nullptr) {
            error = "unknown option '" + name + "'";
            return false;
        }
        if (spec->takes == Takes::Nothing && inlineValue) {
            error = "option '" + name + "' takes no value";
            return false;
        }
        if (spec->takes != Takes::Nothing && !inlineValue) {
            if (i + 1 >= args.size()) {
                error = "option '" + name + "' needs a value";
                return false;
            }
            value = args[++i];
        }
        const std::size_t index = indexOf(spec);
        const bool again = std::any_of(given.begin(), given.end(), [&](const GivenOption& g) { return g.option == index; });
        if (spec->takes == Takes::Value && again) {
            error = "option '" + name + "' is given twice: give it once";
            return false;
        }
        const GivenOption* rival = spec->excludes != 0 ? givenOfGroup(given, specs, spec->excludes) : nullptr;
        if (rival != nullptr && rival->option != index) {
            error = "options '" + rival->spelled + "' and '" + name + "' exclude each other: give one";
            return false;
        }
        if (spec->takes == Takes::Operand)
            operands.push_back({value, spec});
        else
            given.push_back({index, name, value});
    }
    for (const OptionSpec* spec : options) {
        const bool present = std::any_of(given.begin(), given.end(), [&](const GivenOption& g) { return g.option == indexOf(spec); });
        if ((spec->requiredBy & command) == 0 || present) continue;
        error = std::string("give ") + (spec->shortName != nullptr ? spec->shortName : spec->longName) +
                (spec->valueName != nullptr ? std::string(" ") + spec->valueName : std::string()) + " (" + spec->help + ")";
        return false;
    }
    return true;
}
