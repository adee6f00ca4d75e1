// The exit statuses of kavrelcfg, the same for every command.
#pragma once

constexpr int kExitSuccess = 0;
constexpr int kExitFailed = 1;  // the operation ran and its status message is a failure
constexpr int kExitUsage = 2;   // the command line was wrong; nothing was done
