// The Configurator's status message as kavrelcfg reports it: on standard error, and as the exit
// status.
#pragma once

#include <string>

// The messages that mean the operation did what was asked; every other message is a failure.
bool isSuccessStatus(const std::string& status);

// Prints the status (control characters made visible) on standard error and answers the exit
// status it stands for.
int reportStatus(const std::string& status);
