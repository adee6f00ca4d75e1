// The simulator's command line: its options, each declared once in the table the parser, the help
// and the manual page (through --help) read.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "options/option_parser.h"
#include "sim/tracker_engine.h"

struct SimOptions {
    TrackerOptions tracker;  // eeprom and storeDeafMs are settled by finishSimOptions
    std::optional<std::string> eepromPath;  // a .kvr file; none: the factory image of the generation
    bool storeDeafGiven = false;
    std::optional<std::string> linkPath;    // a symlink to make to the pty
    std::optional<std::string> devicePath;  // serve this serial device instead of a pty
    bool trace = false;
    bool help = false;
    bool version = false;
};

extern const std::vector<Option<SimOptions>> kSimOptions;

// Answers false with a message in error for an option it does not know, a bad value or an operand.
bool parseSimOptions(const std::vector<std::string>& args, SimOptions& options, std::string& error);
// silent, late:MS, babble, short:N, long:N, corrupt:INDEX, hangup:N, echo.
bool parseFault(const std::string& text, Fault& fault);
// Fills in what depends on the generation: the store deafness, unless given.
void finishSimOptions(SimOptions& options);

void printSimHelp(std::FILE* out);
