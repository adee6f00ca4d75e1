// How a device command reports the end of its transfer: the tracker's status as a note on
// success; on failure "kavrelcfg: error: what: why", with the system's reason for a port that
// failed, the tracker's status quoted, and a hint where one helps. Each answers the exit status.
#pragma once

#include "cli/device_run.h"

struct ToolContext;

int reportTransfer(const ToolContext& tool, const DeviceRun& transfer, TransferEnd end);

// A port that did not open or failed during the transfer.
void reportPortFailure(const std::string& portName, const std::string& text, int code, bool opening);
