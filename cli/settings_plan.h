// The settings a write or an encode stores, made of layers given in order: the base (the
// tracker's own settings, or the defaults), a configuration file (--from), a settings document
// (--settings) and the --set assignments. The result is checked for the generation it is laid
// out for: nothing is stored that the user did not ask for, and nothing asked for is dropped.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "config/settings_table.h"
#include "config/tracker_settings.h"

struct SettingsLayer {
    std::string source;  // for messages: "the tracker", "old.kvr", "--set"
    bool own = true;     // a tracker's or file's own values, which --force may write; not --set
    TrackerSettings values;
    std::vector<SettingId> given;        // the settings this layer sets
    const ConfigImage* image = nullptr;  // the image the values were decoded from, if any
};

struct ComposedSettings {
    TrackerSettings settings;           // to be encoded, with model the target generation
    std::vector<std::string> refusals;  // "NAME: why": nothing may be stored
    bool forceWouldHelp = false;        // some refusals concern own values, which --force writes
    std::vector<std::string> warnings;  // own values --force lets through, and what it leaves out
    std::vector<std::string> notes;     // values stored otherwise than given (rounded to a step)
};

// Layers in order, the base first. A setting that a layer gives and the target does not carry is
// refused (left out with --force, for own values); every value is checked (own ones that fail are
// written with --force); the result must fit the image. A delay or quiet time equal to what an
// image among the layers gives keeps that image's byte, so a value read and written back stays.
ComposedSettings composeSettings(const std::vector<SettingsLayer>& layers, std::int32_t model, bool force);

// The names of every setting, for a message about an unknown one.
std::string settingNames();

// A --set NAME=VALUE, checked against its setting alone (the target is checked later).
bool parseAssignment(const std::string& text, SettingsLayer& layer, std::string& error);
