#include "cli/setting_sources.h"

#include "cli/exit_status.h"
#include "cli/messages.h"

const OptionSpec kSourceOptions[4] = {
    {"--from", nullptr, true}, {"--settings", nullptr, true}, {"--set", nullptr, true}, {"--force", nullptr, false}};

std::vector<SettingsLayer> SettingSources::layers(const SettingsLayer& base) const {
    std::vector<SettingsLayer> all{base};
    if (hasFrom) {
        SettingsLayer file;
        file.source = from.name;
        file.values = from.settings;
        file.given = carriedSettings(from.generation.model);
        file.image = &from.image;
        all.push_back(file);
    }
    if (hasDocument) all.push_back(document.layer);
    all.push_back(assignments);
    return all;
}

bool SettingSources::sourceModel(std::int32_t& model) const {
    if (hasDocument && document.hasModel) {
        model = document.model;
        return true;
    }
    if (hasFrom) model = from.generation.model;
    return hasFrom;
}

int readSettingSources(const ParsedArguments& parsed, const char* command, SettingSources& sources) {
    std::string error;
    sources.force = hasOption(parsed, "--force");
    sources.assignments.source = "--set";
    sources.assignments.own = false;
    // Every bad --set is named at once, so one more try fixes them all.
    bool refused = false;
    for (const std::string& text : allValues(parsed, "--set"))
        if (!parseAssignment(text, sources.assignments, error)) {
            printError(error);
            refused = true;
        }
    if (refused) {
        printHint("'kavrelcfg help settings' lists every setting and the values it takes");
        return kExitUsage;
    }
    const std::string* from = lastValue(parsed, "--from");
    const std::string* document = lastValue(parsed, "--settings");
    if (from != nullptr && document != nullptr && *from == "-" && *document == "-")
        return usageError(command, "--from and --settings cannot both read standard input");
    if (from != nullptr) {
        sources.hasFrom = true;
        sources.from = loadConfig(*from, nullptr);
        if (!sources.from.decoded) {
            reportLoadFailure(sources.from);
            return kExitFailed;
        }
        printDetail(*from + ": read as " + std::to_string(sources.from.generation.model) + " (" +
                    sources.from.generation.evidence + ")");
    }
    if (document != nullptr) {
        sources.hasDocument = true;
        const int status = loadSettingsDocument(*document, sources.document, error);
        if (status != kExitSuccess) {
            printError(error);
            return status;
        }
    }
    return kExitSuccess;
}

bool reportComposition(const ComposedSettings& composed) {
    for (const std::string& refusal : composed.refusals) printError(refusal);
    if (!composed.refusals.empty()) {
        if (composed.forceWouldHelp)
            printHint("--force stores a tracker's or file's own values as they are and leaves out what the "
                      "generation does not carry; a --set is never forced");
        printHint("'kavrelcfg help settings' lists every setting and the values it takes");
        return false;
    }
    for (const std::string& warning : composed.warnings) printWarning(warning);
    for (const std::string& note : composed.notes) printNote(note);
    return true;
}
