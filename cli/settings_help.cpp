#include "cli/settings_help.h"

#include <string>

#include "config/setting_rules.h"
#include "config/settings_table.h"
#include "link/device_transfer.h"

void printSettingsHelp(std::FILE* out) {
    std::fprintf(out, "Settings (NAME of --set NAME=VALUE, and the keys of a settings document):\n");
    for (const SettingSpec& spec : kSettingSpecs)
        std::fprintf(out, "  %-16s %s%s%s\n", spec.name, allowedValues(spec).c_str(), spec.carried == Carried::All ? "" : "; ",
                     carryingGenerations(spec.carried));
    std::fprintf(out, "\nGenerations:");
    for (const VersionText& version : kVersionTexts)
        std::fprintf(out, "%s %d %s", version.model == FirmwareModel::V1_1 ? "" : ",", static_cast<int>(version.model), version.text);
    std::fprintf(out,
                 ".\nCallsigns and path entries are stored as the tracker gives them back: in upper case, an\n"
                 "SSID without leading zeros, -0 as none. A number between the tracker's steps is stored at\n"
                 "a step, with a note. --force stores no value that the tracker would hold otherwise (such\n"
                 "as a frequency outside the band, which it would hold as 144.390).\n"
                 "A write asks first when autoTxRateSec is below 120 or the path holds -4, -5, -6 or -7\n"
                 "(a longer path than is normally recommended); --yes answers for you.\n");
}
