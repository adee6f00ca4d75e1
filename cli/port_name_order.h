// The order in which kavrelcfg lists the serial ports it finds on POSIX systems: by name, and a
// trailing number by its value, so that ttyS2 comes before ttyS10 (port_names_posix.cpp).
#pragma once

#include <string>

bool portNameBefore(const std::string& a, const std::string& b);
