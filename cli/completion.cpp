#include "cli/completion.h"

#include "config/settings_table.h"
#include "link/port_listing.h"

Completion completePorts(const std::string& typed) {
    std::vector<std::string> names;
    for (const PortEntry& port : listPorts()) names.push_back(port.name);
    Completion ports = wordsStarting(names, typed);
    if (ports.words.empty()) ports.kind = Completion::Kind::Files;
    return ports;
}

Completion completeSettings(const std::string& typed) {
    const std::size_t equals = typed.find('=');
    std::vector<std::string> words;
    if (equals == std::string::npos) {
        for (const SettingSpec& spec : kSettingSpecs) words.push_back(spec.name + std::string("="));
        Completion names = wordsStarting(words, typed);
        names.kind = Completion::Kind::WordsNoSpace;
        return names;
    }
    const SettingSpec* spec = findSetting(typed.substr(0, equals));
    if (spec != nullptr && spec->kind == SettingKind::Switch)
        for (const char* value : {"true", "false"}) words.push_back(spec->name + std::string("=") + value);
    return wordsStarting(words, typed);
}

void printCompletions(const std::vector<Command>& commands, const std::vector<std::string>& words) {
    const std::string typed = words.empty() ? std::string() : words.back();
    std::vector<std::string> before(words.begin(), words.end() - (words.empty() ? 0 : 1));
    // -q and -v may come before the command.
    const std::vector<const OptionSpec*> shared = sharedOptions();
    while (!before.empty() && findOption(shared, before.front()) != nullptr) before.erase(before.begin());
    std::vector<std::string> names;
    for (const Command& command : commands) names.push_back(command.name);
    if (before.empty()) {
        names.insert(names.end(), {"help", "--help", "--version"});
        printCompletion(stdout, wordsStarting(names, typed));
        return;
    }
    if (before.front() == "help") {
        names.push_back("settings");
        printCompletion(stdout, wordsStarting(before.size() == 1 ? names : std::vector<std::string>(), typed));
        return;
    }
    for (const Command& command : commands) {
        if (before.front() != command.name) continue;
        static const std::vector<OptionSpec> specs = optionSpecs(kCliOptions);
        const std::vector<std::string> after(before.begin() + 1, before.end());
        printCompletion(stdout, completeCommandLine(optionsOf(specs, command.bit), after, typed, command.help->completes));
        return;
    }
    printCompletion(stdout, Completion{});
}
