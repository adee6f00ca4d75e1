#include "link/device_transfer.h"

#include <chrono>
#include <cstring>
#include <string>

#include "config/config_image.h"
#include "config/tracker_settings.h"
#include "link/serial_port.h"

const VersionText kVersionTexts[4] = {
    {"Kavrel v1.1", FirmwareModel::V1_1},
    {"Kavrel v1.2", FirmwareModel::V1_2},
    {"Kavrel v1.4", FirmwareModel::V1_4},
    {"Kavrel FA v1.4", FirmwareModel::FaV1_4},
};

namespace {

const std::uint8_t kReadVersion[] = {kEsc, 'V'};
const std::uint8_t kReadImage[] = {kEsc, 'U'};
const std::uint8_t kWriteImage[] = {kEsc, 'D'};
constexpr int kPacingMs = 10;
constexpr int kJudgingTick = 3;
constexpr int kChunkSize = 32;
constexpr int kStoreWaitMs = 2000;  // generations 1 and 2 need this before they answer again

// A device that never pauses would hold the thread forever: one drain stops after a second, and
// the phase then goes on to its judging tick, which judges what came.
constexpr auto kMaxDrainTime = std::chrono::milliseconds(1000);
// Enough for any real version reply and a readable status line.
constexpr std::size_t kMaxVersionReply = 256;

// Reads the bytes waiting on the port until it is quiet for one read time-out, or the drain's
// time runs out, handing each byte to take.
template <typename Take>
void drain(SerialPort& port, Take take) {
    const auto deadline = std::chrono::steady_clock::now() + kMaxDrainTime;
    std::uint8_t byte = 0;
    while (port.readByte(byte)) {
        take(byte);
        if (std::chrono::steady_clock::now() >= deadline) break;
    }
}

}  // namespace

std::int32_t matchVersionReply(const char* reply, std::size_t length) {
    for (const VersionText& version : kVersionTexts) {
        const std::size_t n = std::strlen(version.text);
        if (length >= n && std::memcmp(reply, version.text, n) == 0) return version.model;
    }
    return FirmwareModel::None;
}

void sendTestTone(SerialPort& port, TestTone tone) {
    static const std::uint8_t commands[4][3] = {
        {kEsc, kEsc, '1'}, {kEsc, kEsc, '2'}, {kEsc, kEsc, '3'}, {kEsc, kEsc, kEsc}};
    if (port.open()) return;
    port.writeBytes(3, commands[static_cast<int>(tone)], kPacingMs);
    port.close();
}

void startRead(Configurator& configurator, TransferOp op, std::int32_t attemptsUsed) {
    configurator.retryCount = attemptsUsed;
    configurator.startOperation(op);
}

void Configurator::startOperation(TransferOp op) {
    SerialPort& port = port_;
    finishImage();
    if (port.open()) {
        report(Outcome::PortFailed, port.lastError);
        return;
    }
    // A reply that came after the previous attempt was judged is no answer to this one.
    port.discardInput();
    operation = op;
    tickCount = 0;
    versionReply.clear();
    report(Outcome::InProgress, "Reading Version");
    port.writeBytes(2, kReadVersion, 0);
}

std::int32_t Configurator::poll() {
    SerialPort& port = port_;
    ++tickCount;
    switch (operation) {
    case TransferOp::VersionOnly:
    case TransferOp::VersionThenRead:
    case TransferOp::VersionThenWrite: {
        drain(port, [this](std::uint8_t byte) {
            if (versionReply.size() < kMaxVersionReply) versionReply += static_cast<char>(byte);
        });
        if (tickCount < kJudgingTick) return 0;
        port.close();
        const std::int32_t model = matchVersionReply(versionReply.data(), versionReply.size());
        if (model != FirmwareModel::None) {
            settings.model = model;
            trackerModel_ = model;
            tickCount = 0;
            if (operation == TransferOp::VersionOnly) {
                report(Outcome::Succeeded, "Version Read : \"" + versionReply + "\"");
                operation = TransferOp::Idle;
            } else if (operation == TransferOp::VersionThenRead) {
                operation = TransferOp::Reading;
                bytesReceived = 0;
                report(Outcome::InProgress, "Reading Config");
                port.open();
                port.writeBytes(2, kReadImage, kPacingMs);
            } else {
                return startImage(model);
            }
            return 1;
        }
        const std::int32_t failures = retryCount++;
        if (failures >= 4) {
            report(Outcome::NotFound, "Kavrel not found : (" + versionReply + ")");
            operation = TransferOp::Idle;
            settings.model = FirmwareModel::None;
        } else {
            port.baudRate = port.baudRate == 9600 ? 2400 : 9600;
            startOperation(static_cast<TransferOp>(operation));
        }
        return 1;
    }
    case TransferOp::Reading:
    case TransferOp::Verifying: {
        // Every byte is counted, so an overlong reply is judged the wrong size; only the first
        // 128 are kept.
        drain(port, [this](std::uint8_t byte) {
            if (bytesReceived >= 0 && bytesReceived < kImageSize) readImage[static_cast<std::size_t>(bytesReceived)] = byte;
            if (bytesReceived < INT32_MAX) ++bytesReceived;
        });
        if (tickCount < kJudgingTick) return 0;
        // The image is the tracker's, whatever a Load did to the settings meanwhile.
        settings.model = trackerModel_;
        if (bytesReceived == 0)
            report(Outcome::NotRead, "Config not read ");
        else if (operation == TransferOp::Reading)
            decodeImage();
        else
            verifyImage();
        operation = TransferOp::Idle;
        port.close();
        return 1;
    }
    case TransferOp::Writing:
        if (writePos < kImageSize) {
            sendNextChunk();
            return 0;
        }
        if (trackerModel_ <= FirmwareModel::V1_2) prompts_.pause(prompts_.context, kStoreWaitMs);
        port.writeBytes(2, kReadImage, kPacingMs);
        bytesReceived = 0;
        report(Outcome::InProgress, "Verifying Config");
        operation = TransferOp::Verifying;
        return 0;
    default:
        return 0;
    }
}

