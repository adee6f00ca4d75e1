// The kavrelcfg commands. Each runs on the command line parsed for it (cli/command_line.h) and
// answers the exit status; its help says what it does beyond its options.
#pragma once

#include <string>
#include <vector>

#include "cli/command_line.h"

using Arguments = std::vector<std::string>;

// Offline: configuration files.
int runShow(const CliOptions& options);
int runEncode(const CliOptions& options);
int runHex(const CliOptions& options);
int runDiff(const CliOptions& options);
extern const CommandHelp kShowHelp;
extern const CommandHelp kEncodeHelp;
extern const CommandHelp kHexHelp;
extern const CommandHelp kDiffHelp;

// With a tracker on a serial port.
int runPorts(const CliOptions& options);
int runVersion(const CliOptions& options);
int runRead(const CliOptions& options);
int runWrite(const CliOptions& options);
int runRestore(const CliOptions& options);
int runTone(const CliOptions& options);
extern const CommandHelp kPortsHelp;
extern const CommandHelp kVersionHelp;
extern const CommandHelp kReadHelp;
extern const CommandHelp kWriteHelp;
extern const CommandHelp kRestoreHelp;
extern const CommandHelp kToneHelp;
