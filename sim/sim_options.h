// The simulator's command line.
#pragma once

#include <string>

#include "sim/tracker_engine.h"

struct SimOptions {
    TrackerOptions tracker;  // eeprom and storeDeafMs are settled by finishSimOptions
    std::string eepromPath;  // a .kvr file; empty: the factory image of the generation
    bool storeDeafGiven = false;
    std::string linkPath;    // a symlink to make to the pty
    std::string devicePath;  // serve this serial device instead of a pty
    bool trace = false;
    bool help = false;
    bool version = false;
};

// Answers false with a message in error for an option it does not know or a bad value.
bool parseSimOptions(int argc, const char* const* argv, SimOptions& options, std::string& error);
// silent, late:MS, babble, short:N, long:N, corrupt:INDEX, hangup:N, echo.
bool parseFault(const std::string& text, Fault& fault);
// Fills in what depends on the generation: the store deafness, unless given.
void finishSimOptions(SimOptions& options);

extern const char kSimUsage[];
