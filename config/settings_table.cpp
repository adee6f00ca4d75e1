#include "config/settings_table.h"

#include <cfloat>
#include <cmath>
#include <limits>

using TS = TrackerSettings;

const SettingSpec kSettingSpecs[kSettingCount] = {
    {SettingId::Callsign, "callsign", &TS::callsign, SettingKind::Text, Carried::All, 0, 0, "",
     "The station's callsign: the sender of every report"},
    {SettingId::Path, "path", &TS::path, SettingKind::Text, Carried::All, 0, 0, "",
     "The digipeaters asked to relay each report"},
    {SettingId::StatusText, "statusText", &TS::statusText, SettingKind::Text, Carried::All, 0, 0, "",
     "The text of the status report"},
    {SettingId::Calibration, "calibration", &TS::calibration, SettingKind::Whole, Carried::All, 0, 255, "",
     "A raw calibration value for the tracker's hardware"},
    {SettingId::AutoTxDelayMs, "autoTxDelayMs", &TS::autoTxDelayMs, SettingKind::Whole, Carried::All, 0, 1700, "ms",
     "How long the radio is keyed before the data starts (the transmit delay)"},
    {SettingId::SendEvery, "sendEvery", &TS::sendEvery, SettingKind::Whole, Carried::All, 0, 255, "",
     "How often the status report goes out: once every this many reports"},
    {SettingId::AutoTxRateSec, "autoTxRateSec", &TS::autoTxRateSec, SettingKind::Whole, Carried::All, 0, 65535, "s",
     "The time between automatic reports"},
    {SettingId::QuietTimeMs, "quietTimeMs", &TS::quietTimeMs, SettingKind::Whole, Carried::All, 0, 6706, "ms",
     "How long the channel must be quiet before the tracker transmits"},
    {SettingId::FrequencyMHz, "frequencyMHz", &TS::frequencyMHz, SettingKind::Frequency, Carried::OnlyFaV1_4,
     144000, 148000, "MHz", "The radio's transmit frequency"},
    {SettingId::TxTwist, "txTwist", &TS::txTwist, SettingKind::Switch, Carried::FromV1_4, 0, 1, "",
     "Raises the high tone's level against the low tone's (transmit twist)"},
    {SettingId::InvertCd, "invertCd", &TS::invertCd, SettingKind::Switch, Carried::FromV1_2, 0, 1, "",
     "Inverts the sense of the radio's carrier-detect line"},
    {SettingId::SendWithWeather, "sendWithWeather", &TS::sendWithWeather, SettingKind::Switch, Carried::FromV1_2, 0,
     1, "", "Sends the status report along with the weather reports"},
    {SettingId::AllowTtlSerial, "allowTtlSerial", &TS::allowTtlSerial, SettingKind::Switch, Carried::FromV1_2, 0, 1, "",
     "Accepts the weather station's serial data at TTL levels"},
    {SettingId::PeetMode, "peetMode", &TS::peetMode, SettingKind::Switch, Carried::All, 0, 1, "",
     "Reads a Peet weather station"},
    {SettingId::Wx200Mode, "wx200Mode", &TS::wx200Mode, SettingKind::Switch, Carried::All, 0, 1, "",
     "Reads a WX200/WM918 weather station"},
};

bool isCarried(Carried rule, std::int32_t model) {
    switch (rule) {
    case Carried::FromV1_2:
        return model >= FirmwareModel::V1_2;
    case Carried::FromV1_4:
        return model >= FirmwareModel::V1_4;
    case Carried::OnlyFaV1_4:
        return model == FirmwareModel::FaV1_4;
    case Carried::All:
        break;
    }
    return true;
}

const char* carryingGenerations(Carried rule) {
    switch (rule) {
    case Carried::FromV1_2:
        return "generations 2 to 4";
    case Carried::FromV1_4:
        return "generations 3 and 4";
    case Carried::OnlyFaV1_4:
        return "generation 4 only";
    case Carried::All:
        break;
    }
    return "";
}

