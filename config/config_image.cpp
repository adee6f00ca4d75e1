#include "config/config_image.h"

#include <string>
#include <vector>

#include "config/station_address.h"
#include "config/tracker_settings.h"

const char kTextTruncatedCaption[] = "Text Truncated";
const char kTextTruncatedText[] =
    "The Status Text is too long and has been tuncated.  To have longer text, use fewer digipeaters.";
const char kPathTruncatedCaption[] = "Path Truncated";
const char kPathTruncatedText[] =
    "The Path has more digipeaters than the configuration can hold; only the first 14 are kept.  "
    "Check the Path before writing.";

namespace {

std::uint8_t clampToByte(int steps) { return static_cast<std::uint8_t>(steps > 255 ? 255 : steps); }

}  // namespace

std::uint8_t delayMsToByte(std::uint16_t ms) { return clampToByte(static_cast<int>((ms + 3.0) / kDelayStepMs + 0.5)); }

std::uint16_t byteToDelayMs(std::uint8_t byte) { return static_cast<std::uint16_t>(byte * kDelayStepMs + 0.5); }

std::uint8_t quietMsToByte(std::uint16_t ms) { return clampToByte(static_cast<int>((ms + 13.0) / kQuietStepMs + 0.5)); }

std::uint16_t byteToQuietMs(std::uint8_t byte) { return static_cast<std::uint16_t>(byte * kQuietStepMs + 0.5); }

std::uint16_t frequencyToSteps(float mhz) {
    double f = static_cast<double>(mhz);
    // Written as "inside the band" so that a NaN typed into the form also takes the default.
    if (!(f >= 144.0 && f <= 148.0)) f = static_cast<double>(kDefaultFrequencyMHz);
    return static_cast<std::uint16_t>(f * 1000.0 / 5.0 + 0.5);
}

float stepsToFrequency(std::uint16_t steps) { return static_cast<float>(steps * 5.0 / 1000.0); }

int addressBlockStart(std::int32_t model) { return model == V1_1 ? kBlockStartV1_1 : kBlockStartOther; }

const char* destinationIdentifier(std::int32_t model) {
    if (model >= V1_4) return "APKV14";
    if (model == V1_2) return "APKV12";
    return "APKV01";
}

EncodedImage encodeSettings(const TrackerSettings& s) {
    EncodedImage encoded;
    ConfigImage& w = encoded.image;
    const int blockStart = addressBlockStart(s.model);

    w[1] = static_cast<std::uint8_t>(s.calibration & 0xFF);
    w[3] = static_cast<std::uint8_t>(s.autoTxRateSec & 0xFF);
    w[4] = static_cast<std::uint8_t>(s.autoTxRateSec >> 8);
    w[2] = delayMsToByte(s.autoTxDelayMs);
    w[7] = quietMsToByte(s.quietTimeMs);
    w[8] = s.sendEvery;

    int flags = (s.wx200Mode ? 0x80 : 0) | (s.peetMode ? 0x40 : 0);
    if (carriesSerialSwitches(s.model))
        flags |= (s.invertCd ? 0x04 : 0) | (s.sendWithWeather ? 0x08 : 0) | (s.allowTtlSerial ? 0x10 : 0);
    if (carriesTxTwist(s.model)) flags |= s.txTwist ? 0x01 : 0;
    w[5] = static_cast<std::uint8_t>(flags);

    if (carriesFrequency(s.model)) {
        const std::uint16_t steps = frequencyToSteps(s.frequencyMHz);
        w[9] = static_cast<std::uint8_t>(steps & 0xFF);
        w[10] = static_cast<std::uint8_t>(steps >> 8);
    }
    w[0] = static_cast<std::uint8_t>(blockStart);

    int index = blockStart;
    auto putField = [&](const StationAddress& address) {
        const AddressField field = encodeStationAddress(address);
        for (std::uint8_t byte : field) w[static_cast<std::size_t>(index++)] = byte;
    };
    StationAddress destination;
    destination.callsign = destinationIdentifier(s.model);
    putField(destination);
    putField(parseStationAddress(s.callsign));

    // A path too long for the image keeps the entries that fit; nothing is written outside it.
    const std::vector<std::string> entries = splitPath(s.path);
    encoded.pathCut = entries.size() > static_cast<std::size_t>(kMaxPathEntries);
    for (std::size_t k = 0; k < entries.size() && k < static_cast<std::size_t>(kMaxPathEntries); ++k)
        putField(parseStationAddress(entries[k]));
    w[static_cast<std::size_t>(index - 1)] |= kEndOfBlockMark;

    w[static_cast<std::size_t>(index++)] = 0x03;
    w[static_cast<std::size_t>(index++)] = 0xF0;
    w[static_cast<std::size_t>(index++)] = 0x00;
    w[6] = static_cast<std::uint8_t>(index);

    for (char c : s.statusText) {
        if (index >= kImageSize - 1) {
            encoded.textCut = true;
            break;
        }
        w[static_cast<std::size_t>(index++)] = static_cast<std::uint8_t>(c);
    }
    w[static_cast<std::size_t>(index)] = 0x00;
    return encoded;
}

