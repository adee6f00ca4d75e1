// The settings a user gives encode and write: a configuration file (--from), a settings document
// (--settings) and the --set assignments, each read and checked on its own before anything else
// happens, and then laid over a base (the tracker's settings or the defaults) in that order.
#pragma once

#include <vector>

#include "cli/command_line.h"
#include "cli/file_argument.h"
#include "cli/settings_document.h"
#include "cli/settings_plan.h"

struct SettingsOptions {
    bool hasFrom = false;
    LoadedConfig from;
    bool hasDocument = false;
    SettingsDocument document;
    SettingsLayer assignments;  // --set, in order
    bool force = false;

    // The base, then the file, the document and the assignments. The layers point into this
    // object and the base's image: keep both alive while they are used.
    std::vector<SettingsLayer> layers(const SettingsLayer& base) const;
    // The generation the sources were made for, when they say: the document's, else the file's.
    bool sourceModel(std::int32_t& model) const;
};

// Reads --from, --settings and --set (and --force). Answers kExitSuccess, or the exit status of a
// failure it has reported.
int readSettingsOptions(const CliOptions& options, const char* command, SettingsOptions& sources);

// Prints the refusals (answering false), then the warnings and notes of a composition.
bool reportComposition(const ComposedSettings& composed);
