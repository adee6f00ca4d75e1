// The help a table of options gives: the options of a usage line, and the list of options with
// what each does, laid out for a terminal of 80 columns (and for help2man, which reads a list
// item as an indented option, two blanks, and its text).
#pragma once

#include <string>
#include <vector>

#include "options/option_parser.h"

constexpr std::size_t kHelpWidth = 79;

// "-p PORT [--set NAME=VALUE]... [--backup FILE | --no-backup]": a needed option bare, another in
// brackets, one that repeats followed by "...", options that exclude each other in one bracket.
// Operand options are left out: the command's operands name them.
std::vector<std::string> usageItems(const std::vector<const OptionSpec*>& options, std::uint32_t command);
std::string usageWords(const std::vector<const OptionSpec*>& options, std::uint32_t command);

// "  -p, --port PORT  the serial port: ..." a line or more each, descriptions in one column.
std::string optionList(const std::vector<const OptionSpec*>& options);

// Words in lines of at most width columns (a longer word stays whole), each after indent blanks
// but the first, which continues a line already indent columns wide.
std::string wrappedWords(const std::vector<std::string>& words, std::size_t indent, std::size_t width = kHelpWidth);
// The same for the words of a text, split at its blanks.
std::string wrapped(const std::string& text, std::size_t indent, std::size_t width = kHelpWidth);
// Each line of text wrapped on its own: a paragraph is a line of the text.
std::string wrappedLines(const std::string& text, std::size_t width = kHelpWidth);
