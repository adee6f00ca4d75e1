// kavrelcfg write and kavrelcfg restore: new settings, or a backup byte for byte, onto the tracker.
// Both run the same steps after their command lines: what the tracker held (a read), what changes,
// the backup of what it held, the write with its verification (recorded while the tracker may be
// taking the image), and, when it failed, what the tracker may hold now and how to put back what
// it held.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/backup.h"
#include "link/backup_folder.h"
#include "cli/commands/commands.h"
#include "cli/file_argument.h"
#include "cli/device_report.h"
#include "cli/exit_status.h"
#include "cli/messages.h"
#include "cli/compat/interrupts.h"
#include "cli/named_files.h"
#include "cli/port_session.h"
#include "cli/settings_options.h"
#include "cli/settings_plan.h"
#include "cli/settings_printer.h"
#include "cli/compat/console.h"
#include "cli/tool_context.h"
#include "cli/device_run.h"
#include "link/write_record.h"
#include "config/config_image.h"
#include "config/generation_inference.h"

namespace {

// What the tracker held before the write, from the read that starts every write.
struct TrackerHeld {
    std::int32_t model = FirmwareModel::None;
    bool decoded = false;
    std::int32_t bytes = 0;  // image bytes that came, 128 when whole
    ConfigImage image{};
    TrackerSettings settings;
};

bool readTracker(ToolContext& tool, DeviceRun& transfer, TrackerHeld& held, int& status) {
    Configurator& configurator = tool.configurator;
    const TransferEnd end = transfer.request(configurator, TransferOp::VersionThenRead);
    const Outcome outcome = configurator.outcome;
    if (end != TransferEnd::Finished || outcome == Outcome::PortFailed || outcome == Outcome::NotFound) {
        status = reportTransfer(tool, transfer, end);
        return false;
    }
    held.model = configurator.settings.model;
    held.decoded = outcome == Outcome::Succeeded;
    held.bytes = configurator.bytesReceived;
    held.image = configurator.readImage;
    held.settings = configurator.settings;
    return true;
}

SettingsLayer trackerLayer(const TrackerHeld& held) {
    SettingsLayer base;
    base.source = held.decoded ? "the tracker" : "the tracker, whose configuration did not read,";
    base.values = held.settings;
    if (held.decoded) {
        base.given = carriedSettings(held.model);
        base.image = &held.image;
    }
    return base;
}

bool listChanges(const ToolContext& tool, const TrackerHeld& held, const TrackerSettings& after, bool dryRun) {
    std::vector<std::string> lines;
    if (held.decoded) {
        for (const SettingChange& change : settingChanges(held.settings, after))
            lines.push_back(changeLine(change, held.settings, after));
    } else {
        for (const SettingSpec& spec : kSettingSpecs) {
            char name[24];
            std::snprintf(name, sizeof name, "%-16s", spec.name);
            if (isCarried(spec.carried, after.model)) lines.push_back(name + std::string("(unread) -> ") + shownValue(after, spec));
        }
    }
    if (lines.empty()) return false;
    const std::string heading =
        std::string(dryRun ? "Would change" : "Changing") + " on " + tool.port.portName + ", " + generationName(held.model) + ":";
    if (dryRun) {
        std::printf("%s\n", heading.c_str());
        for (const std::string& line : lines) std::printf("  %s\n", line.c_str());
        std::fflush(stdout);  // before the notes on standard error, where both go to one place
    } else {
        printNote(heading);
        for (const std::string& line : lines) printNote("  " + line);
    }
    return true;
}

bool backUp(const TrackerHeld& held, const std::string& named, std::string& path) {
    if (held.bytes != kImageSize) {
        printError("cannot back up what the tracker holds: " +
                   (held.bytes == 0 ? std::string("it sent no image") : "it sent " + std::to_string(held.bytes) + " bytes, not 128"));
        printHint("--no-backup writes without a backup");
        return false;
    }
    std::string error;
    if (!saveBackup(named, held.image, held.decoded ? held.settings.callsign : std::string(), path, error)) {
        printError(error);
        printHint("--backup FILE saves the backup elsewhere; --no-backup writes without one");
        return false;
    }
    printNote("Backup of what the tracker held: " + path);
    return true;
}

std::string restoreCommandFor(const std::string& port, const std::string& file, const ConfigImage& image,
                              std::int32_t model) {
    // An image laid out for another generation is what this tracker held all the same.
    const InferredGeneration layout = inferGeneration(image);
    return restoreCommand(port, file, layout.recognised && layout.model != model);
}

bool recordedWrite(ToolContext& tool, DeviceRun& transfer, const ConfigImage* exact, const std::string& restore,
                   TransferEnd& end) {
    WriteRecord record;
    std::string error;
    if (!recordWrite(tool.port.portName, tool.port.baudRate, restore, record, error)) {
        printError("cannot keep the record of this write, which tells later commands when it did not finish: " + error +
                   "; nothing was written");
        printHint("XDG_STATE_HOME (or HOME) names the folder it is kept in");
        end = TransferEnd::Finished;
        return false;
    }
    printDetail("The write is recorded in " + record.file + " until the tracker answers after it.");
    Configurator& configurator = tool.configurator;
    end = transfer.write(configurator, exact);
    // A tracker that answers the read-back after it was judged holds the image all the same:
    // one more read tells, compared with what was sent.
    const bool late = configurator.bytesReceived < kImageSize &&
                      (configurator.outcome == Outcome::NotRead || configurator.outcome == Outcome::VerifyFailed);
    if (end == TransferEnd::Finished && late && transfer.imageBytesSent() == kImageSize && !transfer.interruptedWrite()) {
        printNote("The read-back was not complete in time (" + std::to_string(configurator.bytesReceived) +
                  " of 128 bytes); reading the tracker once more to verify.");
        end = transfer.request(configurator, TransferOp::VersionThenRead);
        if (end == TransferEnd::Finished && configurator.bytesReceived == kImageSize) configurator.verifyImage();
    }
    if (!transfer.writeCommandSent() || transfer.answeredAfterWriteCommand()) clearWriteRecord(record);
    return true;
}


void describeTrackerState(const DeviceRun& transfer, const std::string& restore) {
    const bool waiting = transfer.writeCommandSent() && !transfer.answeredAfterWriteCommand();
    if (!transfer.writeCommandSent())
        printAside("Nothing of the new image reached the tracker: it holds what it held before.");
    else if (transfer.imageBytesSent() < kImageSize)
        printAside("The tracker got the write command and " + std::to_string(transfer.imageBytesSent()) +
                   " of the 128 bytes of the new image: it may wait for the rest, or hold part of the new image "
                   "over the old one.");
    else
        printAside("The tracker got the whole new image, but its read-back did not confirm it: it may hold the new "
                   "image, a damaged one, or the old one.");
    if (waiting)
        printAside("It has not answered since: switch it off and on again before anything else, so that it drops an "
                   "unfinished image (a later kavrelcfg on this port asks it first, and sends nothing more while it "
                   "does not answer).");
    if (!transfer.writeCommandSent()) return;
    if (restore.empty()) {
        printAside("No backup was made (--no-backup).");
        return;
    }
    printAside("To write a whole image back and verify it:");
    printAside("  " + restore);
}


int reportWrite(const ToolContext& tool, const DeviceRun& transfer, TransferEnd end, const std::string& restore) {
    if (tool.configurator.outcome == Outcome::Declined) {
        // Ctrl-C at the question declines it; that is an interrupt, not an answer.
        if (interruptRequested()) {
            printError("interrupted; nothing was written");
            return kExitInterrupted;
        }
        printError("nothing written: the write was not confirmed");
        printHint("--yes accepts the questions where no terminal can answer them");
        return kExitFailed;
    }
    const int result = reportTransfer(tool, transfer, end);
    if (result != kExitSuccess && end != TransferEnd::Interrupted) describeTrackerState(transfer, restore);
    return transfer.interruptedWrite() ? kExitInterrupted : result;
}


// The settings a write must be given when the tracker's own did not decode: every one its
// generation carries that no file, document or --set gives.
std::vector<std::string> missingSettings(const SettingsOptions& sources, std::int32_t model) {
    std::vector<std::string> missing;
    const std::vector<SettingsLayer> layers = sources.layers(SettingsLayer{});
    for (const SettingSpec& spec : kSettingSpecs) {
        bool given = false;
        for (const SettingsLayer& layer : layers)
            for (SettingId id : layer.given) given = given || id == spec.id;
        if (isCarried(spec.carried, model) && !given) missing.push_back(spec.name);
    }
    return missing;
}

// Whether the tracker's own configuration is one to go on from; reported when it is not.
bool usableConfiguration(const ToolContext& tool, const TrackerHeld& held, const SettingsOptions& sources) {
    const std::string& port = tool.port.portName;
    const std::string status = quotedStatus(tool.configurator.statusMessage);
    if (held.bytes != kImageSize) {
        printError("the tracker on " + port + " sent " +
                   (held.bytes == 0 ? std::string("nothing") : std::to_string(held.bytes) + " bytes, not 128,") +
                   " when asked for its configuration " + status +
                   ": the line to it is not reliable; nothing was written");
        printHint("check the cable and that no other program uses the port; 'kavrelcfg read -p " + port +
                  " --trace' shows what the tracker sends");
        return false;
    }
    if (held.decoded) return true;
    std::string missing;
    for (const std::string& name : missingSettings(sources, held.model)) missing += (missing.empty() ? "" : ", ") + name;
    if (missing.empty()) {
        printWarning("the tracker's own configuration does not decode " + status + "; every setting comes from what was given");
        return true;
    }
    printError("the tracker's own configuration does not decode " + status +
               " (its indexes point outside its 128 bytes), so every setting must be given; not given: " + missing +
               "; nothing was written");
    printHint("'kavrelcfg restore -p " + port + " FILE.kvr' puts back a backup byte for byte; --from FILE.kvr gives "
              "every setting of a configuration file");
    return false;
}

}  // namespace

