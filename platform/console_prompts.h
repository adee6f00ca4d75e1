// Prompts for the command-line tool: notices on standard error, confirmations as a y/N question
// on a terminal, pauses as real sleeps.
#pragma once

#include "platform/prompts.h"

struct ConsolePromptOptions {
    bool assumeYes = false;      // --yes: every confirmation is accepted
    bool interactive = false;    // standard input is a terminal: ask
};

Prompts consolePrompts(ConsolePromptOptions& options);
