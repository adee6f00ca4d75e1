#include "simulated_tracker.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <stdexcept>

#include "link/tick_loop.h"
#include "sim/factory_images.h"

TrackerOptions trackerOptions(std::int32_t generation, std::int32_t lineBaud) {
    TrackerOptions options;
    options.generation = generation;
    options.lineBaud = lineBaud;
    options.eeprom = factoryImage(generation);
    options.storeDeafMs = defaultStoreDeafMs(generation);
    return options;
}

SimulatedTracker::SimulatedTracker(const TrackerOptions& options)
    : engine_(options), frontEnd_(engine_, FrontEndOptions{"", "", nullptr, true}) {
    std::string error;
    if (!frontEnd_.open(error)) throw std::runtime_error(error);
    thread_ = std::thread([this] { frontEnd_.serve(stop_); });
}

const TrackerEngine& SimulatedTracker::stop() {
    stop_.store(true);
    if (thread_.joinable()) thread_.join();
    return engine_;
}

std::vector<std::int32_t> versionRequestSpeeds(const std::vector<WireEvent>& events) {
    std::vector<std::int32_t> speeds;
    int previous = -1;
    for (const WireEvent& event : events) {
        if (event.kind != WireKind::FromHost) continue;
        if (previous == 0x1B && event.byte == 'V') speeds.push_back(event.hostBaud);
        previous = event.byte;
    }
    return speeds;
}

std::vector<std::uint8_t> bytesOf(const std::vector<WireEvent>& events, WireKind kind) {
    std::vector<std::uint8_t> bytes;
    for (const WireEvent& event : events)
        if (event.kind == kind) bytes.push_back(event.byte);
    return bytes;
}

TransferRig::TransferRig(const std::string& portPath) : prompts(script.prompts()), configurator(port, prompts) {
    port.portName = portPath;
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

BarePty::BarePty() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    char name[128] = {};
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0 || ::ptsname_r(master_, name, sizeof name) != 0)
        throw std::runtime_error("no pty");
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    path_ = name;
}

void BarePty::hangUp() {
    if (master_ >= 0) ::close(master_);
    master_ = -1;
}
