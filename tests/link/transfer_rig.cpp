#include "transfer_rig.h"

#include "link/tick_loop.h"

TransferRig::TransferRig(const std::string& portPath) : prompts(script.prompts()), configurator(port, prompts) {
    port.portName = portPath;
}

void TransferRig::startRead() {
    configurator.retryCount = 0;
    configurator.startOperation(VersionThenRead);
}

void TransferRig::startVersion() {
    configurator.retryCount = 0;
    configurator.startOperation(VersionOnly);
}

void TransferRig::runToIdle() {
    answers.clear();
    statuses.clear();
    TickObserver observer{this, [](void* context, const Configurator& ticked, std::int32_t answer) {
                              auto& rig = *static_cast<TransferRig*>(context);
                              rig.answers.push_back(answer);
                              rig.statuses.push_back(ticked.statusMessage);
                              if (rig.betweenTicks) rig.betweenTicks(static_cast<int>(rig.answers.size()));
                          }};
    runUntilIdle(configurator, observer);
}
