// Shell completion from a table of options: where the word being typed stands on a command line,
// and the words it may become. A program prints them for its completion script, which only calls
// it (kavrelcfg --complete), so the candidates follow the program.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "options/option_parser.h"

struct Completion {
    enum class Kind : std::uint8_t {
        Words,         // the words
        WordsNoSpace,  // the words, the shell adding no blank after one (a setting name and its '=')
        Files,         // file names: those ending in .extension when one is given, and folders
    };
    Kind kind = Kind::Words;
    std::string extension;
    std::vector<std::string> words;
};

// The words that begin with typed.
Completion wordsStarting(const std::vector<std::string>& words, const std::string& typed);

// What a value or an operand completes with, as the table says.
Completion completeValue(const ValueCompletion& how, const std::string& typed);

// The candidates for typed after the words before it, which follow the command's name: an option
// of the command, an option's value, or an operand (which operands completes).
Completion completeCommandLine(const std::vector<const OptionSpec*>& options, const std::vector<std::string>& before,
                               const std::string& typed, const ValueCompletion& operands);

// For the completion script: a first line that says how ("words", "words-nospace", "files" or
// "files EXTENSION"), then a candidate a line.
void printCompletion(std::FILE* out, const Completion& completion);
