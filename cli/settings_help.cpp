#include "cli/settings_help.h"

#include <string>

#include "config/setting_rules.h"
#include "config/settings_table.h"
#include "link/device_transfer.h"

namespace {

const char* carriedBy(Carried rule) {
    switch (rule) {
    case Carried::FromV1_2:
        return "; generations 2 to 4";
    case Carried::FromV1_4:
        return "; generations 3 and 4";
    case Carried::OnlyFaV1_4:
        return "; generation 4 only";
    case Carried::All:
        break;
    }
    return "";
}

}  // namespace

void printSettingsHelp(std::FILE* out) {
    std::fprintf(out, "Settings (NAME of --set NAME=VALUE, and the keys of a settings document):\n");
    for (const SettingSpec& spec : kSettingSpecs)
        std::fprintf(out, "  %-16s %s%s\n", spec.name, allowedValues(spec).c_str(), carriedBy(spec.carried));
    std::fprintf(out, "\nGenerations:");
    for (const VersionText& version : kVersionTexts)
        std::fprintf(out, "%s %d %s", version.model == V1_1 ? "" : ",", static_cast<int>(version.model), version.text);
    std::fprintf(out,
                 ".\nA write asks first when autoTxRateSec is below 120 or the path holds -4, -5, -6 or -7\n"
                 "(a longer path than is normally recommended); --yes answers for you.\n");
}
