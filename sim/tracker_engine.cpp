#include "sim/tracker_engine.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

constexpr std::uint8_t kEsc = 0x1B;

}  // namespace

const char* trackerVersionText(std::int32_t generation) {
    switch (generation) {
    case FirmwareModel::V1_1: return "Kavrel v1.1";
    case FirmwareModel::V1_2: return "Kavrel v1.2";
    case FirmwareModel::V1_4: return "Kavrel v1.4";
    case FirmwareModel::FaV1_4: return "Kavrel FA v1.4";
    default: return nullptr;
    }
}

std::int32_t defaultStoreDeafMs(std::int32_t generation) { return generation == FirmwareModel::V1_1 || generation == FirmwareModel::V1_2 ? 1500 : 0; }

TrackerEngine::TrackerEngine(const TrackerOptions& options)
    : options_(options),
      eeprom_(options.eeprom),
      toTracker_(options.lineBaud),
      toHost_(options.lineBaud),
      hostBaud_(options.lineBaud) {}

void TrackerEngine::record(SimTime time, WireKind kind, std::uint8_t byte) { events_.push_back({time, kind, byte, hostBaud_}); }

void TrackerEngine::setHost(bool listening, std::int32_t baud, SimTime now) {
    advance(now);
    hostListening_ = listening;
    if (baud != hostBaud_) {
        hostBaud_ = baud;
        toHost_.setReceiverBaud(baud);
    }
}

void TrackerEngine::fromHost(std::uint8_t byte, SimTime now) {
    if (hungUp_) return;
    record(now, WireKind::FromHost, byte);
    toTracker_.send(byte, hostBaud_, now);
}

void TrackerEngine::advance(SimTime now) {
    if (hungUp_) return;
    std::vector<LineByte> bytes;
    toTracker_.receive(now, bytes);
    for (const LineByte& heard : bytes) onHeard(heard.byte, heard.time);

    transmit(now);

    bytes.clear();
    toHost_.receive(now, bytes);
    for (const LineByte& sent : bytes) {
        record(sent.time, hostListening_ ? WireKind::ToHost : WireKind::Lost, sent.byte);
        if (hostListening_) forHost_.push_back(sent.byte);
    }

    if (options_.fault.kind == FaultKind::HangUp && transmitted_ >= options_.fault.value && now >= toHost_.freeAt())
        hungUp_ = true;
}

void TrackerEngine::transmit(SimTime now) {
    const bool limited = options_.fault.kind == FaultKind::HangUp;
    for (;;) {
        if (limited && transmitted_ >= options_.fault.value) break;
        if (queueHead_ == queue_.size()) {
            queue_.clear();
            queueHead_ = 0;
            // A babbling tracker starts its last reply over as soon as it is out.
            if (babble_.empty()) break;
            for (std::uint8_t byte : babble_) queue_.push_back({byte, toHost_.freeAt()});
        }
        const Pending& next = queue_[queueHead_];
        if (std::max(next.ready, toHost_.freeAt()) > now) break;
        toHost_.send(next.byte, options_.lineBaud, next.ready);
        ++queueHead_;
        ++transmitted_;
    }
}

void TrackerEngine::reply(std::vector<std::uint8_t> bytes, SimTime commandTime) {
    const Fault& fault = options_.fault;
    if (fault.kind == FaultKind::Silent) return;
    if (fault.kind == FaultKind::Short && bytes.size() > static_cast<std::size_t>(fault.value))
        bytes.resize(static_cast<std::size_t>(fault.value));
    const SimTime ready = commandTime + millis(fault.kind == FaultKind::Late ? fault.value : options_.replyDelayMs);
    for (std::uint8_t byte : bytes) queue_.push_back({byte, ready});
    if (fault.kind == FaultKind::Babble) babble_ = bytes;
}

void TrackerEngine::finishStore(SimTime time) {
    stores_.push_back({time, storing_});
    eeprom_ = storing_;
    const std::int32_t index = options_.fault.value;
    if (options_.fault.kind == FaultKind::Corrupt && index >= 0 && index < kImageSize)
        eeprom_[static_cast<std::size_t>(index)] = static_cast<std::uint8_t>(~eeprom_[static_cast<std::size_t>(index)]);
    deafUntil_ = time + millis(options_.storeDeafMs);
}

void TrackerEngine::onHeard(std::uint8_t byte, SimTime time) {
    const char* version = trackerVersionText(options_.generation);
    if (version == nullptr || time < deafUntil_) {
        record(time, version == nullptr ? WireKind::Heard : WireKind::Ignored, byte);
        return;
    }
    record(time, WireKind::Heard, byte);

    switch (listen_) {
    case Listen::Storing:
        storing_[storePos_++] = byte;
        if (options_.fault.kind == FaultKind::Echo) queue_.push_back({byte, time});
        if (storePos_ == storing_.size()) {
            listen_ = Listen::Idle;
            finishStore(time);
        }
        return;
    case Listen::Idle:
        if (byte == kEsc) listen_ = Listen::Escape;
        return;
    case Listen::Escape:
        listen_ = Listen::Idle;
        if (byte == 'V') {
            std::vector<std::uint8_t> text(version, version + std::strlen(version));
            text.push_back('\r');
            text.push_back('\n');
            reply(std::move(text), time);
        } else if (byte == 'U') {
            std::size_t count = eeprom_.size();
            if (options_.fault.kind == FaultKind::Long) count = static_cast<std::size_t>(std::max(options_.fault.value, 0));
            std::vector<std::uint8_t> image(count);
            // Past the image the reply carries bytes that differ from it at every place, so that a
            // reader who wraps or overwrites is found out.
            for (std::size_t i = 0; i < count; ++i)
                image[i] = i < eeprom_.size() ? eeprom_[i] : static_cast<std::uint8_t>(~eeprom_[i % eeprom_.size()]);
            reply(std::move(image), time);
        } else if (byte == 'D') {
            listen_ = Listen::Storing;
            storePos_ = 0;
        } else if (byte == kEsc) {
            listen_ = Listen::EscapeEscape;
        }
        return;
    case Listen::EscapeEscape:
        listen_ = Listen::Idle;
        if (byte == '1' || byte == '2' || byte == '3' || byte == kEsc) tones_.push_back({time, byte});
        return;
    }
}

std::vector<std::uint8_t> TrackerEngine::takeForHost() {
    std::vector<std::uint8_t> bytes;
    bytes.swap(forHost_);
    return bytes;
}

SimTime TrackerEngine::nextWake() const {
    if (hungUp_) return kNever;
    SimTime wake = std::min(toTracker_.nextByteAt(), toHost_.nextByteAt());
    const bool limited = options_.fault.kind == FaultKind::HangUp;
    if (limited && transmitted_ >= options_.fault.value) return std::min(wake, toHost_.freeAt());
    if (queueHead_ < queue_.size()) wake = std::min(wake, std::max(queue_[queueHead_].ready, toHost_.freeAt()));
    else if (!babble_.empty()) wake = std::min(wake, toHost_.freeAt());
    return wake;
}
