// The Configurator's file members around the parser and writer tested on their own.
#include <gtest/gtest.h>

#include <string>

#include "config/config_file.h"
#include "config/config_image.h"
#include "simulated_tracker.h"
#include "support/stored_images.h"
#include "support/temp_dir.h"

TEST(ConfiguratorFiles, LoadSetsTheGenerationByHowFarTheFileGot) {
    TempDir dir;
    const std::string whole = configFileOf(defaultImage(1));
    const struct {
        std::string bytes;  // "-": no file at all
        const char* status;
        Outcome outcome;
        std::int32_t model;
        std::int32_t received;  // bytesReceived afterwards
    } cases[] = {{"-", "Failed to open file", Outcome::FileFailed, FirmwareModel::V1_2, 7},
                 {"KVR", "Invalid File Format", Outcome::FileFailed, FirmwareModel::None, 7},
                 {whole.substr(0, 6), "Invalid File Format", Outcome::FileFailed, FirmwareModel::FaV1_4, 7},
                 {whole.substr(0, 100), "Failed to read data", Outcome::FileFailed, FirmwareModel::FaV1_4, 7},
                 {configFileOf(storedImage("hostile-blank")), "Corrupted EEPROM", Outcome::Corrupted, FirmwareModel::FaV1_4, 128},
                 {whole, "File Loaded", Outcome::Succeeded, FirmwareModel::FaV1_4, 128}};
    for (const auto& c : cases) {
        TransferRig rig("/dev/null");
        Configurator& cfg = rig.configurator;
        cfg.settings.model = FirmwareModel::V1_2;
        cfg.settings.callsign = "KEEP";
        cfg.bytesReceived = 7;
        if (c.bytes != "-") writeWholeFile(dir.path("f.kvr"), c.bytes);
        cfg.loadFile((c.bytes == "-" ? dir.path("absent.kvr") : dir.path("f.kvr")).c_str());
        EXPECT_EQ(cfg.statusMessage, c.status);
        EXPECT_EQ(cfg.outcome, c.outcome) << c.status;
        EXPECT_EQ(cfg.settings.model, c.model) << c.status;
        EXPECT_EQ(cfg.bytesReceived, c.received) << c.status;
        EXPECT_EQ(cfg.settings.callsign, c.outcome == Outcome::Succeeded ? "NOCALL" : "KEEP") << c.status;
    }
}

TEST(ConfiguratorFiles, SaveReportsEachOutcomeAndCutsATextTooLong) {
    TempDir dir;
    TransferRig rig("/dev/null");
    Configurator& cfg = rig.configurator;
    cfg.settings.model = FirmwareModel::FaV1_4;
    cfg.settings.statusText = std::string(120, 'x');
    cfg.saveFile(dir.path("missing/x.kvr").c_str());
    ASSERT_EQ(rig.script.shown.size(), 1u);  // the notice comes before the file is opened
    EXPECT_EQ(rig.script.shown[0].caption, "Text Truncated");
    EXPECT_EQ(cfg.statusMessage, "Failed to open file");
    EXPECT_EQ(cfg.outcome, Outcome::FileFailed);

    cfg.saveFile(dir.path("cut.kvr").c_str());
    EXPECT_EQ(cfg.statusMessage, "File Saved");
    EXPECT_EQ(cfg.settings.statusText.size(), 120u);
    TrackerSettings saved;
    ParsedFile parsed;
    ASSERT_TRUE(readConfigFile(dir.path("cut.kvr").c_str(), parsed));
    ASSERT_TRUE(decodeSettings(parsed.image, saved));
    EXPECT_EQ(saved.statusText, std::string(85, 'x'));
}
