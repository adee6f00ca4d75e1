#include "cli/file_argument.h"

#include <cerrno>

#include "cli/messages.h"
#include "cli/named_files.h"
#include "platform/byte_text.h"
#include "config/config_image.h"

LoadedConfig loadConfig(const std::string& name, std::optional<std::int32_t> model) {
    std::string bytes;
    int errorCode = 0;
    if (!readNamedFile(name, kMaxFileBytes, bytes, errorCode)) {
        LoadedConfig failed;
        failed.name = name;
        failed.errorCode = errorCode;
        return failed;
    }
    return loadConfigBytes(name, bytes, model);
}

bool looksLikeConfigFile(const std::string& bytes) {
    return parseConfigFile(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()).result != FileParse::BadMagic;
}

LoadedConfig loadConfigBytes(const std::string& name, const std::string& bytes, std::optional<std::int32_t> model) {
    LoadedConfig loaded;
    loaded.name = name;
    loaded.read = true;
    const ParsedFile parsed = parseConfigFile(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    loaded.parse = parsed.result;
    loaded.imageBytes = parsed.imageBytes;
    loaded.image = parsed.image;
    // The window takes any case of the magic and ignores bytes after the image; kavrelcfg takes
    // only what a save writes.
    if (loaded.parse == FileParse::Complete && bytes.size() > static_cast<std::size_t>(kFileSize))
        loaded.inexact = "it has " + std::to_string(bytes.size()) + " bytes, where a configuration file has " +
                         std::to_string(kFileSize);
    else if (loaded.parse == FileParse::Complete && bytes.compare(0, 4, kFileMagic) != 0)
        loaded.inexact = "it begins with \"" + escapedText(bytes.substr(0, 4), Escaping::Quoted) + "\", not KVR1";
    if (!loaded.imageWhole()) return loaded;
    loaded.generation = inferGeneration(loaded.image);
    loaded.modelGiven = model.has_value();
    if (model) loaded.generation.model = *model;
    loaded.settings.model = loaded.generation.model;
    loaded.decoded = decodeSettings(loaded.image, loaded.settings);
    return loaded;
}

void noteGeneration(const LoadedConfig& loaded) {
    if (loaded.modelGiven) return;
    const std::string shown = displayName(loaded.name);
    if (loaded.generation.recognised)
        printNote(shown + ": " + generationName(loaded.generation.model) + ", inferred from the image (" +
                  loaded.generation.evidence + "); --generation N reads it as another");
    else
        printWarning(shown + ": the image's layout names no generation (" + loaded.generation.evidence +
                     "); read as generation 4; --generation N reads it as another");
}

void reportLoadFailure(const LoadedConfig& loaded) {
    const std::string shown = displayName(loaded.name);
    if (!loaded.read) {
        // The window's text is for a file that did not open, not for one refused by what it is.
        const bool refused = loaded.errorCode == kDeviceErrorCode || loaded.errorCode == EFBIG;
        printError(fileFailure("read", shown, loaded.errorCode) + (refused ? "" : " " + quotedStatus(kFileOpenFailedText)));
        return;
    }
    if (!loaded.inexact.empty()) {
        printError(shown + " is not a configuration file: " + loaded.inexact);
        return;
    }
    const std::string status = quotedStatus(fileParseText(loaded.parse));
    switch (loaded.parse) {
    case FileParse::BadMagic:
        printError(shown + " is not a configuration file: it does not begin with KVR1 " + status);
        return;
    case FileParse::BadLength:
        printError(shown + " is not a configuration file: its image length is not 128 " + status);
        return;
    case FileParse::ShortImage:
        printError(shown + " is cut short: its image has " + std::to_string(loaded.imageBytes) + " of 128 bytes " + status);
        return;
    case FileParse::Complete:
        break;
    }
    printError("the image in " + shown + " does not decode: its own indexes point outside its 128 bytes " +
               quotedStatus("Corrupted EEPROM"));
    printHint("'kavrelcfg hex " + loaded.name + "' shows its bytes");
}
