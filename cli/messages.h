// What kavrelcfg tells on standard error besides the data it prints: errors as
// "kavrelcfg: error: what: why", warnings, hints, and notes that -q silences and -v adds to.
// Control characters in a message are shown as \xNN; paths and typed text stay as they are, so
// that a command quoted in a message can be copied. Texts from a tracker or an image are made
// visible by the caller (escapedText).
#pragma once

#include <cstdint>
#include <string>

enum class Verbosity { Quiet, Normal, Verbose };

void setVerbosity(Verbosity verbosity);
Verbosity verbosity();

void printError(const std::string& message);    // "kavrelcfg: error: message", always
void printWarning(const std::string& message);  // "kavrelcfg: warning: message", always
void printHint(const std::string& message);     // "hint: message", always, after an error
void printAside(const std::string& message);    // the message as it is, always: part of a failure
void printNote(const std::string& message);     // the message as it is, unless -q
void printDetail(const std::string& message);   // the message as it is, with -v only

// A tracker's or a file's status text as messages quote it, made visible: ("Config not read ").
std::string quotedStatus(const std::string& status);

// How messages name a firmware generation: "generation 2 (Kavrel v1.2)".
std::string generationName(std::int32_t model);
