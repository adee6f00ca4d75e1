#include "cli/messages.h"

#include <cstdio>

#include "platform/byte_text.h"
#include "link/device_transfer.h"

namespace {

Verbosity current = Verbosity::Normal;

void print(const char* prefix, const std::string& message) {
    std::fprintf(stderr, "%s%s\n", prefix, escapedText(message, Escaping::Controls).c_str());
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

std::string quotedStatus(const std::string& status) { return "(\"" + escapedText(status, Escaping::Quoted) + "\")"; }

std::string generationName(std::int32_t model) {
    std::string name = "generation " + std::to_string(model);
    for (const VersionText& version : kVersionTexts)
        if (version.model == model) return name + " (" + version.text + ")";
    return name + " (no tracker identified)";
}
