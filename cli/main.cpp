// kavrelcfg: the tracker's configuration from the command line, on the dialog program's core.
#include <cstdio>
#include <string>

#include "cli/commands.h"
#include "cli/exit_status.h"
#include "kavrel_version.h"

namespace {

struct Command {
    const char* name;
    int (*run)(const Arguments& args);
    const char* summary;
};

const Command kCommands[] = {
    {"show", runShow, "print the settings of a configuration file"},
    {"encode", runEncode, "make a configuration file from the defaults or a file, with --set changes"},
    {"hex", runHex, "print the 128 image bytes of a file with their meaning"},
    {"ports", runPorts, "list the serial ports that open"},
    {"version", runVersion, "ask the tracker for its firmware version"},
    {"read", runRead, "read the tracker's configuration (and save it)"},
    {"write", runWrite, "write settings to the tracker and verify them"},
    {"tone", runTone, "send a test tone (1200, 2200, both) or stop it"},
};

void printUsage(std::FILE* out) {
    std::fprintf(out, "Usage: kavrelcfg COMMAND [OPTIONS]\n\nCommands:\n");
    for (const Command& command : kCommands) std::fprintf(out, "  %-8s %s\n", command.name, command.summary);
    std::fprintf(out,
                 "\nOptions:\n"
                 "  -h, --help     print this help\n"
                 "  -V, --version  print the version of kavrelcfg\n"
                 "\n'kavrelcfg COMMAND --help' tells more about each.\n"
                 "Exit status: 0 success, 1 the operation failed (its message on standard error), 2 usage.\n");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "kavrelcfg: no command given\nTry 'kavrelcfg --help'.\n");
        return kExitUsage;
    }
    const std::string name = argv[1];
    if (name == "--help" || name == "-h" || name == "help") {
        printUsage(stdout);
        return kExitSuccess;
    }
    if (name == "--version" || name == "-V") {
        std::printf("kavrelcfg %s\n", KAVREL_VERSION_TEXT);
        return kExitSuccess;
    }
    const Arguments args(argv + 2, argv + argc);
    for (const Command& command : kCommands)
        if (name == command.name) return command.run(args);
    std::fprintf(stderr, "kavrelcfg: unknown command '%s'\nTry 'kavrelcfg --help'.\n", name.c_str());
    return kExitUsage;
}
