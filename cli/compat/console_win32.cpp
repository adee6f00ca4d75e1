#include "cli/compat/console.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace {

// A console answers GetConsoleMode; a pipe, a file and the NUL device do not (_isatty would call
// NUL a terminal).
bool isConsole(DWORD stream) {
    DWORD mode = 0;
    const HANDLE handle = GetStdHandle(stream);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) != 0;
}

}  // namespace

bool standardInputIsTerminal() { return isConsole(STD_INPUT_HANDLE); }

bool standardOutputIsTerminal() { return isConsole(STD_OUTPUT_HANDLE); }

bool standardErrorIsTerminal() { return isConsole(STD_ERROR_HANDLE); }

void useBinaryMode(std::FILE* stream) { _setmode(_fileno(stream), _O_BINARY); }
