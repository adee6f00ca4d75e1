#include "cli/settings_document.h"

#include <cmath>

#include "cli/exit_status.h"
#include "cli/json_output.h"
#include "cli/named_files.h"
#include "config/setting_rules.h"
#include "config/settings_table.h"

namespace {

constexpr std::size_t kMaxDocumentBytes = 1024 * 1024;

// One value of the document into the layer; false with why.
bool takeValue(const SettingSpec& spec, const Json& value, SettingsLayer& layer, std::string& why) {
    switch (spec.kind) {
    case SettingKind::Text: {
        std::string bytes;
        if (!value.is_string()) {
            why = "a text in double quotes is expected";
            return false;
        }
        if (!bytesOfJsonText(value.get<std::string>(), bytes) || bytes.find('\0') != std::string::npos) {
            why = "the text holds a character that is no byte from \\u0001 to \\u00ff";
            return false;
        }
        storeText(layer.values, spec, bytes);
        return true;
    }
    case SettingKind::Whole:
        if (!value.is_number_integer() || value.get<std::int64_t>() < spec.minimum ||
            (value.is_number_unsigned() ? value.get<std::uint64_t>() > static_cast<std::uint64_t>(spec.maximum)
                                        : value.get<std::int64_t>() > spec.maximum)) {
            why = value.dump() + " is not a whole number from " + allowedValues(spec);
            return false;
        }
        storeWhole(layer.values, spec, static_cast<std::int32_t>(value.get<std::int64_t>()));
        return true;
    case SettingKind::Frequency:
        // Any number here; the band is checked with the other values, so --force can pass a
        // tracker's own out-of-band frequency.
        if (!value.is_number() || !std::isfinite(value.get<double>())) {
            why = "a number of MHz is expected";
            return false;
        }
        layer.values.frequencyMHz = roundToSingle(value.get<double>());
        return true;
    case SettingKind::Switch:
        break;
    }
    if (!value.is_boolean()) {
        why = "true or false is expected";
        return false;
    }
    storeSwitch(layer.values, spec, value.get<bool>());
    return true;
}

}  // namespace

bool parseSettingsDocument(const std::string& text, const std::string& name, SettingsDocument& document,
                           std::string& error) {
    const Json parsed = Json::parse(text, nullptr, false);
    if (parsed.is_discarded() || !parsed.is_object()) {
        error = name + " is not a settings document: a JSON object such as 'kavrelcfg read --json' prints is expected";
        return false;
    }
    document.layer.source = name;
    document.layer.own = true;
    for (const auto& [key, value] : parsed.items()) {
        if (key == "model") {
            if (!value.is_number_integer() || value.get<std::int64_t>() < None || value.get<std::int64_t>() > FaV1_4) {
                error = name + ": model: " + value.dump() + " is not a generation from 0 to 4";
                return false;
            }
            document.hasModel = true;
            document.model = static_cast<std::int32_t>(value.get<std::int64_t>());
            continue;
        }
        const SettingSpec* spec = findSetting(key);
        std::string why = "unknown setting; the keys are " + settingNames() + ", model";
        if (spec == nullptr || !takeValue(*spec, value, document.layer, why)) {
            error = name + ": " + key + ": " + why;
            return false;
        }
        document.layer.given.push_back(spec->id);
    }
    return true;
}

int loadSettingsDocument(const std::string& name, SettingsDocument& document, std::string& error) {
    std::string text;
    int errorCode = 0;
    if (!readNamedFile(name, kMaxDocumentBytes, text, errorCode)) {
        error = fileFailure("read", displayName(name), errorCode);
        return kExitFailed;
    }
    return parseSettingsDocument(text, displayName(name), document, error) ? kExitSuccess : kExitUsage;
}
