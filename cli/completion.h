// kavrelcfg --complete WORD... TYPED: the candidates for the word being typed on a kavrelcfg
// command line, for the bash completion (completion/kavrelcfg.bash), which only calls it. The
// commands, their options and operands come from the tables the program parses with.
#pragma once

#include <string>
#include <vector>

#include "cli/command_line.h"
#include "options/option_completion.h"

// Prints the candidates (printCompletion's form) for the last of words, after the others.
void printCompletions(const std::vector<Command>& commands, const std::vector<std::string>& words);

// The serial ports this system has, or any file when none begins with typed (a pty, a link).
Completion completePorts(const std::string& typed);
// Setting names with their '=' (NAME=VALUE of --set); after a switch's '=', its two values.
Completion completeSettings(const std::string& typed);
