// The Configurator's status message as kavrelcfg reports it: on standard error, and as the exit
// status, which follows the outcome, never the text.
#pragma once

#include <string>

class Configurator;

// Prints the status (control characters made visible) on standard error; answers kExitSuccess
// when it stands for success, kExitFailed otherwise.
int reportStatus(const std::string& status, bool succeeded);
int reportOutcome(const Configurator& configurator);