const CommandHelp kWriteHelp = {
    "", 0, 0, nullptr, {},
    "Writes settings to the tracker and reads them back to verify them. It reads the tracker "
    "first: its generation, and its settings, which a configuration file's (--from), a settings "
    "document's (--settings) and each --set change, in that order. Every value is checked before "
    "anything is sent; a setting the tracker's generation does not carry is refused. --force "
    "writes even when nothing changes, writes the tracker's or a file's own values that fail a "
    "check, and leaves out those the tracker does not carry.\n"
    "\n"
    "Before sending, it lists the settings that change and saves what the tracker held as a "
    "backup: in $XDG_STATE_HOME/kavrelcfg/backups/ (~/.local/state/kavrelcfg/backups/ without it; "
    "%LOCALAPPDATA%\\kavrelcfg\\backups\\ on Windows). A write that changes nothing sends nothing. "
    "The port is held from the first read to the verdict, so no other program comes in between. "
    "Once the image is under way, Ctrl-C lets it finish and be read back before the command ends. "
    "A write that fails or does not verify ends with the 'kavrelcfg restore' command that puts the "
    "backup back byte for byte. Until the tracker answers after the image, the write is recorded "
    "in the state folder (kavrelcfg/unfinished-writes/): should kavrelcfg die half-way (killed, or "
    "the adapter pulled), a later command on the port asks the tracker once before anything else, "
    "and sends nothing more while it does not answer.\n",
    "Exit status: 0 written and verified, nothing to change, or a dry run; 1 not written or not "
    "verified; 2 usage or a value refused; 130 interrupted.\n"};

