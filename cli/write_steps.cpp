#include "cli/write_steps.h"

#include <cstdio>

#include "cli/backup.h"
#include "cli/device_report.h"
#include "cli/exit_status.h"
#include "cli/generation_name.h"
#include "cli/interrupts.h"
#include "cli/messages.h"
#include "cli/settings_printer.h"
#include "cli/write_record.h"
#include "config/generation_inference.h"

bool readTracker(ToolContext& tool, TransferDisplay& display, TrackerHeld& held, int& status) {
    Configurator& configurator = tool.configurator;
    const TransferEnd end = display.request(configurator, VersionThenRead);
    const Outcome outcome = configurator.outcome;
    if (end != TransferEnd::Finished || outcome == Outcome::PortFailed || outcome == Outcome::NotFound) {
        status = reportTransfer(tool, display, end);
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

bool recordedWrite(ToolContext& tool, TransferDisplay& display, const ConfigImage* exact, const std::string& restore,
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
    end = display.write(configurator, exact);
    // A tracker that answers the read-back after it was judged holds the image all the same:
    // one more read tells, compared with what was sent.
    const bool late = configurator.bytesReceived < kImageSize &&
                      (configurator.outcome == Outcome::NotRead || configurator.outcome == Outcome::VerifyFailed);
    if (end == TransferEnd::Finished && late && display.imageBytesSent() == kImageSize && !display.interruptedWrite()) {
        printNote("The read-back was not complete in time (" + std::to_string(configurator.bytesReceived) +
                  " of 128 bytes); reading the tracker once more to verify.");
        end = display.request(configurator, VersionThenRead);
        if (end == TransferEnd::Finished && configurator.bytesReceived == kImageSize) configurator.verifyImage();
    }
    if (!display.writeCommandSent() || display.answeredAfterWriteCommand()) clearWriteRecord(record);
    return true;
}

namespace {

void describeTrackerState(const TransferDisplay& display, const std::string& restore) {
    const bool waiting = display.writeCommandSent() && !display.answeredAfterWriteCommand();
    if (!display.writeCommandSent())
        printAside("Nothing of the new image reached the tracker: it holds what it held before.");
    else if (display.imageBytesSent() < kImageSize)
        printAside("The tracker got the write command and " + std::to_string(display.imageBytesSent()) +
                   " of the 128 bytes of the new image: it may wait for the rest, or hold part of the new image "
                   "over the old one.");
    else
        printAside("The tracker got the whole new image, but its read-back did not confirm it: it may hold the new "
                   "image, a damaged one, or the old one.");
    if (waiting)
        printAside("It has not answered since: switch it off and on again before anything else, so that it drops an "
                   "unfinished image (a later kavrelcfg on this port asks it first, and sends nothing more while it "
                   "does not answer).");
    if (!display.writeCommandSent()) return;
    if (restore.empty()) {
        printAside("No backup was made (--no-backup).");
        return;
    }
    printAside("To write a whole image back and verify it:");
    printAside("  " + restore);
}

}  // namespace

int reportWrite(const ToolContext& tool, const TransferDisplay& display, TransferEnd end, const std::string& restore) {
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
    const int result = reportTransfer(tool, display, end);
    if (result != kExitSuccess && end != TransferEnd::Interrupted) describeTrackerState(display, restore);
    return display.interruptedWrite() ? kExitInterrupted : result;
}
