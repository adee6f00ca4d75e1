#include "config/setting_rules.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "config/config_image.h"
#include "config/image_layout.h"
#include "config/station_address.h"
#include "platform/byte_text.h"

namespace {

constexpr int kMaxCallsignLength = 6;
constexpr int kMaxSsid = 15;

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isLetterOrDigit(char c) { return isDigit(c) || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

std::string quoted(const std::string& text) { return "'" + text + "'"; }

std::string upperCase(std::string text) {
    for (char& c : text) c = upper(c);
    return text;
}

// 1 to 6 letters or digits, then optionally "-" and an SSID of one or two digits, 0 to 15.
bool isStation(const std::string& text) {
    const std::size_t dash = text.find('-');
    const std::string call = text.substr(0, dash);
    if (call.empty() || call.size() > kMaxCallsignLength) return false;
    for (char c : call)
        if (!isLetterOrDigit(c)) return false;
    if (dash == std::string::npos) return true;
    const std::string ssid = text.substr(dash + 1);
    if (ssid.empty() || ssid.size() > 2 || !isDigit(ssid[0]) || (ssid.size() == 2 && !isDigit(ssid[1]))) return false;
    int number = 0;
    std::from_chars(ssid.data(), ssid.data() + ssid.size(), number);
    return number <= kMaxSsid;
}

// The entries between commas; unlike splitPath, empty ones are kept so that they are refused.
std::vector<std::string> pathEntries(const std::string& path) {
    std::vector<std::string> entries;
    if (path.empty()) return entries;
    std::size_t from = 0;
    for (std::size_t comma; (comma = path.find(',', from)) != std::string::npos; from = comma + 1)
        entries.push_back(path.substr(from, comma - from));
    entries.push_back(path.substr(from));
    return entries;
}

bool checkText(const SettingSpec& spec, const std::string& text, std::string& why) {
    switch (spec.id) {
    case SettingId::Callsign:
        if (isStation(text)) return true;
        why = quoted(text) + " is not a callsign";
        return false;
    case SettingId::Path:
        for (const std::string& entry : pathEntries(text)) {
            if (isStation(entry)) continue;
            if (entry == text) why = quoted(text) + " is no digipeater";
            else why = quoted(text) + ": " + (entry.empty() ? std::string("an empty entry") : quoted(entry) + " is no digipeater");
            return false;
        }
        if (pathEntries(text).size() <= static_cast<std::size_t>(kMaxPathEntries)) return true;
        why = quoted(text) + " has " + std::to_string(pathEntries(text).size()) + " entries";
        return false;
    default:
        for (char c : text) {
            const auto byte = static_cast<unsigned char>(c);
            if (byte >= 0x20 && byte < 0x7F) continue;
            why = "the text holds the byte 0x" + hexByte(byte) + ", which is not printable ASCII";
            return false;
        }
        return true;
    }
}

// Digits only, at most ten of them: no sign, no blanks, no unit.
bool parseWhole(const std::string& text, long long& value) {
    if (text.empty() || text.size() > 10) return false;
    for (char c : text)
        if (!isDigit(c)) return false;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return true;
}

// Digits with an optional decimal point and digits after it; the C locale's point, never a comma.
bool parseDecimal(const std::string& text, double& value) {
    const std::size_t point = text.find('.');
    const std::string whole = text.substr(0, point);
    const std::string fraction = point == std::string::npos ? std::string("0") : text.substr(point + 1);
    long long ignored = 0;
    if (!parseWhole(whole, ignored) || fraction.empty() || fraction.size() > 9) return false;
    for (char c : fraction)
        if (!isDigit(c)) return false;
    // The text is checked above; strtod reads it in the C locale, which kavrelcfg never changes
    // (libc++ has no from_chars for floating point).
    value = std::strtod(text.c_str(), nullptr);
    return true;
}

bool inBand(const SettingSpec& spec, double mhz) {
    const double khz = mhz * 1000.0;
    return khz >= spec.minimum && khz <= spec.maximum;
}

std::string wholeRange(const SettingSpec& spec) {
    return std::to_string(spec.minimum) + " to " + std::to_string(spec.maximum) +
           (*spec.unit != 0 ? std::string(" ") + spec.unit : std::string());
}

// The shortest text with at least three decimals that reads back as the same float: 144.390 as
// every value on the 5 kHz grid prints, 147.9999 where that is what was given.
std::string megahertz(double mhz) {
    char text[64];
    for (int decimals = 3; decimals <= 9; ++decimals) {
        std::snprintf(text, sizeof text, "%.*f", decimals, mhz);
        if (roundToSingle(std::strtod(text, nullptr)) == roundToSingle(mhz)) return text;
    }
    std::snprintf(text, sizeof text, "%.9g", mhz);
    return text;
}

// A callsign or path entry as the image gives it back, when it is one the image can hold.
std::string storedStation(const std::string& entry) {
    return isStation(entry) ? formatStationAddress(encodeStationAddress(parseStationAddress(entry)).data()) : entry;
}

}  // namespace

const char* storageStep(const SettingSpec& spec) {
    for (const HeaderField& field : kHeaderFields) {
        if (field.setting != spec.id) continue;
        if (field.conversion == Conversion::DelayMs) return "6.666 ms";
        if (field.conversion == Conversion::QuietMs) return "26.3 ms";
        if (field.conversion == Conversion::Frequency) return "5 kHz";
    }
    return "";
}

std::string storedText(const SettingSpec& spec, const std::string& text) {
    if (spec.id == SettingId::Callsign) return storedStation(text);
    if (spec.id != SettingId::Path) return text;
    std::string path;
    for (const std::string& entry : pathEntries(text)) path += storedStation(entry) + ",";
    if (!path.empty()) path.pop_back();
    return path;
}

std::string allowedValues(const SettingSpec& spec) {
    switch (spec.kind) {
    case SettingKind::Text:
        if (spec.id == SettingId::Callsign) return "1 to 6 letters or digits, optionally -SSID 0 to 15, such as KV1ABC-7";
        if (spec.id == SettingId::Path)
            return "0 to " + std::to_string(kMaxPathEntries) + " digipeaters such as WIDE1-1, separated by commas";
        return "printable ASCII, as many characters as the path leaves room for (" +
               std::to_string(statusTextCapacity(TrackerSettings{})) + " with two digipeaters)";
    case SettingKind::Whole:
        return wholeRange(spec) + (*storageStep(spec) != 0 ? std::string(" in steps of ") + storageStep(spec) : "");
    case SettingKind::Frequency:
        return megahertz(spec.minimum / 1000.0) + " to " + megahertz(spec.maximum / 1000.0) + " MHz in " +
               storageStep(spec) + " steps";
    case SettingKind::Switch:
        break;
    }
    return "true, false, yes, no, 1 or 0";
}

bool parseStrictValue(const SettingSpec& spec, const std::string& text, TrackerSettings& settings, std::string& why) {
    switch (spec.kind) {
    case SettingKind::Text:
        if (!checkText(spec, text, why)) return false;
        storeText(settings, spec, storedText(spec, text));
        return true;
    case SettingKind::Whole: {
        long long value = 0;
        if (!parseWhole(text, value)) {
            why = quoted(text) + " is not a whole number";
            return false;
        }
        if (value < spec.minimum || value > spec.maximum) {
            why = quoted(text) + " is out of range";
            return false;
        }
        storeWhole(settings, spec, static_cast<std::int32_t>(value));
        return true;
    }
    case SettingKind::Frequency: {
        double mhz = 0;
        if (!parseDecimal(text, mhz)) {
            why = quoted(text) + " is not a frequency in MHz with a decimal point";
            return false;
        }
        if (!inBand(spec, mhz)) {
            why = quoted(text) + " is outside the band";
            return false;
        }
        settings.frequencyMHz = roundToSingle(mhz);
        return true;
    }
    case SettingKind::Switch:
        break;
    }
    const std::string word = upperCase(text);
    const bool on = word == "TRUE" || word == "YES" || word == "1";
    if (!on && word != "FALSE" && word != "NO" && word != "0") {
        why = quoted(text) + " is not a switch value";
        return false;
    }
    storeSwitch(settings, spec, on);
    return true;
}

bool checkStrictValue(const SettingSpec& spec, const TrackerSettings& settings, std::string& why) {
    switch (spec.kind) {
    case SettingKind::Text:
        return checkText(spec, textValue(settings, spec), why);
    case SettingKind::Whole: {
        const std::int64_t value = wholeValue(settings, spec);
        if (value >= spec.minimum && value <= spec.maximum) return true;
        why = std::to_string(value) + " is out of range";
        return false;
    }
    case SettingKind::Frequency:
        if (std::isfinite(settings.frequencyMHz) && inBand(spec, static_cast<double>(settings.frequencyMHz))) return true;
        why = megahertz(static_cast<double>(settings.frequencyMHz)) + " MHz is outside the band";
        return false;
    case SettingKind::Switch:
        break;
    }
    return true;
}

std::vector<FitProblem> checkFit(const TrackerSettings& settings) {
    std::vector<FitProblem> problems;
    const EncodedImage encoded = encodeSettings(settings);
    if (encoded.pathCut)
        problems.push_back({SettingId::Path, std::to_string(splitPath(settings.path).size()) +
                                                 " digipeaters do not fit: the image holds " +
                                                 std::to_string(kMaxPathEntries)});
    else if (encoded.textCut)
        problems.push_back({SettingId::StatusText, std::to_string(settings.statusText.size()) +
                                                       " characters do not fit: with this path " +
                                                       std::to_string(statusTextCapacity(settings)) + " fit"});
    return problems;
}

std::vector<FitProblem> implausibleValues(const TrackerSettings& settings) {
    std::vector<FitProblem> problems;
    for (const SettingSpec& spec : kSettingSpecs) {
        if (!isCarried(spec.carried, settings.model)) continue;
        if (spec.kind == SettingKind::Frequency && !inBand(spec, static_cast<double>(settings.frequencyMHz)))
            problems.push_back({spec.id, megahertz(static_cast<double>(settings.frequencyMHz)) + " MHz is outside the band"});
        if (spec.kind != SettingKind::Text) continue;
        for (char c : textValue(settings, spec))
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
                problems.push_back({spec.id, "it holds control characters"});
                break;
            }
    }
    return problems;
}

std::string valueText(const TrackerSettings& settings, const SettingSpec& spec) {
    switch (spec.kind) {
    case SettingKind::Text:
        return textValue(settings, spec);
    case SettingKind::Whole:
        return std::to_string(wholeValue(settings, spec));
    case SettingKind::Frequency:
        return megahertz(static_cast<double>(settings.frequencyMHz));
    case SettingKind::Switch:
        break;
    }
    return switchValue(settings, spec) ? "true" : "false";
}
