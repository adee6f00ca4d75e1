// kavrelcfg restore: a configuration file's image onto the tracker exactly as it is, verified byte
// for byte. It is how a backup goes back: nothing is decoded, checked or encoded on the way.
#include <cstdio>

#include "cli/argument_parser.h"
#include "cli/commands.h"
#include "cli/config_source.h"
#include "cli/exit_status.h"
#include "cli/generation_name.h"
#include "cli/interrupts.h"
#include "cli/messages.h"
#include "cli/named_files.h"
#include "cli/port_session.h"
#include "cli/terminal.h"
#include "cli/write_steps.h"

namespace {

const char kUsage[] =
    "Usage: kavrelcfg restore -p PORT [--force] [--backup FILE | --no-backup] [--trace] FILE.kvr\n"
    "\n"
    "Writes the 128 bytes of a configuration file's image to the tracker as they are, and reads\n"
    "them back to verify them byte for byte: how a backup that 'kavrelcfg write' made goes back,\n"
    "whatever it holds. The file must be whole (136 bytes), and its image laid out for the\n"
    "tracker's generation or for none (an image such as a tracker holds when it is blank or\n"
    "damaged). What the tracker held is backed up first, as 'write' does; a tracker that holds\n"
    "the image already is sent nothing.\n"
    "\n"
    "  -p, --port PORT   the serial port: COM3 on Windows, /dev/ttyUSB0 or a pty elsewhere\n"
    "  --force           write an image laid out for another generation all the same (a tracker\n"
    "                    can hold one: the backup of it says so)\n"
    "  --backup FILE     save the backup to FILE (- for standard output)\n"
    "  --no-backup       make no backup\n"
    "  --trace           print the bytes exchanged, with their times\n"
    "  FILE.kvr          the file, or - for standard input\n"
    "\n"
    "Exit status: 0 written and verified, or held already; 1 not written or not verified;\n"
    "2 usage; 130 interrupted.\n";

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

int runRestore(const Arguments& args) {
    ParsedArguments parsed;
    std::string error;
    const std::vector<OptionSpec> specs = {{"--port", "-p", true},     {"--force", nullptr, false},
                                           {"--backup", nullptr, true}, {"--no-backup", nullptr, false},
                                           {"--trace", nullptr, false}};
    if (!parseArguments(args, specs, parsed, error)) return usageError("restore", error);
    if (parsed.help) return printHelp(kUsage);
    if (parsed.positionals.size() != 1) return usageError("restore", "give exactly one FILE.kvr (- for standard input)");
    const std::string* port = lastValue(parsed, "--port");
    if (port == nullptr) return usageError("restore", "give the serial port with -p PORT");
    if (!usablePortName(*port, error)) return usageError("restore", error);
    const std::string* backupFile = lastValue(parsed, "--backup");
    const bool noBackup = hasOption(parsed, "--no-backup");
    if (backupFile != nullptr && noBackup) return usageError("restore", "--backup and --no-backup exclude each other");
    const std::string& name = parsed.positionals[0];
    if (backupFile != nullptr && *backupFile == "-" && name == "-")
        return usageError("restore", "the file and the backup cannot both be standard input and output");
    const LoadedConfig file = loadConfig(name, nullptr);
    if (!file.imageWhole()) {
        reportLoadFailure(file);
        return kExitFailed;
    }

    catchInterrupts();
    ToolContext tool;
    tool.port.portName = *port;
    TransferDisplay display(tool.port, hasOption(parsed, "--trace"), standardErrorIsTerminal());
    int status = kExitFailed;
    TrackerHeld held;
    if (!takePort(tool, display, status) || !readTracker(tool, display, held, status)) return status;
    if (!fitsTracker(file, held.model, hasOption(parsed, "--force"))) return kExitFailed;
    if (held.bytes == kImageSize && held.image == file.image) {
        printNote("The tracker on " + *port + " holds the image of " + displayName(name) + " already; nothing sent.");
        return kExitSuccess;
    }
    std::string backupPath;
    if (held.bytes != kImageSize)
        printWarning("no backup of what the tracker holds: it sent " + std::to_string(held.bytes) + " bytes, not 128");
    else if (!noBackup && !backUp(held, backupFile != nullptr ? *backupFile : std::string(), backupPath))
        return kExitFailed;
    if (interruptRequested()) {
        printError("interrupted; nothing was written");
        return kExitInterrupted;
    }
    // Should this fail, the file is still what the tracker is to hold.
    const std::string restore = name == "-" ? std::string() : restoreCommandFor(*port, name, file.image, held.model);
    TransferEnd end = TransferEnd::Finished;
    if (!recordedWrite(tool, display, &file.image, restore, end)) return kExitFailed;
    return reportWrite(tool, display, end, restore);
}
