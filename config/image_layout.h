// Where each setting lies in the 128-byte image, declared once as data and read by the encoder,
// the decoder and kavrelcfg's hex view; and the one walk of the address block that all of them
// share.
#pragma once

#include <cstdint>
#include <vector>

#include "config/settings_table.h"
#include "config/tracker_settings.h"

// How a setting's value becomes the bytes of its field.
enum class Conversion : std::uint8_t {
    Byte,       // the low 8 bits
    Word,       // 16 bits, low byte first
    DelayMs,    // milliseconds in steps of 6.666 ms (T1, T2)
    QuietMs,    // milliseconds in steps of 26.3 ms (Q1, Q2)
    Frequency,  // MHz in steps of 5 kHz, low byte first (F1, F2)
    Flag,       // one bit of the flags byte
};

struct HeaderField {
    int index;  // first byte
    int width;  // bytes
    SettingId setting;
    Conversion conversion;
    std::uint8_t mask;  // Flag: the setting's bit
};

constexpr int kHeaderFieldCount = 12;
extern const HeaderField kHeaderFields[kHeaderFieldCount];

// Header bytes that are not settings.
constexpr int kBlockStartIndex = 0;  // where the address block starts
constexpr int kFlagsIndex = 5;
constexpr int kTextStartIndex = 6;   // where the status text starts

constexpr int kFieldSize = 7;
constexpr std::uint8_t kControlUi = 0x03;
constexpr std::uint8_t kProtocolNone = 0xF0;

// The address block as the image's own indexes describe it: the field at byte 0's index is the
// destination, the next the source, then path fields up to the first with the end mark. Nothing
// outside the 128 bytes is read.
struct AddressBlock {
    std::vector<int> fields;  // start of each field found inside the image, in order
    bool complete = false;    // the source lies inside and an end mark closes the block inside
    int end = 0;              // when complete: the index after the last field
};
AddressBlock walkAddressBlock(const ConfigImage& image);
