// The 128-byte configuration image: header conversions, layout constants and the pure encoder and
// decoder. The Configurator's members (tracker_settings.h) wrap them with the notices and texts.
#pragma once

#include <cstdint>

#include "config/tracker_settings.h"

// Step sizes of the delay and quiet-time bytes: the single-precision values nearest to 6.666 ms
// and 26.3 ms, widened to double, as the tracker's firmware uses them.
constexpr double kDelayStepMs = static_cast<double>(6.666f);
constexpr double kQuietStepMs = static_cast<double>(26.3f);

// Byte 0: where the address block starts.
constexpr int kBlockStartV1_1 = 9;
constexpr int kBlockStartOther = 11;
// Entries of the path that fit with the three bytes after the block and the end-of-text byte.
constexpr int kMaxPathEntries = 14;

std::uint8_t delayMsToByte(std::uint16_t ms);          // T1
std::uint16_t byteToDelayMs(std::uint8_t byte);        // T2
std::uint8_t quietMsToByte(std::uint16_t ms);          // Q1
std::uint16_t byteToQuietMs(std::uint8_t byte);        // Q2
std::uint16_t frequencyToSteps(float mhz);             // F1: 5 kHz steps; 144.39 outside 144 to 148
float stepsToFrequency(std::uint16_t steps);           // F2 for model 4

int addressBlockStart(std::int32_t model);
const char* destinationIdentifier(std::int32_t model);

// The image of the settings, laid out for settings.model, and what did not fit. Changes no
// setting and asks nobody: the Configurator's members tell the user.
struct EncodedImage {
    ConfigImage image{};
    bool textCut = false;  // the status text was cut to the room left
    bool pathCut = false;  // the path had more entries than the image holds
    bool cut() const { return textCut || pathCut; }
};
EncodedImage encodeSettings(const TrackerSettings& settings);

// How many status-text bytes the image holds with these settings' path and model.
int statusTextCapacity(const TrackerSettings& settings);

struct HeaderField;
// A header field's bytes as one number, low byte first.
std::uint32_t headerFieldRaw(const HeaderField& field, const ConfigImage& image);

// Takes the settings from an image read under settings.model; flags that model does not carry
// keep their values. An image whose indexes point outside its 128 bytes is refused (false) and
// no setting changes.
bool decodeSettings(const ConfigImage& image, TrackerSettings& settings);

// Notices shown when the settings do not fit the image.
extern const char kTextTruncatedCaption[];
extern const char kTextTruncatedText[];
extern const char kPathTruncatedCaption[];
extern const char kPathTruncatedText[];

// What an image of the settings gives back when the tracker reads it.
TrackerSettings storedSettings(const TrackerSettings& settings);
