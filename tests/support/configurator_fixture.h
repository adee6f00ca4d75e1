// A Configurator with scripted prompts and a port that is never opened, for tests of the codec
// and the file.
#pragma once

#include <string>
#include <vector>

#include "config/tracker_settings.h"
#include "link/serial_port.h"
#include "support/scripted_prompts.h"

struct OfflineConfigurator {
    ScriptedPrompts script;
    Prompts prompts = script.prompts();
    SerialPort port;
    Configurator cfg{port, prompts};
};

inline ConfigImage imageFrom(const std::vector<int>& leading) {
    ConfigImage image{};
    for (std::size_t i = 0; i < leading.size(); ++i) image[i] = static_cast<std::uint8_t>(leading[i]);
    return image;
}
