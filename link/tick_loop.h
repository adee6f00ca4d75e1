// Drives a transfer the way the dialog's 100 ms timer does, for kavrelcfg and the benchmarks: one
// Configurator::poll per tick until the transfer is idle again.
#pragma once

#include <cstdint>

class Configurator;

constexpr int kTickMs = 100;

struct TickObserver {
    void* context;
    // Called after every tick with poll's answer; may be null.
    void (*afterTick)(void* context, const Configurator& configurator, std::int32_t pollAnswer);
    // Asked after every tick, after afterTick; may be null. true ends the run at once and leaves
    // the transfer where it stands: kavrelcfg stops so on an interrupt or a port that failed.
    bool (*stopAfterTick)(void* context) = nullptr;
};

// Ticks until operation is Idle (at once when it already is) or stopAfterTick answers true. A
// tick that comes late, because the previous one blocked on the port, runs at once, as a timer
// message that was due does; the ticks after it keep the 100 ms period from there. Answers the
// number of ticks run.
int runUntilIdle(Configurator& configurator, const TickObserver& observer);