int runWrite(const CliOptions& options) {
    const std::string& port = *options.port;
    SettingsOptions sources;
    if (const int status = readSettingsOptions(options, "write", sources); status != kExitSuccess) return status;

    catchInterrupts();
    ToolContext tool;
    tool.port.portName = port;
    tool.promptOptions.assumeYes = options.yes;
    DeviceRun transfer(tool.port, options.trace, standardErrorIsTerminal());
    int status = kExitFailed;
    TrackerHeld held;
    if (!takePort(tool, transfer, status) || !readTracker(tool, transfer, held, status)) return status;
    if (!usableConfiguration(tool, held, sources)) return kExitFailed;

    const ComposedSettings composed = composeSettings(sources.layers(trackerLayer(held)), held.model, sources.force);
    if (!reportComposition(composed)) return kExitUsage;
    if (!listChanges(tool, held, storedSettings(composed.settings), options.dryRun)) {
        if (!sources.force) {
            printNote("Nothing to change: the tracker on " + port + " holds these settings already; nothing sent.");
            return kExitSuccess;
        }
        printNote("Nothing changes; writing all the same (--force).");
    }
    if (options.dryRun) {
        printNote("Nothing sent (--dry-run).");
        return kExitSuccess;
    }
    std::string backupPath;
    if (!options.noBackup && !backUp(held, options.backup.value_or(""), backupPath)) return kExitFailed;
    if (interruptRequested()) {
        printError("interrupted; nothing was written");
        return kExitInterrupted;
    }

    const std::string restore = backupPath.empty() ? std::string() : restoreCommandFor(port, backupPath, held.image, held.model);
    tool.configurator.settings = composed.settings;
    TransferEnd end = TransferEnd::Finished;
    if (!recordedWrite(tool, transfer, nullptr, restore, end)) return kExitFailed;
    return reportWrite(tool, transfer, end, restore);
}

