#include "cli/file_loading.h"

#include "config/config_file.h"
#include "config/config_image.h"

LoadedFile loadConfigFile(const std::string& path, std::int32_t model) {
    LoadedFile loaded;
    loaded.settings.model = model;
    ParsedFile parsed;
    if (!readConfigFile(path.c_str(), parsed)) {
        loaded.status = kFileOpenFailedText;
        return loaded;
    }
    loaded.status = fileParseText(parsed.result);
    loaded.image = parsed.image;
    loaded.imageWhole = parsed.result == FileParse::Complete;
    if (!loaded.imageWhole) return loaded;
    loaded.decoded = decodeSettings(parsed.image, loaded.settings);
    if (!loaded.decoded) loaded.status = "Corrupted EEPROM";
    return loaded;
}
