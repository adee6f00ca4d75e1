// kavrelcfg show: the settings a configuration file holds.
#include <cstdio>

#include "cli/argument_parser.h"
#include "cli/commands/commands.h"
#include "cli/file_argument.h"
#include "cli/exit_status.h"
#include "cli/messages.h"
#include "cli/named_files.h"
#include "cli/settings_printer.h"

namespace {

const char kUsage[] =
    "Usage: kavrelcfg show [--model N] [--json] FILE.kvr\n"
    "\n"
    "Prints the settings of a configuration file, one 'name = value' line each; texts show\n"
    "control characters and bytes above 0x7F as \\xNN. Which firmware generation laid the image\n"
    "out is read from the image itself (where the address block starts, the destination\n"
    "identifier, the frequency bytes) and said on standard error; the settings that generation\n"
    "does not carry are not shown.\n"
    "\n"
    "  --model N   read the image as generation N (0 to 4) instead\n"
    "  --json      print a settings document, as encode and write take it back\n"
    "  FILE.kvr    the file, or - for standard input\n"
    "\n"
    "Exit status: 0 shown, 1 the file did not load or does not decode, 2 usage.\n";

}  // namespace

int runShow(const Arguments& args) {
    ParsedArguments parsed;
    std::string error;
    if (!parseArguments(args, {{"--model", nullptr, true}, {"--json", nullptr, false}}, parsed, error))
        return usageError("show", error);
    if (parsed.help) return printHelp(kUsage);
    if (parsed.positionals.size() != 1) return usageError("show", "give exactly one FILE.kvr (- for standard input)");
    std::int32_t model = 0;
    bool modelGiven = false;
    if (!modelOption(parsed, model, modelGiven)) return usageError("show", "--model takes 0, 1, 2, 3 or 4");

    const LoadedConfig loaded = loadConfig(parsed.positionals[0], modelGiven ? &model : nullptr);
    if (!loaded.decoded) {
        reportLoadFailure(loaded);
        return kExitFailed;
    }
    noteGeneration(loaded);
    if (hasOption(parsed, "--json"))
        printSettingsJson(stdout, loaded.settings);
    else
        printSettings(stdout, loaded.settings);
    if (!standardOutputArrived()) return kExitFailed;
    printNote(fileParseText(loaded.parse));
    return kExitSuccess;
}
