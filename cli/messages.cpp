#include "cli/messages.h"

#include <cstdio>

#include "cli/text_escaping.h"
#include "link/device_transfer.h"

namespace {

Verbosity current = Verbosity::Normal;

void print(const char* prefix, const std::string& message) {
    std::string shown;
    for (char c : message) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte != 0x7F) {
            shown += c;
            continue;
        }
        char escaped[8];
        std::snprintf(escaped, sizeof escaped, "\\x%02x", static_cast<unsigned>(byte));
        shown += escaped;
    }
    std::fprintf(stderr, "%s%s\n", prefix, shown.c_str());
}

}  // namespace

void setVerbosity(Verbosity verbosity) { current = verbosity; }

Verbosity verbosity() { return current; }

void printError(const std::string& message) { print("kavrelcfg: error: ", message); }

void printWarning(const std::string& message) { print("kavrelcfg: warning: ", message); }

void printHint(const std::string& message) { print("hint: ", message); }

void printAside(const std::string& message) { print("", message); }

void printNote(const std::string& message) {
    if (current != Verbosity::Quiet) print("", message);
}

void printDetail(const std::string& message) {
    if (current == Verbosity::Verbose) print("", message);
}

std::string quotedStatus(const std::string& status) { return "(\"" + visibleText(status, true) + "\")"; }

std::string generationName(std::int32_t model) {
    std::string name = "generation " + std::to_string(model);
    for (const VersionText& version : kVersionTexts)
        if (version.model == model) return name + " (" + version.text + ")";
    return name + " (no tracker identified)";
}
