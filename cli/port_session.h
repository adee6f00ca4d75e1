// The port of a device command: a name that can be one, held from the first open to the
// command's end, and asked first, where an earlier write to it never finished, whether the tracker
// still waits for the rest of that image.
#pragma once

#include <string>

#include "cli/tool_context.h"
#include "cli/device_run.h"

// Empty, or holding a control character (which no device name has and no printed command could
// carry): false with why.
bool usablePortName(const std::string& name, std::string& why);

// Holds tool's port and checks for an unfinished write to it. false, reported with the exit
// status in status, when nothing more may be sent: the tracker may still be taking that image.
bool takePort(ToolContext& tool, DeviceRun& transfer, int& status);
