// The kavrelcfg commands. Each takes the arguments after its name and answers the exit status.
#pragma once

#include <string>
#include <vector>

using Arguments = std::vector<std::string>;

// Offline: configuration files.
int runShow(const Arguments& args);
int runEncode(const Arguments& args);
int runHex(const Arguments& args);
int runDiff(const Arguments& args);

// With a tracker on a serial port.
int runPorts(const Arguments& args);
int runVersion(const Arguments& args);
int runRead(const Arguments& args);
int runWrite(const Arguments& args);
int runRestore(const Arguments& args);
int runTone(const Arguments& args);
