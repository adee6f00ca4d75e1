#include "config/config_image.h"

#include <string>
#include <vector>

#include "config/image_layout.h"
#include "config/settings_table.h"
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

int addressBlockStart(std::int32_t model) { return model == FirmwareModel::V1_1 ? kBlockStartV1_1 : kBlockStartOther; }

const char* destinationIdentifier(std::int32_t model) {
    if (model >= FirmwareModel::V1_4) return "APKV14";
    if (model == FirmwareModel::V1_2) return "APKV12";
    return "APKV01";
}

namespace {

// The raw value of a header field for the settings.
std::uint32_t fieldValue(const HeaderField& field, const TrackerSettings& s) {
    const SettingSpec& spec = settingSpec(field.setting);
    switch (field.conversion) {
    case Conversion::Byte:
        return static_cast<std::uint32_t>(wholeValue(s, spec)) & 0xFF;
    case Conversion::Word:
        return static_cast<std::uint32_t>(wholeValue(s, spec)) & 0xFFFF;
    case Conversion::DelayMs:
        return delayMsToByte(static_cast<std::uint16_t>(wholeValue(s, spec)));
    case Conversion::QuietMs:
        return quietMsToByte(static_cast<std::uint16_t>(wholeValue(s, spec)));
    case Conversion::Frequency:
        return frequencyToSteps(s.frequencyMHz);
    case Conversion::Flag:
        break;
    }
    return switchValue(s, spec) ? field.mask : 0;
}

// Takes a header field's raw value into the settings.
void takeField(const HeaderField& field, std::uint32_t raw, TrackerSettings& s) {
    const SettingSpec& spec = settingSpec(field.setting);
    switch (field.conversion) {
    case Conversion::Byte:
    case Conversion::Word:
        storeWhole(s, spec, static_cast<std::int32_t>(raw));
        return;
    case Conversion::DelayMs:
        storeWhole(s, spec, byteToDelayMs(static_cast<std::uint8_t>(raw)));
        return;
    case Conversion::QuietMs:
        storeWhole(s, spec, byteToQuietMs(static_cast<std::uint8_t>(raw)));
        return;
    case Conversion::Frequency:
        s.frequencyMHz = stepsToFrequency(static_cast<std::uint16_t>(raw));
        return;
    case Conversion::Flag:
        storeSwitch(s, spec, (raw & field.mask) != 0);
        return;
    }
}

}  // namespace

std::uint32_t headerFieldRaw(const HeaderField& field, const ConfigImage& image) {
    std::uint32_t raw = 0;
    for (int i = field.width - 1; i >= 0; --i) raw = (raw << 8) | image[static_cast<std::size_t>(field.index + i)];
    return raw;
}

EncodedImage encodeSettings(const TrackerSettings& s) {
    EncodedImage encoded;
    ConfigImage& w = encoded.image;
    // A field the model does not carry stays 0.
    for (const HeaderField& field : kHeaderFields) {
        if (!isCarried(settingSpec(field.setting).carried, s.model)) continue;
        const std::uint32_t raw = fieldValue(field, s);
        for (int i = 0; i < field.width; ++i) w[static_cast<std::size_t>(field.index + i)] |= static_cast<std::uint8_t>(raw >> (8 * i));
    }
    const int blockStart = addressBlockStart(s.model);
    w[kBlockStartIndex] = static_cast<std::uint8_t>(blockStart);

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

    w[static_cast<std::size_t>(index++)] = kControlUi;
    w[static_cast<std::size_t>(index++)] = kProtocolNone;
    w[static_cast<std::size_t>(index++)] = 0x00;
    w[kTextStartIndex] = static_cast<std::uint8_t>(index);

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

int statusTextCapacity(const TrackerSettings& settings) {
    return kImageSize - 1 - encodeSettings(settings).image[kTextStartIndex];
}

bool decodeSettings(const ConfigImage& r, TrackerSettings& s) {
    // Everything is checked before any setting changes: an image whose own indexes point outside
    // the 128 bytes (a blank or foreign EEPROM, a damaged file) is refused whole.
    const AddressBlock block = walkAddressBlock(r);
    const int textStart = r[kTextStartIndex];
    if (!block.complete || textStart >= kImageSize) return false;

    s.callsign = formatStationAddress(&r[static_cast<std::size_t>(block.fields[1])]);
    std::vector<std::string> pathFields;
    for (std::size_t k = 2; k < block.fields.size(); ++k)
        pathFields.push_back(formatStationAddress(&r[static_cast<std::size_t>(block.fields[k])]));
    s.path = joinPath(pathFields);
    int textEnd = textStart;
    while (textEnd < kImageSize && r[static_cast<std::size_t>(textEnd)] != 0) ++textEnd;
    s.statusText.assign(reinterpret_cast<const char*>(r.data()) + textStart, static_cast<std::size_t>(textEnd - textStart));
    // A field the model does not carry keeps its value; the frequency takes its default.
    for (const HeaderField& field : kHeaderFields) {
        if (isCarried(settingSpec(field.setting).carried, s.model))
            takeField(field, headerFieldRaw(field, r), s);
        else if (field.conversion == Conversion::Frequency)
            s.frequencyMHz = kDefaultFrequencyMHz;
    }
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
        report(Outcome::Corrupted, "Corrupted EEPROM");
        return false;
    }
    return decodeFrom(readImage);
}

bool Configurator::decodeFrom(const ConfigImage& image) {
    if (!decodeSettings(image, settings)) {
        report(Outcome::Corrupted, "Corrupted EEPROM");
        return false;
    }
    report(Outcome::Succeeded, "Read Config Successful");
    return true;
}

void Configurator::verifyImage() {
    if (bytesReceived != kImageSize) {
        report(Outcome::VerifyFailed, "Verify FAILED SIZE");
        return;
    }
    if (readImage != writeImage) {
        report(Outcome::VerifyFailed, "Verify Failed");
        return;
    }
    // An image written byte for byte is verified when every byte came back, whether or not it decodes.
    if (decodeImage() || writeExact_) report(Outcome::Succeeded, "Config Written Successfully!");
}

TrackerSettings storedSettings(const TrackerSettings& settings) {
    TrackerSettings stored = settings;
    decodeSettings(encodeSettings(settings).image, stored);
    return stored;
}
