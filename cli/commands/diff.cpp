// kavrelcfg diff: two configurations compared setting by setting, with diff(1)'s exit statuses.
#include <cstdio>

#include "cli/argument_parser.h"
#include "cli/commands/commands.h"
#include "cli/file_argument.h"
#include "cli/device_report.h"
#include "cli/exit_status.h"
#include "cli/compat/interrupts.h"
#include "cli/messages.h"
#include "cli/named_files.h"
#include "cli/port_session.h"
#include "cli/settings_document.h"
#include "cli/settings_printer.h"
#include "cli/tool_context.h"

namespace {

const char kUsage[] =
    "Usage: kavrelcfg diff [--model N] [--json] [--trace] A B\n"
    "\n"
    "Compares two configurations setting by setting and lists the settings that differ, as\n"
    "'name  A -> B'. A and B are each a configuration file (.kvr), a settings document (as\n"
    "'read --json' prints it; a key it lacks counts as its default), - for standard input, or\n"
    "-p PORT for the tracker on that port. A file's generation is read from its image.\n"
    "\n"
    "  --model N   read both .kvr files as generation N (0 to 4) instead\n"
    "  --json      print one JSON object: a, b, same, and the differences\n"
    "  --trace     print the bytes exchanged with a tracker\n"
    "\n"
    "Exit status: 0 the same, 1 different, 2 trouble (usage, a file that does not load, no\n"
    "tracker), 130 interrupted.\n";

struct Side {
    std::string name;
    bool port = false;
};

// The operands in their order: "-p PORT", "--port PORT" or "--port=PORT" for a tracker, any other
// word that is no option for a file. The options go to rest. false when -p lacks its port.
bool splitOperands(const Arguments& args, std::vector<Side>& sides, Arguments& rest) {
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg == "-" || arg.empty() || arg[0] != '-') {
            sides.push_back({arg});
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg.compare(0, 7, "--port=") == 0) {
            sides.push_back({arg.substr(7), true});
        } else if (arg == "-p" || arg == "--port") {
            if (i + 1 >= args.size()) return false;
            sides.push_back({args[++i], true});
        } else {
            rest.push_back(arg);
            if (arg == "--model" && i + 1 < args.size()) rest.push_back(args[++i]);
        }
    }
    return true;
}

// The settings of one side; false, reported, when there are none.
int loadSide(const Side& side, const std::int32_t* model, bool trace, TrackerSettings& settings) {
    if (side.port) {
        ToolContext tool;
        tool.port.portName = side.name;
        TransferDisplay display(tool.port, trace, false);
        int status = kExitFailed;
        if (!takePort(tool, display, status)) return status == kExitInterrupted ? status : kExitUsage;
        const TransferEnd end = display.request(tool.configurator, VersionThenRead);
        if (end != TransferEnd::Finished || tool.configurator.outcome != Outcome::Succeeded) {
            status = reportTransfer(tool, display, end);
            return status == kExitInterrupted ? status : kExitUsage;
        }
        settings = tool.configurator.settings;
        return kExitSuccess;
    }
    std::string bytes;
    int errorCode = 0;
    if (!readNamedFile(side.name, kMaxFileBytes, bytes, errorCode)) {
        printError(fileFailure("read", displayName(side.name), errorCode));
        return kExitUsage;
    }
    if (looksLikeConfigFile(bytes)) {
        const LoadedConfig loaded = loadConfigBytes(side.name, bytes, model);
        if (!loaded.decoded) {
            reportLoadFailure(loaded);
            return kExitUsage;
        }
        noteGeneration(loaded);
        settings = loaded.settings;
        return kExitSuccess;
    }
    SettingsDocument document;
    std::string error;
    if (!parseSettingsDocument(bytes, displayName(side.name), document, error)) {
        printError(error + " (nor a configuration file)");
        return kExitUsage;
    }
    settings = document.layer.values;
    settings.model = document.hasModel ? document.model : FaV1_4;
    return kExitSuccess;
}

Json sideValue(bool carried, const TrackerSettings& settings, const SettingSpec& spec) {
    return carried ? jsonValue(settings, spec) : Json(nullptr);
}

}  // namespace

int runDiff(const Arguments& args) {
    std::vector<Side> sides;
    Arguments rest;
    ParsedArguments parsed;
    std::string error;
    if (!splitOperands(args, sides, rest)) return usageError("diff", "option '-p' needs a value");
    const std::vector<OptionSpec> specs = {{"--model", nullptr, true}, {"--json", nullptr, false}, {"--trace", nullptr, false}};
    if (!parseArguments(rest, specs, parsed, error)) return usageError("diff", error);
    if (parsed.help) return printHelp(kUsage);
    if (sides.size() != 2 || !parsed.positionals.empty())
        return usageError("diff", "give two configurations: files, - or -p PORT");
    if (!sides[0].port && !sides[1].port && sides[0].name == "-" && sides[1].name == "-")
        return usageError("diff", "only one of the two can be standard input");
    for (const Side& side : sides)
        if (side.port && !usablePortName(side.name, error)) return usageError("diff", error);
    std::int32_t model = 0;
    bool modelGiven = false;
    if (!modelOption(parsed, model, modelGiven)) return usageError("diff", "--model takes 0, 1, 2, 3 or 4");

    catchInterrupts();
    TrackerSettings settings[2];
    for (int k = 0; k < 2; ++k)
        if (const int status = loadSide(sides[k], modelGiven ? &model : nullptr, hasOption(parsed, "--trace"), settings[k]);
            status != kExitSuccess)
            return status;
    const TrackerSettings& a = settings[0];
    const TrackerSettings& b = settings[1];

    const std::vector<SettingChange> changes = settingChanges(a, b);
    const bool same = changes.empty() && a.model == b.model;
    if (hasOption(parsed, "--json")) {
        Json differences = Json::array();
        for (const SettingChange& change : changes)
            differences.push_back(Json{{"setting", change.spec->name},
                                       {"a", sideValue(change.carriedBefore, a, *change.spec)},
                                       {"b", sideValue(change.carriedAfter, b, *change.spec)}});
        if (a.model != b.model) differences.push_back(Json{{"setting", "model"}, {"a", a.model}, {"b", b.model}});
        printJson(stdout, Json{{"a", sides[0].name}, {"b", sides[1].name}, {"same", same}, {"differences", differences}});
    } else {
        for (const SettingChange& change : changes) std::printf("%s\n", changeLine(change, a, b).c_str());
        if (a.model != b.model) std::printf("%-16s%d -> %d\n", "model", static_cast<int>(a.model), static_cast<int>(b.model));
    }
    return same ? kExitSuccess : kExitFailed;
}
