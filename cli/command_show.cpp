// kavrelcfg show: the settings a configuration file holds.
#include <cstdio>

#include "cli/argument_parser.h"
#include "cli/commands.h"
#include "cli/exit_status.h"
#include "cli/file_loading.h"
#include "cli/settings_printer.h"
#include "cli/status_report.h"

namespace {

const char kUsage[] =
    "Usage: kavrelcfg show FILE.kvr [--model N] [--json]\n"
    "\n"
    "Loads a configuration file as the dialog's Load does and prints every setting, one\n"
    "'name = value' line each (control characters and bytes above 0x7F as \\xNN).\n"
    "\n"
    "  --model N   decode the image as firmware generation N (0 to 4) reads it; default 4\n"
    "  --json      print one JSON object with the same keys\n"
    "\n"
    "The status message goes to standard error. Exit status: 0 loaded, 1 not loaded, 2 usage.\n";

}  // namespace

int runShow(const Arguments& args) {
    ParsedArguments parsed;
    std::string error;
    if (!parseArguments(args, {{"--model", nullptr, true}, {"--json", nullptr, false}}, parsed, error))
        return usageError("show", error);
    if (parsed.help) {
        std::fputs(kUsage, stdout);
        return kExitSuccess;
    }
    if (parsed.positionals.size() != 1) return usageError("show", "give exactly one FILE.kvr");
    std::int32_t model = FaV1_4;
    if (const std::string* value = lastValue(parsed, "--model"); value != nullptr && !parseModelArgument(*value, model))
        return usageError("show", "--model takes 0, 1, 2, 3 or 4");

    const LoadedFile loaded = loadConfigFile(parsed.positionals[0], model);
    if (loaded.decoded) {
        if (hasOption(parsed, "--json"))
            printSettingsJson(stdout, loaded.settings);
        else
            printSettings(stdout, loaded.settings);
    }
    const int status = reportStatus(loaded.status, loaded.decoded);
    if (loaded.imageWhole && !loaded.decoded)
        std::fprintf(stderr, "The image does not decode; 'kavrelcfg hex %s' shows its bytes.\n",
                     parsed.positionals[0].c_str());
    return status;
}
