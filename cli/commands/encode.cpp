// kavrelcfg encode: a configuration file made from settings, every value checked first.
#include <cstdio>

#include "cli/commands/commands.h"
#include "cli/exit_status.h"
#include "cli/messages.h"
#include "cli/named_files.h"
#include "cli/settings_options.h"
#include "config/config_image.h"

const CommandHelp kEncodeHelp = {
    "", 0, 0, nullptr, {},
    "Makes a configuration file. The settings start from the defaults; a configuration file's "
    "(--from), a settings document's (--settings) and each --set change them, in that order. "
    "The image is laid out for generation N: --generation, else the document's \"model\", else "
    "the --from file's generation, else 4.\n"
    "\n"
    "Every value is checked before anything is saved: a bad --set is refused, and so are a "
    "file's or document's own values that fail a check or that generation N does not carry. "
    "--force stores those own values as they are and leaves out the settings generation N does "
    "not carry.\n",
    "Exit status: 0 saved, 1 not saved, 2 usage or a value refused.\n"};

int runEncode(const CliOptions& options) {
    std::int32_t model = options.generation.value_or(FirmwareModel::FaV1_4);
    SettingsOptions sources;
    if (const int status = readSettingsOptions(options, "encode", sources); status != kExitSuccess) return status;
    if (!options.generation) sources.sourceModel(model);

    SettingsLayer defaults;
    defaults.source = "the defaults";
    defaults.values.model = model;
    defaults.given = carriedSettings(model);
    const ComposedSettings composed = composeSettings(sources.layers(defaults), model, sources.force);
    if (!reportComposition(composed)) return kExitUsage;
    int errorCode = 0;
    const FileSaveResult saved = saveNamedConfigFile(*options.output, encodeSettings(composed.settings).image, errorCode);
    if (saved != FileSaveResult::Saved) {
        reportSaveFailure(*options.output, saved, errorCode, "");
        return kExitFailed;
    }
    printNote("File Saved");
    return kExitSuccess;
}
