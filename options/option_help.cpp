#include "options/option_help.h"

#include <algorithm>

namespace {

// Descriptions start at most this far in; a longer name puts its description on the next line.
constexpr std::size_t kMaxDescriptionColumn = 26;
constexpr std::size_t kMinNextLineColumn = 20;

std::string withValue(const char* name, const OptionSpec& spec) {
    return spec.valueName != nullptr ? std::string(name) + " " + spec.valueName : std::string(name);
}

std::string listedNames(const OptionSpec& spec) {
    const std::string longForm = withValue(spec.longName, spec);
    return spec.shortName != nullptr ? std::string(spec.shortName) + ", " + longForm : longForm;
}

}  // namespace

std::vector<std::string> usageItems(const std::vector<const OptionSpec*>& options, std::uint32_t command) {
    std::vector<std::string> items;
    for (std::size_t i = 0; i < options.size(); ++i) {
        const OptionSpec& spec = *options[i];
        if (spec.takes == Takes::Operand) continue;
        std::string item = withValue(spec.shortName != nullptr ? spec.shortName : spec.longName, spec);
        if ((spec.requiredBy & command) == 0) {
            for (; spec.excludes != 0 && i + 1 < options.size() && options[i + 1]->excludes == spec.excludes; ++i) {
                const OptionSpec& next = *options[i + 1];
                item += " | " + withValue(next.shortName != nullptr ? next.shortName : next.longName, next);
            }
            item = "[" + item + "]" + (spec.takes == Takes::Values ? "..." : "");
        }
        items.push_back(item);
    }
    return items;
}

std::string usageWords(const std::vector<const OptionSpec*>& options, std::uint32_t command) {
    std::string usage;
    for (const std::string& item : usageItems(options, command)) usage += (usage.empty() ? "" : " ") + item;
    return usage;
}

std::string wrappedWords(const std::vector<std::string>& words, std::size_t indent, std::size_t width) {
    std::string out;
    std::size_t column = indent;
    for (const std::string& word : words) {
        if (column > indent && column + 1 + word.size() > width) {
            out += "\n" + std::string(indent, ' ');
            column = indent;
        } else if (column > indent) {
            out += ' ';
            ++column;
        }
        out += word;
        column += word.size();
    }
    return out;
}

std::string wrapped(const std::string& text, std::size_t indent, std::size_t width) {
    std::vector<std::string> words;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find(' ', start), text.size());
        if (end > start) words.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return wrappedWords(words, indent, width);
}

std::string wrappedLines(const std::string& text, std::size_t width) {
    std::string out;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        out += wrapped(text.substr(start, end - start), 0, width) + "\n";
        start = end + 1;
    }
    return out;
}

std::string optionList(const std::vector<const OptionSpec*>& options) {
    std::size_t column = 0;
    bool longName = false;
    for (const OptionSpec* spec : options) {
        const std::size_t wanted = 2 + listedNames(*spec).size() + 2;
        if (wanted <= kMaxDescriptionColumn) column = std::max(column, wanted);
        longName = longName || wanted > kMaxDescriptionColumn;
    }
    // help2man takes a description on the next line for the option's when it is indented so far.
    if (longName) column = std::max(column, kMinNextLineColumn);
    std::string list;
    for (const OptionSpec* spec : options) {
        std::string help = spec->help;
        if (spec->alias != nullptr) help += std::string(" (also ") + spec->alias + ")";
        const std::string names = "  " + listedNames(*spec);
        list += names;
        if (names.size() + 2 > column)
            list += "\n" + std::string(column, ' ');
        else
            list += std::string(column - names.size(), ' ');
        list += wrapped(help, column) + "\n";
    }
    return list;
}