const SettingSpec& settingSpec(SettingId id) { return kSettingSpecs[static_cast<int>(id)]; }

const SettingSpec* findSetting(const std::string& name) {
    for (const SettingSpec& spec : kSettingSpecs)
        if (name == spec.name) return &spec;
    return nullptr;
}

std::int64_t wholeValue(const TrackerSettings& s, const SettingSpec& spec) {
    if (const auto* m = std::get_if<std::int32_t TS::*>(&spec.member)) return s.*(*m);
    if (const auto* m = std::get_if<std::uint16_t TS::*>(&spec.member)) return s.*(*m);
    if (const auto* m = std::get_if<std::uint8_t TS::*>(&spec.member)) return s.*(*m);
    return 0;
}

void storeWhole(TrackerSettings& s, const SettingSpec& spec, std::int32_t value) {
    if (const auto* m = std::get_if<std::int32_t TS::*>(&spec.member)) s.*(*m) = value;
    if (const auto* m = std::get_if<std::uint16_t TS::*>(&spec.member))
        s.*(*m) = static_cast<std::uint16_t>(static_cast<std::uint32_t>(value));
    if (const auto* m = std::get_if<std::uint8_t TS::*>(&spec.member))
        s.*(*m) = static_cast<std::uint8_t>(static_cast<std::uint32_t>(value));
}

const std::string& textValue(const TrackerSettings& s, const SettingSpec& spec) {
    static const std::string none;
    const auto* m = std::get_if<std::string TS::*>(&spec.member);
    return m != nullptr ? s.*(*m) : none;
}

void storeText(TrackerSettings& s, const SettingSpec& spec, const std::string& value) {
    if (const auto* m = std::get_if<std::string TS::*>(&spec.member)) s.*(*m) = value;
}

bool switchValue(const TrackerSettings& s, const SettingSpec& spec) {
    const auto* m = std::get_if<bool TS::*>(&spec.member);
    return m != nullptr && s.*(*m);
}

void storeSwitch(TrackerSettings& s, const SettingSpec& spec, bool value) {
    if (const auto* m = std::get_if<bool TS::*>(&spec.member)) s.*(*m) = value;
}

std::vector<SettingId> carriedSettings(std::int32_t model) {
    std::vector<SettingId> ids;
    for (const SettingSpec& spec : kSettingSpecs)
        if (isCarried(spec.carried, model)) ids.push_back(spec.id);
    return ids;
}

bool sameSetting(const SettingSpec& spec, const TrackerSettings& a, const TrackerSettings& b) {
    return std::visit([&](auto member) { return a.*member == b.*member; }, spec.member);
}

std::vector<SettingChange> settingChanges(const TrackerSettings& before, const TrackerSettings& after) {
    std::vector<SettingChange> changes;
    for (const SettingSpec& spec : kSettingSpecs) {
        const bool carriedBefore = isCarried(spec.carried, before.model);
        const bool carriedAfter = isCarried(spec.carried, after.model);
        if ((carriedBefore || carriedAfter) && (carriedBefore != carriedAfter || !sameSetting(spec, before, after)))
            changes.push_back({&spec, carriedBefore, carriedAfter});
    }
    return changes;
}

float roundToSingle(double value) {
    // 2^128 - 2^103 lies halfway between FLT_MAX and the next power of two: from there on the
    // nearest float is infinity; below it, above FLT_MAX, it is FLT_MAX.
    const double overflow = std::ldexp(1.0, 128) - std::ldexp(1.0, 103);
    if (std::isnan(value)) return std::numeric_limits<float>::quiet_NaN();
    if (std::fabs(value) >= overflow)
        return value > 0 ? std::numeric_limits<float>::infinity() : -std::numeric_limits<float>::infinity();
    if (value > static_cast<double>(FLT_MAX)) return FLT_MAX;
    if (value < -static_cast<double>(FLT_MAX)) return -FLT_MAX;
    return static_cast<float>(value);
}
