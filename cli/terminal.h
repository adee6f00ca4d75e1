// Whether the standard streams are a person's terminal: questions are asked and progress is shown
// only there, and the bytes of a configuration file never go there. terminal_posix.cpp and terminal_win32.cpp implement it; CMake picks one.
#pragma once

bool standardInputIsTerminal();
bool standardOutputIsTerminal();
bool standardErrorIsTerminal();
