// What differs between the systems kavrelcfg runs on, as far as the user sees it: what to do about a serial port that
// does not open. system_conventions_posix.cpp and system_conventions_win32.cpp implement it;
// CMake picks one.
#pragma once

#include <string>



// What the user can do about a port that failed to open with this system error code; empty when
// there is nothing to add to the system's reason.
std::string portOpenHint(const std::string& portName, int errorCode);
