// kavrelcfg show: the settings a configuration file holds.
#include <cstdio>

#include "cli/commands/commands.h"
#include "cli/file_argument.h"
#include "cli/exit_status.h"
#include "cli/messages.h"
#include "cli/named_files.h"
#include "cli/settings_printer.h"

const CommandHelp kShowHelp = {
    "FILE.kvr", 1, 1, "give exactly one FILE.kvr (- for standard input)", {Completes::Files, "kvr"},
    "Prints the settings of a configuration file (- for standard input), one 'name = value' line "
    "each; texts show control characters and bytes above 0x7F as \\xNN. Which firmware generation "
    "laid the image out is read from the image itself (where the address block starts, the "
    "destination identifier, the frequency bytes) and said on standard error; --generation N reads "
    "it as generation N instead. The settings that generation does not carry are not shown. With "
    "--json it prints a settings document, as encode and write take it back.\n",
    "Exit status: 0 shown, 1 the file did not load or does not decode, 2 usage.\n"};

int runShow(const CliOptions& options) {
    const LoadedConfig loaded = loadConfig(options.operands[0].text, options.generation);
    if (!loaded.decoded) {
        reportLoadFailure(loaded);
        return kExitFailed;
    }
    noteGeneration(loaded);
    if (options.json)
        printSettingsJson(stdout, loaded.settings);
    else
        printSettings(stdout, loaded.settings);
    if (!standardOutputArrived()) return kExitFailed;
    printNote(fileParseText(loaded.parse));
    return kExitSuccess;
}