std::int32_t Configurator::beginWrite() {
    const std::string& path = settings.path;
    if (path.find("-4") != std::string::npos || path.find("-5") != std::string::npos ||
        path.find("-6") != std::string::npos || path.find("-7") != std::string::npos) {
        if (!prompts_.confirm(prompts_.context, "Kavrel Write",
                              "You are about to configure your Kavrel with the ability to send a longer path than is "
                              "normally recommended. Are you sure you want to do this?")) {
            outcome = Outcome::Declined;
            return 0;
        }
    }
    if (settings.autoTxRateSec < 120) {
        if (!prompts_.confirm(prompts_.context, "Kavrel Write",
                              "You are about to configure your Kavrel with the ability to send at a rate that is more "
                              "frequent then is normally recommended. Are you sure you want to do this?")) {
            outcome = Outcome::Declined;
            return 0;
        }
    }
    retryCount = 0;
    finishImage();
    const EncodedImage encoded = encodeSettings(settings);
    if (!encoded.cut()) {
        writeImage = encoded.image;
        writeSettings_ = settings;
        writeExact_ = false;
        startOperation(TransferOp::VersionThenWrite);
        return 0;
    }
    showCutNotices(encoded);
    // The settings become what would have been stored. A transfer that kept running meanwhile
    // keeps its own images.
    if (transferRunning()) {
        decodeFrom(encoded.image);
    } else {
        writeImage = encoded.image;
        readImage = writeImage;
        bytesReceived = kImageSize;
        decodeImage();
    }
    // The status is the decoder's; nothing was sent.
    outcome = Outcome::Cut;
    return 1;
}

void Configurator::beginImageWrite(const ConfigImage& image) {
    retryCount = 0;
    finishImage();
    writeImage = image;
    writeExact_ = true;
    startOperation(TransferOp::VersionThenWrite);
}

std::int32_t Configurator::startImage(std::int32_t model) {
    if (!writeExact_ && writeSettings_.model != model) {
        writeSettings_.model = model;
        const EncodedImage encoded = encodeSettings(writeSettings_);
        writeImage = encoded.image;
        if (encoded.cut()) {
            operation = TransferOp::Idle;
            settings = writeSettings_;
            readImage = writeImage;
            bytesReceived = kImageSize;
            decodeImage();
            report(Outcome::Cut, encoded.textCut ? "Nothing Written : Text Too Long" : "Nothing Written : Path Too Long");
            // Last: the notice's own message loop keeps the timer ticking.
            showCutNotices(encoded);
            return 1;
        }
    }
    operation = TransferOp::Writing;
    report(Outcome::InProgress, "Writing Config : ");
    port_.open();
    port_.writeBytes(2, kWriteImage, kPacingMs);
    writePos = 0;
    return 1;
}

void Configurator::sendNextChunk() {
    // One star per chunk; the text is rebuilt so that a Load meanwhile leaves no trace in it.
    report(Outcome::InProgress, "Writing Config : " + std::string(static_cast<std::size_t>(writePos / kChunkSize + 1), '*'));
    port_.writeBytes(kChunkSize, writeImage.data() + writePos, kPacingMs);
    writePos += kChunkSize;
}

void Configurator::finishImage() {
    while (operation == TransferOp::Writing && writePos >= 0 && writePos < kImageSize) sendNextChunk();
}

void Configurator::testTone(TestTone tone) {
    finishImage();
    sendTestTone(port_, tone);
}
