#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "config/config_image.h"
#include "config/station_address.h"
#include "support/configurator_fixture.h"

namespace {

const std::vector<int> kDefaultModel4 = {
    0x0B, 0x80, 0x26, 0x2C, 0x01, 0x41, 0x2A, 0x3C, 0x03, 0xCE, 0x70,  // header
    0x82, 0xA0, 0x96, 0xAC, 0x62, 0x68, 0x60,                          // APKV14
    0x9C, 0x9E, 0x86, 0x82, 0x98, 0x98, 0x60,                          // NOCALL
    0xAE, 0x92, 0x88, 0x8A, 0x62, 0x40, 0x62,                          // WIDE1-1
    0xAE, 0x92, 0x88, 0x8A, 0x64, 0x40, 0x63,                          // WIDE2-1, end mark
    0x03, 0xF0, 0x00, 0x4B, 0x61, 0x76, 0x72, 0x65, 0x6C};             // UI, PID, 0, "Kavrel"

const std::vector<int> kDefaultModel1 = {
    0x09, 0x80, 0x26, 0x2C, 0x01, 0x40, 0x28, 0x3C, 0x03,
    0x82, 0xA0, 0x96, 0xAC, 0x60, 0x62, 0x60,                          // APKV01
    0x9C, 0x9E, 0x86, 0x82, 0x98, 0x98, 0x60,
    0xAE, 0x92, 0x88, 0x8A, 0x62, 0x40, 0x62,
    0xAE, 0x92, 0x88, 0x8A, 0x64, 0x40, 0x63,
    0x03, 0xF0, 0x00, 0x4B, 0x61, 0x76, 0x72, 0x65, 0x6C};

void expectDefaults(const TrackerSettings& s, float frequency) {
    EXPECT_EQ(s.callsign, "NOCALL");
    EXPECT_EQ(s.path, "WIDE1-1,WIDE2-1");
    EXPECT_EQ(s.statusText, "Kavrel");
    EXPECT_EQ(s.calibration, 128);
    EXPECT_EQ(s.autoTxDelayMs, 253);
    EXPECT_EQ(s.sendEvery, 3);
    EXPECT_EQ(s.autoTxRateSec, 300);
    EXPECT_EQ(s.quietTimeMs, 1578);
    EXPECT_EQ(s.frequencyMHz, frequency);
    EXPECT_TRUE(s.txTwist);
    EXPECT_TRUE(s.peetMode);
    EXPECT_FALSE(s.wx200Mode || s.invertCd || s.sendWithWeather || s.allowTtlSerial);
}

// Encodes under model, then decodes the same bytes under the same model.
void roundTrip(OfflineConfigurator& o) {
    o.cfg.encodeImage();
    o.cfg.readImage = o.cfg.writeImage;
    o.cfg.bytesReceived = 128;
    ASSERT_TRUE(o.cfg.decodeImage());
}

TEST(WorkedImages, DefaultSettingsGiveTheKnownImagesAndDecodeBack) {
    struct Case {
        int model;
        ConfigImage image;
    };
    ConfigImage model3 = imageFrom(kDefaultModel4);
    model3[9] = model3[10] = 0;
    const Case cases[] = {{4, imageFrom(kDefaultModel4)}, {3, model3}, {1, imageFrom(kDefaultModel1)}};
    for (const Case& c : cases) {
        OfflineConfigurator o;
        o.cfg.settings.model = c.model;
        EXPECT_EQ(o.cfg.encodeImage(), 0);
        EXPECT_EQ(o.cfg.writeImage, c.image) << "model " << c.model;
        o.cfg.settings = TrackerSettings{};
        o.cfg.settings.model = c.model;
        o.cfg.settings.callsign = o.cfg.settings.path = o.cfg.settings.statusText = "x";
        o.cfg.readImage = c.image;
        o.cfg.bytesReceived = 128;
        EXPECT_TRUE(o.cfg.decodeImage());
        EXPECT_EQ(o.cfg.statusMessage, "Read Config Successful");
        expectDefaults(o.cfg.settings, kDefaultFrequencyMHz);
        EXPECT_TRUE(o.script.shown.empty());
    }
}

TEST(Conversions, DelayAndQuietTimeStepsAtTheirBoundaries) {
    EXPECT_EQ(delayMsToByte(0), 0);
    EXPECT_EQ(delayMsToByte(1), 1);
    EXPECT_EQ(delayMsToByte(6), 1);
    EXPECT_EQ(delayMsToByte(7), 2);
    EXPECT_EQ(delayMsToByte(13), 2);
    EXPECT_EQ(delayMsToByte(14), 3);
    EXPECT_EQ(delayMsToByte(253), 38);
    EXPECT_EQ(delayMsToByte(1693), 254);
    EXPECT_EQ(delayMsToByte(1694), 255);
    EXPECT_EQ(delayMsToByte(65535), 255);
    EXPECT_EQ(byteToDelayMs(1), 7);
    EXPECT_EQ(byteToDelayMs(38), 253);
    EXPECT_EQ(byteToDelayMs(255), 1700);

    EXPECT_EQ(quietMsToByte(0), 0);
    EXPECT_EQ(quietMsToByte(1), 1);
    EXPECT_EQ(quietMsToByte(26), 1);
    EXPECT_EQ(quietMsToByte(27), 2);
    EXPECT_EQ(quietMsToByte(52), 2);
    EXPECT_EQ(quietMsToByte(53), 3);
    EXPECT_EQ(quietMsToByte(1578), 60);
    EXPECT_EQ(quietMsToByte(6680), 254);
    EXPECT_EQ(quietMsToByte(6681), 255);
    EXPECT_EQ(byteToQuietMs(2), 53);
    EXPECT_EQ(byteToQuietMs(60), 1578);
    EXPECT_EQ(byteToQuietMs(255), 6706);
}

TEST(Conversions, FrequencyInsideTheBandOtherwiseTheDefault) {
    EXPECT_EQ(frequencyToSteps(144.39f), 28878);
    EXPECT_EQ(frequencyToSteps(146.52f), 29304);
    EXPECT_EQ(frequencyToSteps(144.0f), 0x7080);
    EXPECT_EQ(frequencyToSteps(148.0f), 0x73A0);
    for (float outside : {143.99f, 148.01f, 0.0f, -146.0f, std::numeric_limits<float>::infinity(),
                          std::numeric_limits<float>::quiet_NaN()})
        EXPECT_EQ(frequencyToSteps(outside), 28878) << outside;
    EXPECT_EQ(stepsToFrequency(41090), 205.45f);
}

TEST(Encoding, FrequencyOutsideTheBandIsReplacedInTheImageOnly) {
    OfflineConfigurator o;
    o.cfg.settings.model = FaV1_4;
    o.cfg.settings.frequencyMHz = 148.01f;
    o.cfg.encodeImage();
    EXPECT_EQ(o.cfg.writeImage[9], 0xCE);
    EXPECT_EQ(o.cfg.writeImage[10], 0x70);
    EXPECT_EQ(o.cfg.settings.frequencyMHz, 148.01f);
}

TEST(Encoding, ModelDecidesFlagsIdentifierAndFrequency) {
    OfflineConfigurator o;
    TrackerSettings& s = o.cfg.settings;
    s.invertCd = s.sendWithWeather = s.allowTtlSerial = s.wx200Mode = true;
    s.model = V1_2;
    o.cfg.encodeImage();
    EXPECT_EQ(o.cfg.writeImage[5], 0x80 | 0x40 | 0x04 | 0x08 | 0x10);  // txTwist not carried
    EXPECT_EQ(formatStationAddress(&o.cfg.writeImage[11]), "APKV12");
    EXPECT_EQ(o.cfg.writeImage[9] | o.cfg.writeImage[10], 0);
    s.model = V1_1;
    o.cfg.encodeImage();
    EXPECT_EQ(o.cfg.writeImage[5], 0xC0);
    s.model = None;
    o.cfg.encodeImage();
    EXPECT_EQ(o.cfg.writeImage[0], 11);
    EXPECT_EQ(formatStationAddress(&o.cfg.writeImage[11]), "APKV01");
    s.calibration = 300;
    s.model = V1_4;
    roundTrip(o);
    EXPECT_EQ(o.cfg.writeImage[1], 44);
    EXPECT_EQ(s.calibration, 44);
    EXPECT_EQ(o.cfg.writeImage[5], 0xDD);
}

TEST(Encoding, StatusTextFillsUpToIndex126AndNoFurther) {
    OfflineConfigurator o;
    o.cfg.settings.model = FaV1_4;
    o.cfg.settings.statusText = std::string(127 - 42, 'a');
    EXPECT_EQ(o.cfg.encodeImage(), 0);
    EXPECT_EQ(o.cfg.writeImage[126], 'a');
    EXPECT_EQ(o.cfg.writeImage[127], 0);
    EXPECT_TRUE(o.script.shown.empty());

    o.cfg.settings.statusText += "bc";
    EXPECT_EQ(o.cfg.encodeImage(), 1);
    EXPECT_EQ(o.cfg.writeImage[126], 'a');
    EXPECT_EQ(o.cfg.writeImage[127], 0);
    ASSERT_EQ(o.script.shown.size(), 1u);
    EXPECT_EQ(o.script.shown[0].caption, "Text Truncated");
    EXPECT_EQ(o.script.shown[0].text,
              "The Status Text is too long and has been tuncated.  To have longer text, use fewer digipeaters.");
    EXPECT_EQ(o.cfg.settings.statusText.size(), 87u);  // the setting keeps its text
}

TEST(Encoding, EmptyTextAndEmptyPath) {
    OfflineConfigurator o;
    o.cfg.settings.model = V1_4;
    o.cfg.settings.statusText = "";
    o.cfg.settings.path = "";
    roundTrip(o);
    EXPECT_EQ(o.cfg.writeImage[6], 28);
    EXPECT_EQ(o.cfg.writeImage[24], 0x61);  // the source field carries the end mark
    EXPECT_EQ(o.cfg.writeImage[28], 0);
    EXPECT_EQ(o.cfg.settings.path, "");
    EXPECT_EQ(o.cfg.settings.statusText, "");
}

TEST(Encoding, PathTextsSplitAndJoinThroughTheImage) {
    struct Case {
        std::string path;
        int textStart;
        std::string decoded;
    };
    const Case cases[] = {
        {"WIDE1-1,WIDE2-1", 42, "WIDE1-1,WIDE2-1"}, {"WIDE1-1, WIDE2-1", 42, "WIDE1-1,WIDE2-1"},
        {"", 28, ""},                               {"WIDE1-1,", 35, "WIDE1-1"},
        {",WIDE2-1", 42, "WIDE2-1"},                {"WIDE1-1,,WIDE2-1", 49, "WIDE1-1,,WIDE2-1"},
        {",", 35, ""},                              {"WIDE1-1, ", 42, "WIDE1-1,"},
    };
    for (const Case& c : cases) {
        OfflineConfigurator o;
        o.cfg.settings.model = FaV1_4;
        o.cfg.settings.path = c.path;
        roundTrip(o);
        EXPECT_EQ(o.cfg.writeImage[6], c.textStart) << c.path;
        EXPECT_EQ(o.cfg.settings.path, c.decoded) << c.path;
    }
}

TEST(Encoding, APathOfMoreThanFourteenEntriesKeepsWhatFitsAndSaysSo) {
    for (int model : {V1_1, FaV1_4}) {
        OfflineConfigurator o;
        o.cfg.settings.model = model;
        std::string path;
        for (int k = 1; k <= 40; ++k) path += "WIDE" + std::to_string(k % 10) + "-" + std::to_string(k % 8) + ",";
        o.cfg.settings.path = path;
        EXPECT_EQ(o.cfg.encodeImage(), 1);
        ASSERT_FALSE(o.script.shown.empty());
        EXPECT_EQ(o.script.shown[0].caption, "Path Truncated");
        const int blockStart = model == V1_1 ? 9 : 11;
        const int textStart = blockStart + 7 * (2 + 14) + 3;
        EXPECT_EQ(o.cfg.writeImage[6], textStart);
        EXPECT_EQ(o.cfg.writeImage[static_cast<std::size_t>(textStart - 4)] & 1, 1);  // end mark on entry 14
        o.cfg.readImage = o.cfg.writeImage;
        o.cfg.bytesReceived = 128;
        ASSERT_TRUE(o.cfg.decodeImage());
        EXPECT_EQ(splitPath(o.cfg.settings.path).size(), 14u);
    }
}

TEST(Decoding, Model1KeepsUncarriedFlagsAndTheDefaultFrequency) {
    OfflineConfigurator o;
    o.cfg.readImage = imageFrom(kDefaultModel4);
    o.cfg.readImage[5] = 0xFF;
    o.cfg.bytesReceived = 128;
    o.cfg.settings.model = V1_1;
    o.cfg.settings.frequencyMHz = 146.0f;
    o.cfg.settings.txTwist = false;
    ASSERT_TRUE(o.cfg.decodeImage());
    EXPECT_FALSE(o.cfg.settings.txTwist || o.cfg.settings.invertCd || o.cfg.settings.sendWithWeather ||
                 o.cfg.settings.allowTtlSerial);
    EXPECT_TRUE(o.cfg.settings.peetMode && o.cfg.settings.wx200Mode);
    EXPECT_EQ(o.cfg.settings.frequencyMHz, kDefaultFrequencyMHz);
}

TEST(Decoding, TextRunsToTheEndOfTheImageWithoutAnEndByte) {
    OfflineConfigurator o;
    o.cfg.readImage = imageFrom(kDefaultModel4);
    for (int i = 42; i < 128; ++i) o.cfg.readImage[static_cast<std::size_t>(i)] = 'z';
    o.cfg.bytesReceived = 128;
    o.cfg.settings.model = FaV1_4;
    ASSERT_TRUE(o.cfg.decodeImage());
    EXPECT_EQ(o.cfg.settings.statusText, std::string(86, 'z'));
}

TEST(Decoding, ImagesWhoseIndexesLeaveTheImageAreRefusedWhole) {
    ConfigImage blank;
    blank.fill(0xFF);
    ConfigImage highBlock = imageFrom(kDefaultModel4);
    highBlock[0] = 115;
    ConfigImage highText = imageFrom(kDefaultModel4);
    highText[6] = 128;
    ConfigImage noEndMark = imageFrom(kDefaultModel4);
    noEndMark[38] = 0x62;
    for (const ConfigImage& image : {blank, highBlock, highText, noEndMark}) {
        OfflineConfigurator o;
        o.cfg.settings.model = FaV1_4;
        o.cfg.settings.callsign = "KEEP";
        o.cfg.readImage = image;
        o.cfg.bytesReceived = 128;
        EXPECT_FALSE(o.cfg.decodeImage());
        EXPECT_EQ(o.cfg.statusMessage, "Corrupted EEPROM");
        EXPECT_EQ(o.cfg.settings.callsign, "KEEP");
    }
    // The last place a source field fits, with its end mark at index 127.
    OfflineConfigurator o;
    o.cfg.readImage.fill(0);
    o.cfg.readImage[0] = 114;
    o.cfg.readImage[6] = 127;
    o.cfg.readImage[127] = 0x61;
    o.cfg.bytesReceived = 128;
    EXPECT_TRUE(o.cfg.decodeImage());
}

TEST(Decoding, WrongCountChangesNothing) {
    OfflineConfigurator o;
    o.cfg.readImage = imageFrom(kDefaultModel4);
    o.cfg.settings.callsign = "KEEP";
    for (int count : {0, 127, 129, 4000}) {
        o.cfg.bytesReceived = count;
        EXPECT_FALSE(o.cfg.decodeImage());
        EXPECT_EQ(o.cfg.statusMessage, "Corrupted EEPROM");
        EXPECT_EQ(o.cfg.settings.callsign, "KEEP");
    }
}

TEST(Verifying, EqualDifferentAndShortReadBacks) {
    OfflineConfigurator o;
    o.cfg.settings.model = FaV1_4;
    o.cfg.encodeImage();
    o.cfg.readImage = o.cfg.writeImage;
    o.cfg.bytesReceived = 127;
    o.cfg.verifyImage();
    EXPECT_EQ(o.cfg.statusMessage, "Verify FAILED SIZE");

    o.cfg.bytesReceived = 128;
    o.cfg.readImage[100] ^= 0x01;
    o.cfg.settings.callsign = "KEEP";
    o.cfg.verifyImage();
    EXPECT_EQ(o.cfg.statusMessage, "Verify Failed");
    EXPECT_EQ(o.cfg.settings.callsign, "KEEP");

    o.cfg.readImage = o.cfg.writeImage;
    o.cfg.verifyImage();
    EXPECT_EQ(o.cfg.statusMessage, "Config Written Successfully!");
    EXPECT_EQ(o.cfg.settings.callsign, "NOCALL");
}

}  // namespace
