#include "cli/settings_plan.h"

#include "cli/messages.h"
#include "cli/settings_printer.h"
#include "link/state_folder.h"
#include "config/config_image.h"
#include "config/image_layout.h"
#include "config/setting_rules.h"

namespace {

void copySetting(const SettingSpec& spec, const TrackerSettings& from, TrackerSettings& to) {
    std::visit([&](auto member) { to.*member = from.*member; }, spec.member);
}

// A value as messages show it, a text between quotes so that an empty one shows.
std::string quotedValue(const TrackerSettings& settings, const SettingSpec& spec) {
    return spec.kind == SettingKind::Text ? "'" + shownValue(settings, spec) + "'" : shownValue(settings, spec);
}

// Where an own value came from, for messages: " (in old.kvr)".
std::string inSource(const SettingsLayer& layer) { return layer.own ? " (in " + layer.source + ")" : std::string(); }

// The smallest value whose byte is raw: the value a lossy conversion needs to keep that byte.
bool valueForByte(const HeaderField& field, std::uint8_t raw, std::int32_t& value) {
    const SettingSpec& spec = settingSpec(field.setting);
    for (std::int32_t v = spec.minimum; v <= spec.maximum; ++v) {
        const auto ms = static_cast<std::uint16_t>(v);
        if ((field.conversion == Conversion::DelayMs ? delayMsToByte(ms) : quietMsToByte(ms)) == raw) {
            value = v;
            return true;
        }
    }
    return false;
}

class Composer {
public:
    Composer(const std::vector<SettingsLayer>& layers, std::int32_t model, bool force)
        : layers_(layers), model_(model), force_(force), origin_(kSettingCount, -1) {}

    ComposedSettings run() {
        out_.settings = layers_.front().values;
        out_.settings.model = model_;
        for (std::size_t i = 0; i < layers_.size(); ++i) takeLayer(static_cast<int>(i));
        for (const SettingSpec& spec : kSettingSpecs)
            if (isCarried(spec.carried, model_)) checkValue(spec);
        for (const FitProblem& problem : checkFit(out_.settings)) {
            const SettingSpec& spec = settingSpec(problem.setting);
            out_.refusals.push_back(std::string(spec.name) + ": " + problem.why + "; allowed: " + allowedValues(spec));
        }
        keepLossyBytes();
        noteStoredValues();
        return out_;
    }

private:
    // An own value that fails: refused, or let through with --force and a warning.
    void ownProblem(const SettingsLayer& layer, const std::string& message, const char* forced) {
        if (!layer.own) {
            out_.refusals.push_back(message);
        } else if (force_) {
            out_.warnings.push_back(message + forced);
        } else {
            out_.refusals.push_back(message);
            out_.forceWouldHelp = true;
        }
    }

    void takeLayer(int index) {
        const SettingsLayer& layer = layers_[static_cast<std::size_t>(index)];
        for (SettingId id : layer.given) {
            const SettingSpec& spec = settingSpec(id);
            if (!isCarried(spec.carried, model_)) {
                ownProblem(layer, std::string(spec.name) + inSource(layer) + ": not carried by " + generationName(model_),
                           "; left out (--force)");
                continue;
            }
            copySetting(spec, layer.values, out_.settings);
            origin_[static_cast<std::size_t>(id)] = index;
        }
    }

    void checkValue(const SettingSpec& spec) {
        const int index = origin_[static_cast<std::size_t>(spec.id)];
        if (index < 0) {
            out_.refusals.push_back(std::string(spec.name) + ": no value: " + layers_.front().source +
                                    " gives none and nothing else does; give it with --set");
            return;
        }
        std::string why;
        if (checkStrictValue(spec, out_.settings, why))
            return;
        const SettingsLayer& layer = layers_[static_cast<std::size_t>(index)];
        const std::string problem = std::string(spec.name) + inSource(layer) + ": " + why;
        // --force writes an own value as it is, which it cannot do for one the image would change
        // (a foreign callsign, a frequency outside the band that the image holds as 144.390).
        const TrackerSettings stored = storedSettings(out_.settings);
        if (layer.own && !sameSetting(spec, stored, layer.values))
            out_.refusals.push_back(problem + "; " + notStorable(spec, index, stored));
        else
            ownProblem(layer, problem + "; allowed: " + allowedValues(spec), "; written anyway (--force)");
    }

