// Settings documents: the JSON object 'read --json' and 'show --json' print, read back for
// encode and write (--settings). Every key is optional; a key sets its setting, "model" says which
// generation the document came from. Texts are bytes, as the printer writes them (\u00NN).
#pragma once

#include <string>

#include "cli/settings_plan.h"

struct SettingsDocument {
    SettingsLayer layer;  // the settings the document gives, own values of the document
    bool hasModel = false;
    std::int32_t model = 0;
};

// Reads the document in text, named name in messages. false with error set when it is no JSON
// object of plain values, gives a key twice, has an unknown key, or a value of the wrong type or
// one its setting cannot hold. Callsigns and paths are taken in the form the image gives back.
bool parseSettingsDocument(const std::string& text, const std::string& name, SettingsDocument& document,
                           std::string& error);

// Reads the named document ("-" for standard input). Answers kExitSuccess, kExitFailed when it does
// not read, or kExitUsage when it is no settings document; error tells why, and hint what to do
// when it is a configuration file instead.
int loadSettingsDocument(const std::string& name, SettingsDocument& document, std::string& error, std::string& hint);

// Whether the bytes of a file look like a settings document: a JSON object.
bool looksLikeSettingsDocument(const std::string& bytes);
