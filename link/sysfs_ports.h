// How Linux tells of its serial ports: the terminals of /sys/class/tty with hardware behind them,
// each described from its device's folders. The folders are parameters so that a test can run
// it on a tree of its own; listPorts() gives the system's.
#pragma once

#include <string>
#include <vector>

#include "link/port_listing.h"

struct SysfsFolders {
    std::string sys = "/sys";
    std::string dev = "/dev";                  // where the nodes are
    std::string byId = "/dev/serial/by-id";   // links named after each USB adapter
};

// The ports Linux names, unsorted, after those already in ports; false where there is no
// sys/class/tty (not Linux), and then nothing is added.
bool addSysfsPorts(const SysfsFolders& folders, std::vector<PortEntry>& ports);
