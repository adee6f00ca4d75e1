// The tracker's serial commands, the start of a read, and the short test-tone exchange that runs
// outside the Configurator's transfer state machine.
#pragma once

#include <cstddef>
#include <cstdint>

#include "config/tracker_settings.h"

class SerialPort;

constexpr std::uint8_t kEsc = 0x1B;

enum class TestTone : int { Tone1200, Tone2200, Both, Stop };

// "Read Version" (VersionOnly) and "Read Config" (VersionThenRead), in every front end: a fresh
// count of the probe's five attempts, attemptsUsed of them counted as made already (for a shorter
// probe), then startOperation.
void startRead(Configurator& configurator, TransferOp op, std::int32_t attemptsUsed = 0);
// The attempts counted as made when many ports are probed in turn: two are left, one at each speed.
constexpr std::int32_t kQuickProbeAttemptsUsed = 3;

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
