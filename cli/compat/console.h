// The standard streams as kavrelcfg uses them: whether each is a person's terminal (questions are
// asked and progress is shown only there, and the bytes of a configuration file never go there),
// and binary mode for the streams that carry a configuration file (on Windows a 0x0A byte would
// otherwise gain a 0x0D). console_posix.cpp and console_win32.cpp implement it; CMake picks one.
#pragma once

#include <cstdio>

bool standardInputIsTerminal();
bool standardOutputIsTerminal();
bool standardErrorIsTerminal();

void useBinaryMode(std::FILE* stream);
