// Simulated time: nanoseconds since the simulator started. The engine never reads a clock; the
// front end (or a test) hands it the time with every call.
#pragma once

#include <cstdint>
#include <limits>

using SimTime = std::int64_t;

constexpr SimTime kNever = std::numeric_limits<SimTime>::max();
constexpr SimTime kNanosPerMs = 1000000;

constexpr SimTime millis(std::int64_t ms) { return ms * kNanosPerMs; }
