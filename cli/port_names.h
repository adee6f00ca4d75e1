// The names under which a serial port may exist on this system, for 'kavrelcfg ports' to probe.
// port_names_posix.cpp and port_names_win32.cpp implement it; CMake picks one.
#pragma once

#include <string>
#include <vector>

std::vector<std::string> candidatePortNames();
