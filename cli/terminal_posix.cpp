#include "cli/terminal.h"

#include <unistd.h>

bool standardInputIsTerminal() { return isatty(STDIN_FILENO) == 1; }

bool standardOutputIsTerminal() { return isatty(STDOUT_FILENO) == 1; }

bool standardErrorIsTerminal() { return isatty(STDERR_FILENO) == 1; }
