// kavrelcfg diff: two configurations compared setting by setting, with diff(1)'s exit statuses.
#include <cstdio>

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

// The settings of one side; false, reported, when there are none.
int loadSide(const Operand& side, std::optional<std::int32_t> model, bool trace, TrackerSettings& settings) {
    if (side.option != nullptr) {
        ToolContext tool;
        tool.port.portName = side.text;
        DeviceRun transfer(tool.port, trace, false);
        int status = kExitFailed;
        if (!takePort(tool, transfer, status)) return status == kExitInterrupted ? status : kExitUsage;
        const TransferEnd end = transfer.request(tool.configurator, TransferOp::VersionThenRead);
        if (end != TransferEnd::Finished || tool.configurator.outcome != Outcome::Succeeded) {
            status = reportTransfer(tool, transfer, end);
            return status == kExitInterrupted ? status : kExitUsage;
        }
        settings = tool.configurator.settings;
        return kExitSuccess;
    }
    std::string bytes;
    int errorCode = 0;
    if (!readNamedFile(side.text, kMaxFileBytes, bytes, errorCode)) {
        printError(fileFailure("read", displayName(side.text), errorCode));
        return kExitUsage;
    }
    if (looksLikeConfigFile(bytes)) {
        const LoadedConfig loaded = loadConfigBytes(side.text, bytes, model);
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
    if (!parseSettingsDocument(bytes, displayName(side.text), document, error)) {
        printError(error + " (nor a configuration file)");
        return kExitUsage;
    }
    settings = document.layer.values;
    settings.model = document.hasModel ? document.model : FirmwareModel::FaV1_4;
    return kExitSuccess;
}

Json sideValue(bool carried, const TrackerSettings& settings, const SettingSpec& spec) {
    return carried ? jsonValue(settings, spec) : Json(nullptr);
}

}  // namespace

const CommandHelp kDiffHelp = {
    "A B", 2, 2, "give two configurations: files, - or -p PORT", {Completes::Files, "kvr"},
    "Compares two configurations setting by setting and lists the settings that differ, as "
    "'name  A -> B'. A and B are each a configuration file (.kvr), a settings document (as "
    "'read --json' prints it; a key it lacks counts as its default), - for standard input, or "
    "-p PORT for the tracker on that port. A file's generation is read from its image; "
    "--generation N reads both .kvr files as generation N instead. With --json it prints one "
    "JSON object: a, b, same, and the differences.\n",
    "Exit status: 0 the same, 1 different, 2 trouble (usage, a file that does not load, no "
    "tracker), 130 interrupted.\n"};

int runDiff(const CliOptions& options) {
    const std::vector<Operand>& sides = options.operands;
    if (sides[0].option == nullptr && sides[1].option == nullptr && sides[0].text == "-" && sides[1].text == "-")
        return usageError("diff", "only one of the two can be standard input");

    catchInterrupts();
    TrackerSettings settings[2];
    for (int k = 0; k < 2; ++k)
        if (const int status = loadSide(sides[k], options.generation, options.trace, settings[k]);
            status != kExitSuccess)
            return status;
    const TrackerSettings& a = settings[0];
    const TrackerSettings& b = settings[1];

    const std::vector<SettingChange> changes = settingChanges(a, b);
    const bool same = changes.empty() && a.model == b.model;
    if (options.json) {
        Json differences = Json::array();
        for (const SettingChange& change : changes)
            differences.push_back(Json{{"setting", change.spec->name},
                                       {"a", sideValue(change.carriedBefore, a, *change.spec)},
                                       {"b", sideValue(change.carriedAfter, b, *change.spec)}});
        if (a.model != b.model) differences.push_back(Json{{"setting", "model"}, {"a", a.model}, {"b", b.model}});
        printJson(stdout, Json{{"a", sides[0].text}, {"b", sides[1].text}, {"same", same}, {"differences", differences}});
    } else {
        for (const SettingChange& change : changes) std::printf("%s\n", changeLine(change, a, b).c_str());
        if (a.model != b.model) std::printf("%-16s%d -> %d\n", "model", static_cast<int>(a.model), static_cast<int>(b.model));
    }
    return same ? kExitSuccess : kExitFailed;
}
