// The steps of 'kavrelcfg write' and 'kavrelcfg restore' after their command lines: what the
// tracker held, what changes, the backup, the write with its verification (recorded while the
// tracker may be taking the image), and what the tracker may hold when it failed.
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

// Reads the tracker; false, reported with status, when no tracker answered with an image.
bool readTracker(ToolContext& tool, TransferDisplay& display, TrackerHeld& held, int& status);

// The base layer of the settings: the tracker's own, or none when they did not read.
SettingsLayer trackerLayer(const TrackerHeld& held);

// Lists what the write changes, setting by setting, before -> after: on standard output for a
// dry run, as notes otherwise. false when nothing changes.
bool listChanges(const ToolContext& tool, const TrackerHeld& held, const TrackerSettings& after, bool dryRun);

// Saves what the tracker held (to named, or a new file in the backup folder); false, reported,
// when it cannot. path is the backup's.
bool backUp(const TrackerHeld& held, const std::string& named, std::string& path);

// The command that puts image back on the tracker that held it, of generation model, from file.
std::string restoreCommandFor(const std::string& port, const std::string& file, const ConfigImage& image,
                              std::int32_t model);

// Records the write (restore: the command that puts back what the tracker held), runs it (exact:
// that image byte for byte; else the Configurator's settings) with its verification, reading the
// tracker once more when the read-back came too late, and keeps the record only while the tracker
// may still be waiting for image bytes. false, reported, when the record cannot be kept: nothing
// was sent then. end: how the transfer ended.
bool recordedWrite(ToolContext& tool, TransferDisplay& display, const ConfigImage* exact, const std::string& restore,
                   TransferEnd& end);

// The outcome of a recorded write and its exit status; after a failure, what the tracker may hold
// now and the restore command.
int reportWrite(const ToolContext& tool, const TransferDisplay& display, TransferEnd end, const std::string& restore);
