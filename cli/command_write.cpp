// kavrelcfg write: new settings onto the tracker, checked, backed up, written and verified.
#include <cstdio>

#include "cli/argument_parser.h"
#include "cli/commands.h"
#include "cli/device_report.h"
#include "cli/exit_status.h"
#include "cli/interrupts.h"
#include "cli/messages.h"
#include "cli/port_session.h"
#include "cli/setting_sources.h"
#include "cli/settings_help.h"
#include "cli/terminal.h"
#include "cli/write_steps.h"

namespace {

const char kUsage[] =
    "Usage: kavrelcfg write -p PORT [--from FILE.kvr] [--settings FILE.json] [--set NAME=VALUE]...\n"
    "                       [--dry-run] [--force] [--yes] [--backup FILE | --no-backup] [--trace]\n"
    "\n"
    "Writes settings to the tracker and reads them back to verify them. It reads the tracker\n"
    "first: its generation, and its settings, which a configuration file's (--from), a settings\n"
    "document's (--settings) and each --set change, in that order. Every value is checked before\n"
    "anything is sent; a setting the tracker's generation does not carry is refused.\n"
    "\n"
    "Before sending, it lists the settings that change and saves what the tracker held as a\n"
    "backup: in $XDG_STATE_HOME/kavrelcfg/backups/ (~/.local/state/kavrelcfg/backups/ without it;\n"
    "%LOCALAPPDATA%\\kavrelcfg\\backups\\ on Windows). A write that changes nothing sends nothing.\n"
    "The port is held from the first read to the verdict, so no other program comes in between.\n"
    "Once the image is under way, Ctrl-C lets it finish and be read back before the command ends.\n"
    "A write that fails or does not verify ends with the 'kavrelcfg restore' command that puts the\n"
    "backup back byte for byte. Until the tracker answers after the image, the write is recorded\n"
    "in the state folder (kavrelcfg/unfinished-writes/): should kavrelcfg die half-way (killed, or\n"
    "the adapter pulled), a later command on the port asks the tracker once before anything else,\n"
    "and sends nothing more while it does not answer.\n"
    "\n"
    "  -p, --port PORT       the serial port: COM3 on Windows, /dev/ttyUSB0 or a pty elsewhere\n"
    "  --from FILE.kvr       write this file's settings (- for standard input)\n"
    "  --settings FILE.json  apply this settings document, as 'read --json' prints it\n"
    "  --set NAME=VALUE      change one setting\n"
    "  --dry-run             list what would change, and send nothing\n"
    "  --force               write even when nothing changes; write the tracker's or a file's own\n"
    "                        values that fail a check, and leave out those the tracker does not\n"
    "                        carry (a bad --set is refused all the same)\n"
    "  -y, --yes             accept the questions about a long path or a short transmit rate;\n"
    "                        without it they are asked on a terminal and declined otherwise\n"
    "  --backup FILE         save the backup to FILE (- for standard output)\n"
    "  --no-backup           make no backup\n"
    "  --trace               print the bytes exchanged, with their times\n"
    "\n"
    "Exit status: 0 written and verified, nothing to change, or a dry run; 1 not written or not\n"
    "verified; 2 usage or a value refused; 130 interrupted.\n\n";

// The settings a write must be given when the tracker's own did not decode: every one its
// generation carries that no file, document or --set gives.
std::vector<std::string> missingSettings(const SettingSources& sources, std::int32_t model) {
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
bool usableConfiguration(const ToolContext& tool, const TrackerHeld& held, const SettingSources& sources) {
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

int runWrite(const Arguments& args) {
    ParsedArguments parsed;
    std::string error;
    std::vector<OptionSpec> specs(std::begin(kSourceOptions), std::end(kSourceOptions));
    specs.insert(specs.end(), {{"--port", "-p", true}, {"--dry-run", nullptr, false}, {"--yes", "-y", false},
                               {"--backup", nullptr, true}, {"--no-backup", nullptr, false}, {"--trace", nullptr, false}});
    if (!parseArguments(args, specs, parsed, error)) return usageError("write", error);
    if (parsed.help) {
        printHelp(kUsage);
        printSettingsHelp(stdout);
        return kExitSuccess;
    }
    if (!parsed.positionals.empty()) return usageError("write", "unexpected argument '" + parsed.positionals[0] + "'");
    const std::string* port = lastValue(parsed, "--port");
    if (port == nullptr) return usageError("write", "give the serial port with -p PORT");
    if (!usablePortName(*port, error)) return usageError("write", error);
    const std::string* backupFile = lastValue(parsed, "--backup");
    const bool noBackup = hasOption(parsed, "--no-backup");
    if (backupFile != nullptr && noBackup) return usageError("write", "--backup and --no-backup exclude each other");
    const bool dryRun = hasOption(parsed, "--dry-run");
    SettingSources sources;
    if (const int status = readSettingSources(parsed, "write", sources); status != kExitSuccess) return status;

    catchInterrupts();
    ToolContext tool;
    tool.port.portName = *port;
    tool.promptOptions.assumeYes = hasOption(parsed, "--yes");
    TransferDisplay display(tool.port, hasOption(parsed, "--trace"), standardErrorIsTerminal());
    int status = kExitFailed;
    TrackerHeld held;
    if (!takePort(tool, display, status) || !readTracker(tool, display, held, status)) return status;
    if (!usableConfiguration(tool, held, sources)) return kExitFailed;

    const ComposedSettings composed = composeSettings(sources.layers(trackerLayer(held)), held.model, sources.force);
    if (!reportComposition(composed)) return kExitUsage;
    if (!listChanges(tool, held, storedSettings(composed.settings), dryRun)) {
        if (!sources.force) {
            printNote("Nothing to change: the tracker on " + *port + " holds these settings already; nothing sent.");
            return kExitSuccess;
        }
        printNote("Nothing changes; writing all the same (--force).");
    }
    if (dryRun) {
        printNote("Nothing sent (--dry-run).");
        return kExitSuccess;
    }
    std::string backupPath;
    if (!noBackup && !backUp(held, backupFile != nullptr ? *backupFile : std::string(), backupPath)) return kExitFailed;
    if (interruptRequested()) {
        printError("interrupted; nothing was written");
        return kExitInterrupted;
    }

    const std::string restore = backupPath.empty() ? std::string() : restoreCommandFor(*port, backupPath, held.image, held.model);
    tool.configurator.settings = composed.settings;
    TransferEnd end = TransferEnd::Finished;
    if (!recordedWrite(tool, display, nullptr, restore, end)) return kExitFailed;
    return reportWrite(tool, display, end, restore);
}
