#include "options/option_completion.h"

namespace {

std::vector<std::string> splitWords(const char* text) {
    std::vector<std::string> words;
    std::string word;
    for (const char* c = text; c != nullptr && *c != '\0'; ++c) {
        if (*c != ' ') word += *c;
        if ((*c == ' ' || c[1] == '\0') && !word.empty()) {
            words.push_back(word);
            word.clear();
        }
    }
    return words;
}

}  // namespace

Completion wordsStarting(const std::vector<std::string>& words, const std::string& typed) {
    Completion completion;
    for (const std::string& word : words)
        if (word.compare(0, typed.size(), typed) == 0) completion.words.push_back(word);
    return completion;
}

Completion completeValue(const ValueCompletion& how, const std::string& typed) {
    switch (how.kind) {
    case Completes::Files: {
        Completion files;
        files.kind = Completion::Kind::Files;
        files.extension = how.text != nullptr ? how.text : "";
        return files;
    }
    case Completes::Words:
        return wordsStarting(splitWords(how.text), typed);
    case Completes::Listed:
        return how.list(typed);
    case Completes::Nothing:
        break;
    }
    return {};
}

Completion completeCommandLine(const std::vector<const OptionSpec*>& options, const std::vector<std::string>& before,
                               const std::string& typed, const ValueCompletion& operands) {
    bool optionsEnded = false;
    for (std::size_t i = 0; i < before.size(); ++i) {
        const std::string& word = before[i];
        if (optionsEnded || word.size() < 2 || word[0] != '-') continue;
        if (word == "--") {
            optionsEnded = true;
            continue;
        }
        const OptionSpec* spec = findOption(options, word);
        if (spec == nullptr || spec->takes == Takes::Nothing) continue;
        if (i + 1 == before.size()) return completeValue(spec->completes, typed);
        ++i;  // its value
    }
    if (optionsEnded || typed.empty() || typed[0] != '-') return completeValue(operands, typed);
    std::vector<std::string> names;
    for (const OptionSpec* spec : options) {
        names.push_back(spec->longName);
        if (spec->shortName != nullptr) names.push_back(spec->shortName);
    }
    return wordsStarting(names, typed);
}

void printCompletion(std::FILE* out, const Completion& completion) {
    switch (completion.kind) {
    case Completion::Kind::Words:
        std::fputs("words\n", out);
        break;
    case Completion::Kind::WordsNoSpace:
        std::fputs("words-nospace\n", out);
        break;
    case Completion::Kind::Files:
        std::fprintf(out, "files%s%s\n", completion.extension.empty() ? "" : " ", completion.extension.c_str());
        break;
    }
    for (const std::string& word : completion.words) std::fprintf(out, "%s\n", word.c_str());
}
