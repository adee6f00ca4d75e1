// The exit statuses of kavrelcfg, the same for every command.
#pragma once

constexpr int kExitSuccess = 0;
constexpr int kExitFailed = 1;        // the operation ran and failed; diff: the two differ
constexpr int kExitUsage = 2;         // the command line or a value was refused; nothing was done
constexpr int kExitInterrupted = 130;  // Ctrl-C or a termination signal, as a shell reports SIGINT
