#include "cli/generation_name.h"

#include "link/device_transfer.h"

std::string generationName(std::int32_t model) {
    std::string name = "generation " + std::to_string(model);
    for (const VersionText& version : kVersionTexts)
        if (version.model == model) return name + " (" + version.text + ")";
    return name + " (no tracker identified)";
}
