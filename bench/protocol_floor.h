// The shortest time the protocol allows for a Read Config and a Write Config: what a transfer
// would take if every step lasted exactly what the tick, the time-outs, the pacing and the line
// demand, and nothing else took any time at all.
#pragma once

#include <cstdint>

struct FloorCase {
    std::int32_t generation;     // 1 to 4: the version reply's length and the pause before a read-back
    std::int32_t baud;           // the line speed of tracker and host
    std::int32_t versionLength;  // bytes of the version reply, line end included
};

double readFloorMs(const FloorCase& c);
double writeFloorMs(const FloorCase& c);
