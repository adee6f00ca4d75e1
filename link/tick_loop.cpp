#include "link/tick_loop.h"

#include <chrono>
#include <thread>

#include "config/tracker_settings.h"

int runUntilIdle(Configurator& configurator, const TickObserver& observer) {
    using Clock = std::chrono::steady_clock;
    auto due = Clock::now() + std::chrono::milliseconds(kTickMs);
    int ticks = 0;
    while (configurator.operation != TransferOp::Idle) {
        const auto now = Clock::now();
        if (now < due)
            std::this_thread::sleep_until(due);
        else
            due = now;
        const std::int32_t answer = configurator.poll();
        ++ticks;
        if (observer.afterTick != nullptr) observer.afterTick(observer.context, configurator, answer);
        if (observer.stopAfterTick != nullptr && observer.stopAfterTick(observer.context)) break;
        due += std::chrono::milliseconds(kTickMs);
    }
    return ticks;
}
