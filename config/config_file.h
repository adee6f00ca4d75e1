// The configuration file: "KVR1", the image length 128 as 4 little-endian bytes, and the 128-byte
// image; 136 bytes in all. The bytes and the image convert both ways here, with no file and no
// user; saving and loading are Configurator members (tracker_settings.h).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "config/tracker_settings.h"

constexpr char kFileMagic[] = "KVR1";
constexpr int kFileHeaderSize = 8;
constexpr int kFileSize = kFileHeaderSize + kImageSize;

using ConfigFileBytes = std::array<std::uint8_t, kFileSize>;

ConfigFileBytes configFileBytes(const ConfigImage& image);

enum class FileParse : std::uint8_t {
    Complete,     // header and all 128 image bytes
    BadMagic,     // shorter than 4 bytes, or not "KVR1" in any case
    BadLength,    // the length is cut short or is not 128
    ShortImage,   // fewer than 128 image bytes
};

struct ParsedFile {
    FileParse result = FileParse::BadMagic;
    ConfigImage image{};         // the image bytes that were there, from the start
    std::size_t imageBytes = 0;  // how many
};

// Reads a file's bytes; anything after the 136th is ignored.
ParsedFile parseConfigFile(const std::uint8_t* bytes, std::size_t size);

// Opens and parses a file; false when it does not open.
bool readConfigFile(const char* path, ParsedFile& parsed);

// The status texts of a load: "File Loaded", "Invalid File Format", "Failed to read data".
const char* fileParseText(FileParse result);
constexpr char kFileOpenFailedText[] = "Failed to open file";
