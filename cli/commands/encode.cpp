// kavrelcfg encode: a configuration file made from settings, every value checked first.
#include <cstdio>

#include "cli/argument_parser.h"
#include "cli/commands/commands.h"
#include "cli/exit_status.h"
#include "cli/messages.h"
#include "cli/named_files.h"
#include "cli/settings_options.h"
#include "cli/settings_help.h"
#include "config/config_image.h"

namespace {

const char kUsage[] =
    "Usage: kavrelcfg encode [--model N] [--from FILE.kvr] [--settings FILE.json]\n"
    "                        [--set NAME=VALUE]... [--force] -o FILE.kvr\n"
    "\n"
    "Makes a configuration file. The settings start from the defaults; a configuration file's\n"
    "(--from), a settings document's (--settings) and each --set change them, in that order.\n"
    "The image is laid out for generation N: --model, else the document's \"model\", else the\n"
    "--from file's generation, else 4.\n"
    "\n"
    "Every value is checked before anything is saved: a bad --set is refused, and so are a\n"
    "file's or document's own values that fail a check or that generation N does not carry.\n"
    "\n"
    "  --model N             lay the image out for generation N, 0 to 4\n"
    "  --from FILE.kvr       start from this file's settings (- for standard input)\n"
    "  --settings FILE.json  apply this settings document, as 'show --json' prints it\n"
    "  --set NAME=VALUE      change one setting\n"
    "  --force               store a file's or document's own values that fail a check, and\n"
    "                        leave out those generation N does not carry\n"
    "  -o, --output FILE     the file to write, or - for standard output; never a terminal\n"
    "                        or serial port, where a tracker takes the bytes as commands\n"
    "\n"
    "Exit status: 0 saved, 1 not saved, 2 usage or a value refused.\n\n";

}  // namespace

int runEncode(const Arguments& args) {
    ParsedArguments parsed;
    std::string error;
    std::vector<OptionSpec> specs(std::begin(kSettingsOptions), std::end(kSettingsOptions));
    specs.push_back({"--model", nullptr, true});
    specs.push_back({"--output", "-o", true});
    if (!parseArguments(args, specs, parsed, error)) return usageError("encode", error);
    if (parsed.help) {
        printHelp(kUsage);
        printSettingsHelp(stdout);
        return kExitSuccess;
    }
    if (!parsed.positionals.empty()) return usageError("encode", "unexpected argument '" + parsed.positionals[0] + "'");
    const std::string* output = lastValue(parsed, "--output");
    if (output == nullptr) return usageError("encode", "give the file to write with -o FILE.kvr (- for standard output)");
    std::int32_t model = FaV1_4;
    bool modelGiven = false;
    if (!modelOption(parsed, model, modelGiven)) return usageError("encode", "--model takes 0, 1, 2, 3 or 4");
    SettingsOptions sources;
    if (const int status = readSettingsOptions(parsed, "encode", sources); status != kExitSuccess) return status;
    if (!modelGiven) sources.sourceModel(model);

    SettingsLayer defaults;
    defaults.source = "the defaults";
    defaults.values.model = model;
    defaults.given = carriedSettings(model);
    const ComposedSettings composed = composeSettings(sources.layers(defaults), model, sources.force);
    if (!reportComposition(composed)) return kExitUsage;
    int errorCode = 0;
    const FileSaveResult saved = saveNamedConfigFile(*output, encodeSettings(composed.settings).image, errorCode);
    if (saved != FileSaveResult::Saved) {
        reportSaveFailure(*output, saved, errorCode, "");
        return kExitFailed;
    }
    printNote("File Saved");
    return kExitSuccess;
}
