#include "cli/settings_document.h"

#include <cmath>
#include <vector>

#include "cli/file_argument.h"
#include "cli/exit_status.h"
#include "link/json_output.h"
#include "cli/named_files.h"
#include "config/setting_rules.h"
#include "config/settings_table.h"

namespace {

// One value of the document into the layer; false with why. written: the value as the document
// wrote it, for messages.
bool takeValue(const SettingSpec& spec, const Json& value, const std::string& written, SettingsLayer& layer,
               std::string& why) {
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
        storeText(layer.values, spec, storedText(spec, bytes));
        return true;
    }
    case SettingKind::Whole:
        if (!value.is_number_integer() || value.get<std::int64_t>() < spec.minimum ||
            (value.is_number_unsigned() ? value.get<std::uint64_t>() > static_cast<std::uint64_t>(spec.maximum)
                                        : value.get<std::int64_t>() > spec.maximum)) {
            why = written + " is not a whole number from " + allowedValues(spec);
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

// Reads a document as the parser meets it (the parser's SAX events): one object of plain values,
// each taken as it comes. An array or object is refused where it opens, so no tree is built, and
// no depth of brackets can exhaust the stack. Each event answers whether to go on.
struct DocumentReader {
    const std::string& name;
    SettingsDocument& document;
    std::string& error;
    bool inObject = false;
    std::string currentKey;
    std::vector<std::string> keysSeen;

    bool null() { return value(Json(), "null"); }
    bool boolean(bool on) { return value(Json(on), on ? "true" : "false"); }
    bool number_integer(Json::number_integer_t number) { return value(Json(number), std::to_string(number)); }
    bool number_unsigned(Json::number_unsigned_t number) { return value(Json(number), std::to_string(number)); }
    bool number_float(Json::number_float_t number, const Json::string_t& written) { return value(Json(number), written); }
    bool string(Json::string_t& text) {
        const Json json(text);
        return value(json, json.dump(-1, ' ', false, Json::error_handler_t::replace));
    }
    bool binary(Json::binary_t&) { return value(Json(), "binary data"); }  // never met in JSON text
    bool start_object(std::size_t) {
        if (inObject) return value(Json(), "an object");  // no setting takes one: refused
        inObject = true;
        return true;
    }
    bool end_object() { return true; }
    bool start_array(std::size_t) { return value(Json(), "an array"); }
    bool end_array() { return true; }

    bool key(Json::string_t& given) {
        currentKey = given;
        for (const std::string& seen : keysSeen)
            if (seen == given) {
                error = name + ": " + given + " is given twice; give each setting once";
                return false;
            }
        keysSeen.push_back(given);
        return true;
    }

    bool value(const Json& json, const std::string& written) {
        if (!inObject) return notDocument("a JSON object such as 'kavrelcfg read --json' prints is expected");
        if (currentKey == "model") {
            if (!json.is_number_integer() || json.get<std::int64_t>() < FirmwareModel::None || json.get<std::int64_t>() > FirmwareModel::FaV1_4) {
                error = name + ": model: " + written + " is not a generation from 0 to 4";
                return false;
            }
            document.hasModel = true;
            document.model = static_cast<std::int32_t>(json.get<std::int64_t>());
            return true;
        }
        const SettingSpec* spec = findSetting(currentKey);
        std::string why = "unknown setting; the keys are " + settingNames() + ", model";
        if (spec == nullptr || !takeValue(*spec, json, written, document.layer, why)) {
            error = name + ": " + currentKey + ": " + why;
            return false;
        }
        document.layer.given.push_back(spec->id);
        return true;
    }

    bool parse_error(std::size_t, const std::string& token, const Json::exception& problem) {
        constexpr int kNumberOverflow = 406;  // nlohmann::json's out_of_range error for such a number
        if (problem.id == kNumberOverflow && inObject) {
            error = name + ": " + currentKey + ": " + token + " is too large a number";
            return false;
        }
        // The parser's own reason, without its "[json.exception.parse_error.101] " tag.
        const std::string reason = problem.what();
        const std::size_t tagEnd = reason.find("] ");
        return notDocument(tagEnd == std::string::npos ? reason : reason.substr(tagEnd + 2));
    }

    bool notDocument(const std::string& why) {
        error = name + " is not a settings document: " + why;
        return false;
    }
};

}  // namespace

bool parseSettingsDocument(const std::string& text, const std::string& name, SettingsDocument& document,
                           std::string& error) {
    document.layer.source = name;
    document.layer.own = true;
    DocumentReader reader{name, document, error, false, {}, {}};
    return Json::sax_parse(text, &reader);
}

int loadSettingsDocument(const std::string& name, SettingsDocument& document, std::string& error, std::string& hint) {
    std::string text;
    int errorCode = 0;
    if (!readNamedFile(name, kMaxFileBytes, text, errorCode)) {
        error = fileFailure("read", displayName(name), errorCode);
        return kExitFailed;
    }
    if (parseSettingsDocument(text, displayName(name), document, error)) return kExitSuccess;
    if (looksLikeConfigFile(text)) hint = "it looks like a configuration file: give it with --from";
    return kExitUsage;
}

bool looksLikeSettingsDocument(const std::string& bytes) {
    const std::size_t first = bytes.find_first_not_of(" \t\r\n");
    return first != std::string::npos && bytes[first] == '{';
}
