// kavrelcfg's parts that a whole run reaches only in passing: documents, backups, quoting and hints.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <iterator>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/backup.h"
#include "cli/settings_document.h"
#include "cli/compat/system_conventions.h"
#include "link/state_folder.h"
#include "config/settings_table.h"
#include "support/temp_dir.h"

TEST(SettingsDocument, TakesEveryValueItsSettingHoldsAndNamesTheFirstItCannot) {
    SettingsDocument taken;
    std::string error;
    // Callsigns and paths are stored in the one form the image gives back, as --set stores them.
    ASSERT_TRUE(parseSettingsDocument(R"({"calibration": 255, "autoTxRateSec": 65535, "txTwist": false, "model": 0,
                                          "callsign": "kv1abc-07", "path": "wide1-01,WIDE2-0"})", "d", taken, error)) << error;
    const TrackerSettings& values = taken.layer.values;
    EXPECT_EQ(values.calibration, 255);
    EXPECT_EQ(values.autoTxRateSec, 65535);
    EXPECT_EQ(values.callsign, "KV1ABC-7");
    EXPECT_EQ(values.path, "WIDE1-1,WIDE2");
    EXPECT_TRUE(taken.hasModel && taken.model == 0 && !values.txTwist);
    const struct {
        std::string text;
        const char* error;
    } refused[] = {
        {R"({"calibration": )" + std::string(200000, '[') + std::string(200000, ']') + "}",
         "d: calibration: an array is not a whole number from 0 to 255"},
        {R"({"txTwist": true, "txTwist": false})", "d: txTwist is given twice"},
        {R"({"frequencyMHz": 1e400})", "d: frequencyMHz: 1e400 is too large a number"},
        {R"({"path" "x"})", "d is not a settings document: parse error at line 1, column 11: syntax error"},
        {R"({"calibration": 256})", "d: calibration: 256 is not a whole number from 0 to 255"},
        {R"({"txTwist": 1})", "d: txTwist: true or false is expected"},
        {R"({"model": 5})", "d: model: 5 is not a generation from 0 to 4"},
        {R"({"statusText": "a\u0000b"})", "d: statusText: the text holds a character that is no byte from \\u0001 to \\u00ff"},
        {R"({"bogus": 1})", "d: bogus: unknown setting; the keys are callsign, path, "},
    };
    for (const auto& c : refused) {
        SettingsDocument document;
        EXPECT_FALSE(parseSettingsDocument(c.text, "d", document, error)) << c.error;
        EXPECT_EQ(error.compare(0, std::string(c.error).size(), c.error), 0) << error;
    }
}

TEST(Backup, IsAlwaysANewFileOfItsOwn) {
    TempDir dir;
    const ConfigImage image{};
    std::string path, error;
    writeWholeFile(dir.path("from.kvr"), "mine");
    EXPECT_FALSE(saveBackup(dir.path("from.kvr"), image, "KV1A", path, error));
    EXPECT_EQ(error, "cannot write " + dir.path("from.kvr") + ": File exists (a backup never replaces a file: name a new one)");
    EXPECT_EQ(readWholeFile(dir.path("from.kvr")), "mine");

    // Writes at the same moment, released together, each keep a backup of their own.
    ::setenv("XDG_STATE_HOME", dir.path("state").c_str(), 1);
    int start[2];
    ASSERT_EQ(::pipe(start), 0);
    for (int k = 0; k < 16; ++k)
        if (::fork() == 0) {
            ::close(start[1]);
            _exit(::read(start[0], &k, 1) == 0 && saveBackup("", image, "KV1A", path, error) ? 0 : 1);
        }
    ::close(start[1]);
    for (int k = 0; k < 16; ++k) ::wait(nullptr);
    const std::filesystem::directory_iterator backups(dir.path("state/kavrelcfg/backups"));
    EXPECT_EQ(std::distance(begin(backups), end(backups)), 16);
}

// An own value --force lets through but the image would hold otherwise is refused all the same.
TEST(SettingsPlan, AForcedValueTheImageWouldChangeIsRefused) {
    const ConfigImage image{};
    SettingsLayer defaults{"the defaults", true, TrackerSettings{}, carriedSettings(FirmwareModel::FaV1_4), nullptr};
    SettingsLayer file{"my.kvr", true, TrackerSettings{}, {SettingId::FrequencyMHz}, &image};
    file.values.frequencyMHz = 150.0f;
    const ComposedSettings composed = composeSettings({defaults, file}, FirmwareModel::FaV1_4, true);
    EXPECT_EQ(composed.refusals, std::vector<std::string>{"frequencyMHz (in my.kvr): 150.000 MHz is outside the band; the "
                                                          "tracker would hold 144.390 instead, --force or not; give the value "
                                                          "to store with --set frequencyMHz=VALUE (144.000 to 148.000 MHz in "
                                                          "5 kHz steps), or write my.kvr as it is with 'kavrelcfg restore -p "
                                                          "PORT my.kvr'"});
}

TEST(SystemConventions, QuotingAndPortHints) {
    EXPECT_EQ(shellWord("my port's"), "'my port'\\''s'");
    EXPECT_EQ(portOpenHint("/dev/null", EACCES), "you have no access to /dev/null; ask its owner for it");
}