bool decodeSettings(const ConfigImage& r, TrackerSettings& s) {
    // Everything is checked before any setting changes: an image whose own indexes point outside
    // the 128 bytes (a blank or foreign EEPROM, a damaged file) is refused whole.
    const int blockStart = r[0];
    const int textStart = r[6];
    if (blockStart > kImageSize - 14 || textStart >= kImageSize) return false;
    std::vector<std::string> pathFields;
    if ((r[static_cast<std::size_t>(blockStart + 13)] & kEndOfBlockMark) == 0) {
        for (int at = blockStart + 14;; at += 7) {
            if (at + 7 > kImageSize) return false;
            pathFields.push_back(formatStationAddress(&r[static_cast<std::size_t>(at)]));
            if (r[static_cast<std::size_t>(at + 6)] & kEndOfBlockMark) break;
        }
    }

    s.callsign = formatStationAddress(&r[static_cast<std::size_t>(blockStart + 7)]);
    s.path = joinPath(pathFields);
    s.calibration = r[1];
    s.autoTxRateSec = static_cast<std::uint16_t>(r[3] + 256 * r[4]);
    s.autoTxDelayMs = byteToDelayMs(r[2]);
    s.sendEvery = r[8];
    int textEnd = textStart;
    while (textEnd < kImageSize && r[static_cast<std::size_t>(textEnd)] != 0) ++textEnd;
    s.statusText.assign(reinterpret_cast<const char*>(r.data()) + textStart, static_cast<std::size_t>(textEnd - textStart));
    s.quietTimeMs = byteToQuietMs(r[7]);
    const int flags = r[5];
    if (carriesTxTwist(s.model)) s.txTwist = (flags & 0x01) != 0;
    if (carriesSerialSwitches(s.model)) {
        s.invertCd = (flags & 0x04) != 0;
        s.sendWithWeather = (flags & 0x08) != 0;
        s.allowTtlSerial = (flags & 0x10) != 0;
    }
    s.peetMode = (flags & 0x40) != 0;
    s.wx200Mode = (flags & 0x80) != 0;
    s.frequencyMHz = carriesFrequency(s.model) ? stepsToFrequency(static_cast<std::uint16_t>(r[9] + 256 * r[10]))
                                               : kDefaultFrequencyMHz;
    return true;
}

void Configurator::showCutNotices(const EncodedImage& encoded) {
    if (encoded.pathCut) prompts_.notice(prompts_.context, kPathTruncatedCaption, kPathTruncatedText);
    if (encoded.textCut) prompts_.notice(prompts_.context, kTextTruncatedCaption, kTextTruncatedText);
}

std::int32_t Configurator::encodeImage() {
    const EncodedImage encoded = encodeSettings(settings);
    writeImage = encoded.image;
    showCutNotices(encoded);
    return encoded.cut() ? 1 : 0;
}

bool Configurator::decodeImage() {
    if (bytesReceived != kImageSize) {
        statusMessage = "Corrupted EEPROM";
        return false;
    }
    return decodeFrom(readImage);
}

bool Configurator::decodeFrom(const ConfigImage& image) {
    if (!decodeSettings(image, settings)) {
        statusMessage = "Corrupted EEPROM";
        return false;
    }
    statusMessage = "Read Config Successful";
    return true;
}

void Configurator::verifyImage() {
    if (bytesReceived != kImageSize) {
        statusMessage = "Verify FAILED SIZE";
        return;
    }
    if (readImage != writeImage) {
        statusMessage = "Verify Failed";
        return;
    }
    if (decodeImage()) statusMessage = "Config Written Successfully!";
}
