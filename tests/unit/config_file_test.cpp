#include <gtest/gtest.h>

#include <string>

#include "support/configurator_fixture.h"
#include "support/temp_dir.h"

namespace {

std::string header(const char* magic, std::string length = std::string("\x80\0\0\0", 4)) {
    return std::string(magic, 4) + length;
}

std::string imageBytes(const ConfigImage& image) { return std::string(image.begin(), image.end()); }

ConfigImage defaultImage(int model) {
    OfflineConfigurator o;
    o.cfg.settings.model = model;
    o.cfg.encodeImage();
    return o.cfg.writeImage;
}

TEST(ConfigFile, SaveWritesTheHeaderAndTheImageOfTheSettings) {
    TempDir dir;
    OfflineConfigurator o;
    o.cfg.settings.model = FaV1_4;
    o.cfg.saveFile(dir.path("config1.kvr").c_str());
    EXPECT_EQ(o.cfg.statusMessage, "File Saved");
    EXPECT_EQ(readWholeFile(dir.path("config1.kvr")), header("KVR1") + imageBytes(defaultImage(FaV1_4)));
    EXPECT_EQ(o.cfg.settings.model, FaV1_4);
}

TEST(ConfigFile, LoadAcceptsAnyCaseOfTheMagicAndIgnoresTrailingBytes) {
    TempDir dir;
    const ConfigImage image = defaultImage(FaV1_4);
    writeWholeFile(dir.path("a.kvr"), header("kVr1") + imageBytes(image) + std::string(64, '\x55'));
    OfflineConfigurator o;
    o.cfg.settings.callsign = "OTHER";
    o.cfg.loadFile(dir.path("a.kvr").c_str());
    EXPECT_EQ(o.cfg.statusMessage, "File Loaded");
    EXPECT_EQ(o.cfg.settings.model, FaV1_4);
    EXPECT_EQ(o.cfg.settings.callsign, "NOCALL");
    EXPECT_EQ(o.cfg.readImage, image);
    EXPECT_EQ(o.cfg.bytesReceived, 128);
}

TEST(ConfigFile, BadHeadersLeaveTheSettingsAndSetTheModelByHowFarTheyGot) {
    struct Case {
        std::string bytes;
        std::string message;
        int model;
    };
    const std::string image = imageBytes(defaultImage(FaV1_4));
    const Case cases[] = {
        {"", "Invalid File Format", None},
        {"KVR", "Invalid File Format", None},
        {header("KV\0" "1") + image, "Invalid File Format", None},
        {header("KVR2") + image, "Invalid File Format", None},
        {header("KVR1", std::string("\0\0\0\x80", 4)) + image, "Invalid File Format", FaV1_4},
        {header("KVR1", std::string("\x80\0\0\x01", 4)) + image, "Invalid File Format", FaV1_4},
        {header("KVR1").substr(0, 6), "Invalid File Format", FaV1_4},
        {header("KVR1") + image.substr(0, 92), "Failed to read data", FaV1_4},
    };
    for (const Case& c : cases) {
        TempDir dir;
        writeWholeFile(dir.path("f.kvr"), c.bytes);
        OfflineConfigurator o;
        o.cfg.settings.model = V1_2;
        o.cfg.settings.callsign = "KEEP";
        o.cfg.bytesReceived = 7;
        o.cfg.loadFile(dir.path("f.kvr").c_str());
        EXPECT_EQ(o.cfg.statusMessage, c.message) << c.bytes.size();
        EXPECT_EQ(o.cfg.settings.model, c.model) << c.bytes.size();
        EXPECT_EQ(o.cfg.settings.callsign, "KEEP");
        EXPECT_EQ(o.cfg.bytesReceived, 7);
    }
}

TEST(ConfigFile, MissingFileChangesNothing) {
    TempDir dir;
    OfflineConfigurator o;
    o.cfg.settings.model = V1_2;
    o.cfg.loadFile(dir.path("absent.kvr").c_str());
    EXPECT_EQ(o.cfg.statusMessage, "Failed to open file");
    EXPECT_EQ(o.cfg.settings.model, V1_2);
    o.cfg.saveFile(dir.path("no/such/folder.kvr").c_str());
    EXPECT_EQ(o.cfg.statusMessage, "Failed to open file");
}

TEST(ConfigFile, AnImageWithIndexesOutsideItIsNotReportedAsLoaded) {
    TempDir dir;
    writeWholeFile(dir.path("blank.kvr"), header("KVR1") + std::string(128, '\xFF'));
    OfflineConfigurator o;
    o.cfg.settings.callsign = "KEEP";
    o.cfg.loadFile(dir.path("blank.kvr").c_str());
    EXPECT_EQ(o.cfg.statusMessage, "Corrupted EEPROM");
    EXPECT_EQ(o.cfg.settings.model, FaV1_4);
    EXPECT_EQ(o.cfg.settings.callsign, "KEEP");
}

TEST(ConfigFile, ImagesOfOtherModelsLoadAsModel4) {
    TempDir dir;
    for (int model : {None, V1_1, V1_2, V1_4}) {
        OfflineConfigurator saver;
        saver.cfg.settings.model = model;
        saver.cfg.settings.invertCd = true;
        saver.cfg.saveFile(dir.path("m.kvr").c_str());
        OfflineConfigurator o;
        o.cfg.loadFile(dir.path("m.kvr").c_str());
        ASSERT_EQ(o.cfg.statusMessage, "File Loaded");
        EXPECT_EQ(o.cfg.settings.frequencyMHz, model == V1_1 ? 205.45f : 0.0f) << model;
        EXPECT_EQ(o.cfg.settings.invertCd, model >= V1_2) << model;
        EXPECT_EQ(o.cfg.settings.path, "WIDE1-1,WIDE2-1");
        // Encoding again for model 4 puts the default frequency in the image.
        o.cfg.encodeImage();
        EXPECT_EQ(o.cfg.writeImage[9], 0xCE);
        EXPECT_EQ(o.cfg.writeImage[10], 0x70);
    }
}

TEST(ConfigFile, ATextTooLongIsAnnouncedBeforeOpeningAndSavedCut) {
    TempDir dir;
    OfflineConfigurator o;
    o.cfg.settings.model = FaV1_4;
    o.cfg.settings.statusText = std::string(120, 'x');
    o.cfg.saveFile(dir.path("missing/x.kvr").c_str());
    ASSERT_EQ(o.script.shown.size(), 1u);
    EXPECT_EQ(o.script.shown[0].caption, "Text Truncated");
    EXPECT_EQ(o.cfg.statusMessage, "Failed to open file");

    o.cfg.saveFile(dir.path("cut.kvr").c_str());
    EXPECT_EQ(o.cfg.statusMessage, "File Saved");
    OfflineConfigurator loader;
    loader.cfg.loadFile(dir.path("cut.kvr").c_str());
    EXPECT_EQ(loader.cfg.settings.statusText, std::string(85, 'x'));
    EXPECT_EQ(o.cfg.settings.statusText.size(), 120u);
}

}  // namespace
