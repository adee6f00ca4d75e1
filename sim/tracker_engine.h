// The tracker's side of the serial protocol, with no clock and no port of its own: the front end
// (or a test) hands it the host's bytes and the time, and takes the bytes that reach the host.
//
// Commands it knows: ESC "V" answers the version text of its generation and CR LF; ESC "U" answers
// the 128-byte EEPROM; ESC "D" and 128 bytes are stored; ESC ESC "1", "2", "3" or ESC are the tone
// commands. It listens and talks at one line speed; a host at another speed is garbled both ways.
#pragma once

#include <cstdint>
#include <vector>

#include "config/tracker_settings.h"
#include "sim/serial_line.h"
#include "sim/sim_time.h"

enum class FaultKind : std::int32_t {
    None,
    Silent,   // hears and stores, never sends
    Late,     // every reply starts value ms after its command
    Babble,   // every reply repeats without end
    Short,    // every reply is cut after its first value bytes
    Long,     // the image reply is value bytes: the image, then bytes that differ from it
    Corrupt,  // the stored byte at index value differs from the byte received
    HangUp,   // the line drops once value bytes have gone out
    Echo,     // every byte of an image being stored is sent back as it is stored
};

struct Fault {
    FaultKind kind = FaultKind::None;
    std::int32_t value = 0;
};

struct TrackerOptions {
    std::int32_t generation = FirmwareModel::FaV1_4;  // 0: not a tracker, never answers
    std::int32_t lineBaud = 9600;
    ConfigImage eeprom{};
    std::int32_t replyDelayMs = 0;
    // Generations 1 and 2 hear nothing for a while after they have stored an image.
    std::int32_t storeDeafMs = 0;
    Fault fault;
};

// The version text of a generation without the line end, or nullptr for 0.
const char* trackerVersionText(std::int32_t generation);
std::int32_t defaultStoreDeafMs(std::int32_t generation);

enum class WireKind : std::int32_t {
    FromHost,  // a byte the host put on the line, at hostBaud
    Heard,     // a byte the tracker's UART made out
    Ignored,   // a byte it made out while deaf after storing
    ToHost,    // a byte the host's port received
    Lost,      // a byte the tracker sent while the host's port was closed
};

struct WireEvent {
    SimTime time;
    WireKind kind;
    std::uint8_t byte;
    std::int32_t hostBaud;
};

struct ToneEvent {
    SimTime time;
    std::uint8_t command;  // '1', '2', '3' or ESC (stop)
};

struct StoreEvent {
    SimTime time;
    ConfigImage received;  // as it came over the line, before any corrupt fault
};

class TrackerEngine {
public:
    explicit TrackerEngine(const TrackerOptions& options);

    // Whether the host's port is open, and the speed it is set to.
    void setHost(bool listening, std::int32_t baud, SimTime now);
    // A byte the host wrote at `now`.
    void fromHost(std::uint8_t byte, SimTime now);
    // Runs the tracker and both directions of the line up to `now`.
    void advance(SimTime now);
    // The bytes that reached the host's port since the last call.
    std::vector<std::uint8_t> takeForHost();
    // When advance next has something to do, or kNever.
    SimTime nextWake() const;
    // The line has dropped (hang-up fault); nothing more happens.
    bool hungUp() const { return hungUp_; }

    const std::vector<WireEvent>& events() const { return events_; }
    void clearEvents() { events_.clear(); }
    const std::vector<ToneEvent>& tones() const { return tones_; }
    const std::vector<StoreEvent>& stores() const { return stores_; }
    const ConfigImage& eeprom() const { return eeprom_; }
    const TrackerOptions& options() const { return options_; }

private:
    enum class Listen { Idle, Escape, EscapeEscape, Storing };
    struct Pending {
        std::uint8_t byte;
        SimTime ready;
    };

    void onHeard(std::uint8_t byte, SimTime time);
    void reply(std::vector<std::uint8_t> bytes, SimTime commandTime);
    void finishStore(SimTime time);
    void transmit(SimTime now);
    void record(SimTime time, WireKind kind, std::uint8_t byte);

    TrackerOptions options_;
    ConfigImage eeprom_;
    SerialLine toTracker_;
    SerialLine toHost_;
    bool hostListening_ = false;
    std::int32_t hostBaud_;

    Listen listen_ = Listen::Idle;
    ConfigImage storing_{};
    std::size_t storePos_ = 0;
    SimTime deafUntil_ = 0;

    std::vector<Pending> queue_;  // replies not yet on the wire, oldest first
    std::size_t queueHead_ = 0;
    std::vector<std::uint8_t> babble_;
    std::int64_t transmitted_ = 0;
    bool hungUp_ = false;

    std::vector<std::uint8_t> forHost_;
    std::vector<WireEvent> events_;
    std::vector<ToneEvent> tones_;
    std::vector<StoreEvent> stores_;
};
