#include "cli/settings_options.h"

#include "cli/exit_status.h"
#include "cli/messages.h"
#include "cli/named_files.h"

std::vector<SettingsLayer> SettingsOptions::layers(const SettingsLayer& base) const {
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

bool SettingsOptions::sourceModel(std::int32_t& model) const {
    if (hasDocument && document.hasModel) {
        model = document.model;
        return true;
    }
    if (hasFrom) model = from.generation.model;
    return hasFrom;
}

int readSettingsOptions(const CliOptions& options, const char* command, SettingsOptions& sources) {
    std::string error;
    sources.force = options.force;
    sources.assignments.source = "--set";
    sources.assignments.own = false;
    // Every bad --set is named at once, so one more try fixes them all.
    bool refused = false;
    for (const std::string& text : options.set)
        if (!parseAssignment(text, sources.assignments, error)) {
            printError(error);
            refused = true;
        }
    if (refused) {
        printHint("'kavrelcfg help settings' lists every setting and the values it takes");
        return kExitUsage;
    }
    const std::optional<std::string>& from = options.from;
    const std::optional<std::string>& document = options.settings;
    if (from && document && *from == "-" && *document == "-")
        return usageError(command, "--from and --settings cannot both read standard input");
    if (from) {
        sources.hasFrom = true;
        // Read here, as diff does, so that the bytes can tell a settings document given by mistake.
        std::string bytes;
        if (readNamedFile(*from, kMaxFileBytes, bytes, sources.from.errorCode))
            sources.from = loadConfigBytes(*from, bytes, std::nullopt);
        sources.from.name = *from;
        if (!sources.from.decoded) {
            reportLoadFailure(sources.from);
            if (looksLikeSettingsDocument(bytes)) printHint("it looks like a settings document: give it with --settings");
            return kExitFailed;
        }
        printDetail(*from + ": read as " + std::to_string(sources.from.generation.model) + " (" +
                    sources.from.generation.evidence + ")");
    }
    if (document) {
        sources.hasDocument = true;
        std::string hint;
        const int status = loadSettingsDocument(*document, sources.document, error, hint);
        if (status != kExitSuccess) {
            printError(error);
            if (!hint.empty()) printHint(hint);
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
