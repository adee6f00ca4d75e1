#include "cli/file_loading.h"

#include "config/tracker_settings.h"

bool loadConfigFile(Configurator& configurator, const std::string& path, std::int32_t model) {
    configurator.loadFile(path.c_str());
    if (configurator.statusMessage != "File Loaded") return false;
    if (model != FaV1_4) {
        configurator.settings.model = model;
        if (!configurator.decodeImage()) return false;
        configurator.statusMessage = "File Loaded";
    }
    return true;
}
