// The steps of 'kavrelcfg write' after its command line: what the tracker held, what changes,
// the backup, the write with its verification, and what the tracker may hold when it failed.
#pragma once

#include <string>
#include <vector>

#include "cli/settings_plan.h"
#include "cli/tool_context.h"
#include "cli/transfer_display.h"

// What the tracker held before the write, from the read that starts every write.
struct TrackerHeld {
    std::int32_t model = None;
    bool decoded = false;
    std::int32_t bytes = 0;  // image bytes that came, 128 when whole
    ConfigImage image{};
    TrackerSettings settings;
};

// The base layer of the settings: the tracker's own, or none when they did not read.
SettingsLayer trackerLayer(const TrackerHeld& held);

// Lists what the write changes, setting by setting, before -> after: on standard output for a
// dry run, as notes otherwise. false when nothing changes.
bool listChanges(const ToolContext& tool, const TrackerHeld& held, const TrackerSettings& after, bool dryRun);

// Saves what the tracker held (to named, or a new file in the backup folder); false, reported,
// when it cannot. path is the backup's.
bool backUp(const TrackerHeld& held, const std::string& named, std::string& path);

// The write and its verification; when the read-back came too late, the tracker is read once
// more and compared with what was sent. Answers how the transfer ended.
TransferEnd writeAndVerify(ToolContext& tool, TransferDisplay& display);

// After a failed or unverified write: what the tracker may hold now, and how to restore it.
void describeTrackerState(const TransferDisplay& display, const std::string& port, const std::string& backupPath);
