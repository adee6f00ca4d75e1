// What one kavrelcfg command works with: the serial port, the console prompts and the
// Configurator built on both, as the dialog has them. Confirmations are asked only when standard
// input is a terminal; --yes answers them instead.
#pragma once

#include "cli/compat/console.h"
#include "config/tracker_settings.h"
#include "link/serial_port.h"
#include "platform/console_prompts.h"

struct ToolContext {
    SerialPort port;
    ConsolePromptOptions promptOptions;
    Prompts prompts;
    Configurator configurator;

    ToolContext() : prompts(consolePrompts(promptOptions)), configurator(port, prompts) {
        promptOptions.interactive = standardInputIsTerminal();
    }
    ToolContext(const ToolContext&) = delete;
    ToolContext& operator=(const ToolContext&) = delete;
};
