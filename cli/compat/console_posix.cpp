#include "cli/compat/console.h"

#include <unistd.h>

bool standardInputIsTerminal() { return isatty(STDIN_FILENO) == 1; }

bool standardOutputIsTerminal() { return isatty(STDOUT_FILENO) == 1; }

bool standardErrorIsTerminal() { return isatty(STDERR_FILENO) == 1; }

// POSIX streams are binary already.
void useBinaryMode(std::FILE*) {}
