#include "config/config_file.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "config/config_image.h"
#include "config/image_file.h"
#include "config/tracker_settings.h"
#include "platform/c_runtime.h"

void Configurator::saveFile(const char* path) {
    // The transfer's images are its own: a Save while one runs changes nothing it sends or judges.
    const EncodedImage encoded = encodeSettings(settings);
    showCutNotices(encoded);
    const FileSaveResult saved = saveImageFile(path, encoded.image);
    report(saved == FileSaveResult::Saved ? Outcome::Succeeded : Outcome::FileFailed, fileSaveText(saved));
}

void Configurator::loadFile(const char* path) {
    ParsedFile parsed;
    if (!readConfigFile(path, parsed)) {
        report(Outcome::FileFailed, kFileOpenFailedText);
        return;
    }
    // A file with the magic is taken as the FA generation's, whatever follows.
    settings.model = parsed.result == FileParse::BadMagic ? FirmwareModel::None : FirmwareModel::FaV1_4;
    if (parsed.result == FileParse::BadMagic || parsed.result == FileParse::BadLength) {
        report(Outcome::FileFailed, fileParseText(parsed.result));
        return;
    }
    // A transfer that is running keeps its read image: a Load meanwhile only changes the settings.
    const bool idle = !transferRunning();
    if (idle) std::copy(parsed.image.begin(), parsed.image.begin() + static_cast<std::ptrdiff_t>(parsed.imageBytes), readImage.begin());
    if (parsed.result == FileParse::ShortImage) {
        report(Outcome::FileFailed, fileParseText(parsed.result));
        return;
    }
    if (idle) bytesReceived = kImageSize;
    if (decodeFrom(parsed.image)) report(Outcome::Succeeded, fileParseText(parsed.result));
    // else the decoder left "Corrupted EEPROM"
}

ConfigFileBytes configFileBytes(const ConfigImage& image) {
    ConfigFileBytes bytes{};
    for (int i = 0; i < 4; ++i) bytes[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(kFileMagic[i]);
    bytes[4] = static_cast<std::uint8_t>(kImageSize);
    std::copy(image.begin(), image.end(), bytes.begin() + kFileHeaderSize);
    return bytes;
}

ParsedFile parseConfigFile(const std::uint8_t* bytes, std::size_t size) {
    ParsedFile parsed;
    // ASCII case folded; a NUL among the four bytes ends the text and so never matches.
    if (size < 4) return parsed;
    for (int i = 0; i < 4; ++i) {
        const int c = bytes[i];
        const int upper = c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c;
        if (upper != kFileMagic[i]) return parsed;
    }
    parsed.result = FileParse::BadLength;
    if (size < static_cast<std::size_t>(kFileHeaderSize)) return parsed;
    const std::uint32_t length = bytes[4] | (bytes[5] << 8) | (bytes[6] << 16) | (static_cast<std::uint32_t>(bytes[7]) << 24);
    if (length != static_cast<std::uint32_t>(kImageSize)) return parsed;
    parsed.imageBytes = std::min(size - kFileHeaderSize, static_cast<std::size_t>(kImageSize));
    std::copy(bytes + kFileHeaderSize, bytes + kFileHeaderSize + parsed.imageBytes, parsed.image.begin());
    parsed.result = parsed.imageBytes == static_cast<std::size_t>(kImageSize) ? FileParse::Complete : FileParse::ShortImage;
    return parsed;
}

bool readConfigFile(const char* path, ParsedFile& parsed) {
    std::FILE* file = openFile(path, "rb");
    if (file == nullptr) return false;
    std::uint8_t bytes[kFileSize];
    const std::size_t size = std::fread(bytes, 1, sizeof bytes, file);
    std::fclose(file);
    parsed = parseConfigFile(bytes, size);
    return true;
}

const char* fileParseText(FileParse result) {
    switch (result) {
    case FileParse::Complete:
        return "File Loaded";
    case FileParse::ShortImage:
        return "Failed to read data";
    case FileParse::BadMagic:
    case FileParse::BadLength:
        break;
    }
    return "Invalid File Format";
}
