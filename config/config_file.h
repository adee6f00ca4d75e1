// The configuration file: "KVR1", the image length 128 as 4 little-endian bytes, and the 128-byte
// image; 136 bytes in all. Saving and loading are Configurator members (tracker_settings.h).
#pragma once

constexpr char kFileMagic[] = "KVR1";
constexpr int kFileHeaderSize = 8;
constexpr int kFileSize = kFileHeaderSize + 128;
