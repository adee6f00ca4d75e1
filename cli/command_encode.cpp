// kavrelcfg encode: a configuration file from the defaults or another file, with settings changed
// as if they were typed into the dialog's form.
#include <cstdio>

#include "cli/argument_parser.h"
#include "cli/commands.h"
#include "cli/exit_status.h"
#include "cli/file_loading.h"
#include "cli/setting_assignment.h"
#include "cli/status_report.h"
#include "cli/tool_context.h"

namespace {

const char kUsage[] =
    "Usage: kavrelcfg encode [--model N] [--from FILE.kvr] [--set NAME=VALUE]... -o FILE.kvr\n"
    "\n"
    "Starts from the default settings (or from a file, loaded as 'show' loads it), applies each\n"
    "--set in order, and saves the image for firmware generation N as the dialog's Save does.\n"
    "\n"
    "  --model N         generation to encode for, 0 to 4; default 4\n"
    "  --from FILE.kvr   start from this file's settings\n"
    "  --set NAME=VALUE  change one setting; NAME is a key that 'show' prints (not model):\n"
    "                    texts as given; whole numbers as the form reads them (atoi, then cut to\n"
    "                    the field: 70000 ms is stored as 4464); frequencyMHz as a decimal number\n"
    "                    with a point; switches true, false, 1 or 0\n"
    "  -o, --output FILE.kvr  the file to write\n"
    "\n"
    "A status text that does not fit is cut, with a notice on standard error, as in the dialog.\n"
    "Exit status: 0 saved, 1 not saved, 2 usage.\n";

}  // namespace

int runEncode(const Arguments& args) {
    ParsedArguments parsed;
    std::string error;
    const std::vector<OptionSpec> specs = {
        {"--model", nullptr, true}, {"--from", nullptr, true}, {"--set", nullptr, true}, {"--output", "-o", true}};
    if (!parseArguments(args, specs, parsed, error)) return usageError("encode", error);
    if (parsed.help) {
        std::fputs(kUsage, stdout);
        return kExitSuccess;
    }
    if (!parsed.positionals.empty()) return usageError("encode", "unexpected argument '" + parsed.positionals[0] + "'");
    const std::string* output = lastValue(parsed, "--output");
    if (output == nullptr) return usageError("encode", "give the file to write with -o FILE.kvr");
    std::int32_t model = FaV1_4;
    if (const std::string* value = lastValue(parsed, "--model"); value != nullptr && !parseModelArgument(*value, model))
        return usageError("encode", "--model takes 0, 1, 2, 3 or 4");
    std::vector<SettingAssignment> assignments;
    for (const std::string& text : allValues(parsed, "--set")) {
        SettingAssignment assignment;
        if (!parseSettingAssignment(text, assignment, error)) return usageError("encode", error);
        assignments.push_back(assignment);
    }

    ToolContext tool;
    Configurator& configurator = tool.configurator;
    configurator.settings.model = model;
    if (const std::string* from = lastValue(parsed, "--from"); from != nullptr) {
        const LoadedFile loaded = loadConfigFile(*from, model);
        if (!loaded.decoded) return reportStatus(loaded.status, false);
        configurator.settings = loaded.settings;
    }
    for (const SettingAssignment& assignment : assignments) applySettingAssignment(configurator.settings, assignment);
    configurator.saveFile(output->c_str());
    return reportOutcome(configurator);
}
