// Standard input and output carrying the bytes of a configuration file: on Windows they must be
// switched to binary, or a 0x0A byte would gain a 0x0D. standard_streams_posix.cpp and
// standard_streams_win32.cpp implement it; CMake picks one.
#pragma once

#include <cstdio>

void useBinaryMode(std::FILE* stream);
