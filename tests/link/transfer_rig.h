// One host side of a transfer, as the program has it: a port, scripted prompts and a Configurator,
// driven by the same 100 ms tick loop as the dialog timer, with what every tick left behind.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "config/tracker_settings.h"
#include "link/serial_port.h"
#include "support/scripted_prompts.h"

struct TransferRig {
    explicit TransferRig(const std::string& portPath);

    ScriptedPrompts script;
    Prompts prompts;
    SerialPort port;
    Configurator configurator;

    // After every tick: poll's answer and the status line.
    std::vector<std::int32_t> answers;
    std::vector<std::string> statuses;
    // Called after tick n (1-based) of the current run, to do what a user might do meanwhile.
    std::function<void(int tick)> betweenTicks;

    void startRead();     // as the Read Config command does
    void startVersion();  // as the Read Version command does
    void runToIdle();
    void read() { startRead(); runToIdle(); }
    void write() { configurator.beginWrite(); runToIdle(); }
};
