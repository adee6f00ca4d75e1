// A configuration file as show, hex, diff, encode and write take it: its image, the generation
// that laid the image out (inferred from the image unless --generation names it) and the settings as
// that generation reads them. "-" is standard input.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "config/config_file.h"
#include "config/generation_inference.h"
#include "config/tracker_settings.h"

struct LoadedConfig {
    std::string name;
    bool read = false;  // the file's bytes were read; errorCode tells why not
    int errorCode = 0;
    FileParse parse = FileParse::BadMagic;
    std::size_t imageBytes = 0;
    std::string inexact;   // why the strict tool refuses a file the window loads: more bytes, "kvr1"
    bool decoded = false;  // the settings were taken from the whole image
    ConfigImage image{};
    InferredGeneration generation;
    bool modelGiven = false;
    TrackerSettings settings;  // the defaults, then what the image gives under generation.model
    bool imageWhole() const { return read && parse == FileParse::Complete && inexact.empty(); }
};

// model: the generation given with --generation, or none to infer it.
LoadedConfig loadConfig(const std::string& name, std::optional<std::int32_t> model);
// The same for a file's bytes read already.
LoadedConfig loadConfigBytes(const std::string& name, const std::string& bytes, std::optional<std::int32_t> model);
// The bytes of a file that may be a configuration file: they begin with its magic.
bool looksLikeConfigFile(const std::string& bytes);

// Says which generation the image was read as and why (a note, or a warning when the layout names
// none); nothing when --generation named it.
void noteGeneration(const LoadedConfig& loaded);

// For a file that did not load or decode: the error, with the window's status quoted.
void reportLoadFailure(const LoadedConfig& loaded);