    // Why a value the image would hold otherwise than given is refused, and what to do instead.
    std::string notStorable(const SettingSpec& spec, int index, const TrackerSettings& stored) const {
        const SettingsLayer& layer = layers_[static_cast<std::size_t>(index)];
        std::string text = "the tracker would hold " + quotedValue(stored, spec) +
                           " instead, --force or not; give the value to store with --set " + spec.name + "=VALUE (" +
                           allowedValues(spec) + ")";
        // A file's bytes, unlike the tracker's own, can go back whole.
        if (index > 0 && layer.image != nullptr)
            text += ", or write " + layer.source + " as it is with 'kavrelcfg restore -p PORT " + shellWord(layer.source) +
                    "'";
        return text;
    }

    // A delay or quiet time the image gives back as the value asked for keeps that image's byte,
    // whichever layer repeated the value: read, edit, write changes nothing else.
    void keepLossyBytes() {
        for (const HeaderField& field : kHeaderFields) {
            if (field.conversion != Conversion::DelayMs && field.conversion != Conversion::QuietMs) continue;
            const SettingSpec& spec = settingSpec(field.setting);
            for (auto layer = layers_.rbegin(); layer != layers_.rend(); ++layer) {
                std::int32_t value = 0;
                if (layer->image == nullptr || !sameSetting(spec, layer->values, out_.settings)) continue;
                if (valueForByte(field, (*layer->image)[static_cast<std::size_t>(field.index)], value))
                    storeWhole(out_.settings, spec, value);
                break;
            }
        }
    }

    // A number rounded to the tracker's step is said; any other value the image would hold
    // otherwise than given is refused.
    void noteStoredValues() {
        if (!out_.refusals.empty()) return;
        const TrackerSettings stored = storedSettings(out_.settings);
        for (const SettingSpec& spec : kSettingSpecs) {
            const int index = origin_[static_cast<std::size_t>(spec.id)];
            if (!isCarried(spec.carried, model_) || index < 0) continue;
            const SettingsLayer& layer = layers_[static_cast<std::size_t>(index)];
            if (sameSetting(spec, stored, layer.values)) continue;
            const std::string given = quotedValue(layer.values, spec);
            if (*storageStep(spec) != 0)
                out_.notes.push_back(std::string(spec.name) + ": " + given + " is stored as " + quotedValue(stored, spec) +
                                     " (the tracker holds it in steps of " + storageStep(spec) + ")");
            else
                out_.refusals.push_back(std::string(spec.name) + inSource(layer) + ": " + given +
                                        " cannot be stored as it is; " + notStorable(spec, index, stored));
        }
    }

    const std::vector<SettingsLayer>& layers_;
    std::int32_t model_;
    bool force_;
    std::vector<int> origin_;  // per setting: the layer its value comes from, -1 for none
    ComposedSettings out_;
};

}  // namespace

std::string settingNames() {
    std::string names;
    for (const SettingSpec& spec : kSettingSpecs) names += std::string(names.empty() ? "" : ", ") + spec.name;
    return names;
}

ComposedSettings composeSettings(const std::vector<SettingsLayer>& layers, std::int32_t model, bool force) {
    return Composer(layers, model, force).run();
}

bool parseAssignment(const std::string& text, SettingsLayer& layer, std::string& error) {
    const std::size_t equals = text.find('=');
    if (equals == std::string::npos) {
        error = "--set needs NAME=VALUE, not '" + text + "'";
        return false;
    }
    const std::string name = text.substr(0, equals);
    const SettingSpec* spec = findSetting(name);
    if (spec == nullptr) {
        error = "unknown setting '" + name + "'" +
                (name == "model" ? std::string(" (the generation is the tracker's, or --generation for encode)") : "") +
                "; the settings are " + settingNames();
        return false;
    }
    std::string why;
    if (!parseStrictValue(*spec, text.substr(equals + 1), layer.values, why)) {
        error = name + ": " + why + "; allowed: " + allowedValues(*spec);
        return false;
    }
    layer.given.push_back(spec->id);
    return true;
}