namespace {

// Whether the image can go to a tracker of this generation; reported when it cannot.
bool fitsTracker(const LoadedConfig& file, std::int32_t model, bool force) {
    const InferredGeneration& layout = file.generation;
    if (!layout.recognised || layout.model == model) return true;
    const std::string message = displayName(file.name) + " is laid out for " + generationName(layout.model) + " (" +
                                layout.evidence + "), the tracker for " + generationName(model) +
                                ", which reads the same bytes as other settings";
    if (force) {
        printWarning(message + "; written all the same (--force)");
        return true;
    }
    printError(message + "; nothing was written");
    printHint("--force writes it all the same, as when it is what this tracker held");
    return false;
}

}  // namespace

const CommandHelp kRestoreHelp = {
    "FILE.kvr", 1, 1, "give exactly one FILE.kvr (- for standard input)", {Completes::Files, "kvr"},
    "Writes the 128 bytes of a configuration file's image (- for standard input) to the tracker\n"
    "as they are, and reads them back to verify them byte for byte: how a backup that 'kavrelcfg\n"
    "write' made goes back, whatever it holds. The file must be whole (136 bytes), and its image\n"
    "laid out for the tracker's generation or for none (an image such as a tracker holds when it\n"
    "is blank or damaged); --force writes an image laid out for another generation all the same\n"
    "(a tracker can hold one: the backup of it says so). What the tracker held is backed up\n"
    "first, as 'write' does; a tracker that holds the image already is sent nothing.\n",
    "Exit status: 0 written and verified, or held already; 1 not written or not verified;\n"
    "2 usage; 130 interrupted.\n"};

int runRestore(const CliOptions& options) {
    const std::string& port = *options.port;
    const std::string& name = options.operands[0].text;
    if (options.backup == "-" && name == "-")
        return usageError("restore", "the file and the backup cannot both be standard input and output");
    const LoadedConfig file = loadConfig(name, std::nullopt);
    if (!file.imageWhole()) {
        reportLoadFailure(file);
        return kExitFailed;
    }

    catchInterrupts();
    ToolContext tool;
    tool.port.portName = port;
    DeviceRun transfer(tool.port, options.trace, standardErrorIsTerminal());
    int status = kExitFailed;
    TrackerHeld held;
    if (!takePort(tool, transfer, status) || !readTracker(tool, transfer, held, status)) return status;
    if (!fitsTracker(file, held.model, options.force)) return kExitFailed;
    if (held.bytes == kImageSize && held.image == file.image) {
        printNote("The tracker on " + port + " holds the image of " + displayName(name) + " already; nothing sent.");
        return kExitSuccess;
    }
    std::string backupPath;
    if (held.bytes != kImageSize)
        printWarning("no backup of what the tracker holds: it sent " + std::to_string(held.bytes) + " bytes, not 128");
    else if (!options.noBackup && !backUp(held, options.backup.value_or(""), backupPath))
        return kExitFailed;
    if (interruptRequested()) {
        printError("interrupted; nothing was written");
        return kExitInterrupted;
    }
    // Should this fail, the file is still what the tracker is to hold.
    const std::string restore = name == "-" ? std::string() : restoreCommandFor(port, name, file.image, held.model);
    TransferEnd end = TransferEnd::Finished;
    if (!recordedWrite(tool, transfer, &file.image, restore, end)) return kExitFailed;
    return reportWrite(tool, transfer, end, restore);
}
