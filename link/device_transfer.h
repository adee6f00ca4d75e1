// The tracker's serial commands, and the short test-tone exchange that runs outside the
// Configurator's transfer state machine.
#pragma once

#include <cstddef>
#include <cstdint>

class SerialPort;

constexpr std::uint8_t kEsc = 0x1B;

enum class TestTone { Tone1200, Tone2200, Both, Stop };

// Opens the port, sends the tone command (10 ms after each byte) and closes it again. A port that
// does not open sends nothing; its text stays in lastError.
void sendTestTone(SerialPort& port, TestTone tone);

// The version texts in the order they are tested, and the model each one means.
struct VersionText {
    const char* text;
    std::int32_t model;
};
extern const VersionText kVersionTexts[4];

// The model whose version text the reply begins with, or 0.
std::int32_t matchVersionReply(const char* reply, std::size_t length);
