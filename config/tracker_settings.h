// The tracker's settings and the one Configurator that holds them together with the state of a
// device transfer. The operations are defined where their subject lives: the image codec in
// config_image.cpp, the file in config_file.cpp, the transfer in link/device_transfer.cpp.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <utility>

#include "platform/prompts.h"

class SerialPort;
struct EncodedImage;
enum class TestTone : int;

// Firmware generations. The settings hold one as a signed integer (model), which rules compare
// (2 or more, exactly 4), and which files and trackers may give out of range: scoped names for
// integer values rather than an enumeration type.
namespace FirmwareModel {
constexpr std::int32_t None = 0;
constexpr std::int32_t V1_1 = 1;
constexpr std::int32_t V1_2 = 2;
constexpr std::int32_t V1_4 = 3;
constexpr std::int32_t FaV1_4 = 4;
}  // namespace FirmwareModel

// Phases of a device transfer; there is no 4.
enum class TransferOp : std::int32_t {
    Idle = 0,
    VersionOnly = 1,
    VersionThenRead = 2,
    VersionThenWrite = 3,
    Reading = 5,
    Writing = 6,
    Verifying = 7,
};

// What the last operation came to, set with every status text; callers decide on this, never on
// the text.
enum class Outcome : std::int32_t {
    None,          // nothing has happened yet
    InProgress,    // a transfer is running: probing, reading, writing or verifying
    Succeeded,     // version read, image read, written and verified, file saved or loaded
    Declined,      // a confirmation was declined: nothing was encoded or sent
    Cut,           // the settings do not fit the image: nothing was sent
    NotFound,      // no known version answered
    PortFailed,    // the port did not open
    NotRead,       // nothing came back from the tracker
    Corrupted,     // an image of the wrong size, or whose indexes point outside it
    VerifyFailed,  // the read-back differs from what was sent, or has the wrong size
    FileFailed,    // a file did not open, read or write, or is no configuration file
};

constexpr int kImageSize = 128;
using ConfigImage = std::array<std::uint8_t, kImageSize>;

// The single-precision value nearest to 144.39 MHz.
constexpr float kDefaultFrequencyMHz = 144.39f;

struct TrackerSettings {
    std::int32_t model = FirmwareModel::None;
    std::string callsign = "NOCALL";
    std::string path = "WIDE1-1,WIDE2-1";
    std::string statusText = "Kavrel";
    std::int32_t calibration = 128;
    std::uint16_t autoTxDelayMs = 253;
    std::uint8_t sendEvery = 3;
    std::uint16_t autoTxRateSec = 300;
    std::uint16_t quietTimeMs = 1578;
    float frequencyMHz = kDefaultFrequencyMHz;
    bool txTwist = true;
    bool invertCd = false;
    bool sendWithWeather = false;
    bool allowTtlSerial = false;
    bool peetMode = true;
    bool wx200Mode = false;
};


class Configurator {
public:
    Configurator(SerialPort& port, const Prompts& prompts);

    TrackerSettings settings;

    // Device transfer state.
    std::int32_t retryCount = 0;
    TransferOp operation = TransferOp::Idle;
    std::int32_t tickCount = 0;
    std::string versionReply;
    ConfigImage readImage{};
    ConfigImage writeImage{};
    std::int32_t bytesReceived = 0;
    std::int32_t writePos = 0;
    std::string statusMessage;
    Outcome outcome = Outcome::None;

    // Image codec. encodeImage answers 1 when something had to be cut to fit (after telling the
    // user), 0 otherwise. decodeImage answers whether the settings were taken from readImage.
    std::int32_t encodeImage();
    bool decodeImage();
    void verifyImage();

    // Device transfer.
    void startOperation(TransferOp op);
    std::int32_t poll();
    std::int32_t beginWrite();
    // Writes image as it is, byte for byte, as when a backup is put back: no questions and no
    // encoding. The version probe runs first as for any write, and the read-back is compared
    // with image.
    void beginImageWrite(const ConfigImage& image);
    // Once ESC "D" has gone out the tracker takes the next 128 bytes as its image, so a write
    // whose image is under way sends its remaining chunks at once; a command that would take the
    // port, and closing the program, call this first. The write then goes on to its read-back.
    void finishImage();
    // The test-tone exchange on the port, after any image under way.
    void testTone(TestTone tone);

    // Configuration file.
    void saveFile(const char* path);
    void loadFile(const char* path);

    SerialPort& port() { return port_; }
    const Prompts& prompts() const { return prompts_; }

private:
    void report(Outcome result, std::string text) {
        outcome = result;
        statusMessage = std::move(text);
    }
    void showCutNotices(const EncodedImage& encoded);
    bool decodeFrom(const ConfigImage& image);
    // The version probe of a write found its tracker: lay the image out for it, or end the
    // transfer without sending anything when the settings do not fit its layout.
    std::int32_t startImage(std::int32_t model);
    void sendNextChunk();
    bool transferRunning() const { return operation != TransferOp::Idle; }

    SerialPort& port_;
    const Prompts& prompts_;
    // What the running transfer works with, kept apart from the settings, which Save and Load
    // change while a transfer runs: the settings a write was asked to send (their model is the
    // generation writeImage is laid out for) and the generation the probe found.
    TrackerSettings writeSettings_;
    bool writeExact_ = false;  // writeImage goes as it is, whatever generation answers
    std::int32_t trackerModel_ = FirmwareModel::None;
};
