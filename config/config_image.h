// The 128-byte configuration image: header conversions and layout constants. The encoder, decoder
// and verifier are Configurator members (tracker_settings.h).
#pragma once

#include <cstdint>

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

// Notices shown when the settings do not fit the image.
extern const char kTextTruncatedCaption[];
extern const char kTextTruncatedText[];
extern const char kPathTruncatedCaption[];
extern const char kPathTruncatedText[];
