// The image codec against stored images made apart from it, and the layout's rules at their edges.
#include <gtest/gtest.h>

#include <cfloat>
#include <limits>
#include <set>
#include <string>

#include "config/config_image.h"
#include "config/image_layout.h"
#include "config/settings_table.h"
#include "support/stored_images.h"

namespace {

TrackerSettings defaultsFor(std::int32_t model) {
    TrackerSettings s;
    s.model = model;
    return s;
}

// Settings that differ from the defaults in every field, and whose switches are all on.
TrackerSettings everythingSet(std::int32_t model) {
    TrackerSettings s = defaultsFor(model);
    s.callsign = "KV1ABC-9";
    s.path = "WIDE2-2";
    s.statusText = "Hello";
    s.calibration = 0x1F5;  // only the low byte travels
    s.autoTxDelayMs = 1000;
    s.sendEvery = 7;
    s.autoTxRateSec = 0x1234;
    s.quietTimeMs = 500;
    s.frequencyMHz = 146.52f;
    s.txTwist = s.invertCd = s.sendWithWeather = s.allowTtlSerial = s.peetMode = s.wx200Mode = true;
    return s;
}

}  // namespace

TEST(StoredImages, DefaultsEncodeToTheImageOfEachGenerationAndDecodeBack) {
    for (int model = FirmwareModel::None; model <= FirmwareModel::FaV1_4; ++model) {
        const EncodedImage encoded = encodeSettings(defaultsFor(model));
        EXPECT_EQ(encoded.image, defaultImage(model)) << model;
        TrackerSettings decoded = everythingSet(model);
        ASSERT_TRUE(decodeSettings(defaultImage(model), decoded)) << model;
        // Switches the generation does not carry keep the value they had.
        TrackerSettings expected = defaultsFor(model);
        if (model < FirmwareModel::V1_2) expected.invertCd = expected.sendWithWeather = expected.allowTtlSerial = true;
        for (const SettingSpec& spec : kSettingSpecs) {
            EXPECT_EQ(textValue(decoded, spec), textValue(expected, spec)) << spec.name << " " << model;
            EXPECT_EQ(wholeValue(decoded, spec), wholeValue(expected, spec)) << spec.name << " " << model;
            EXPECT_EQ(switchValue(decoded, spec), switchValue(expected, spec)) << spec.name << " " << model;
        }
        EXPECT_EQ(decoded.frequencyMHz, kDefaultFrequencyMHz);
    }
}

TEST(StoredImages, EveryImageDecodesInsideItsBytesOrIsRefusedWhole) {
    for (const StoredImage& stored : storedImages()) {
        const bool isDefault = stored.name.rfind("default-generation", 0) == 0;
        TrackerSettings settings = everythingSet(isDefault ? stored.name.back() - '0' : FirmwareModel::FaV1_4);
        const TrackerSettings before = settings;
        const bool decoded = decodeSettings(stored.image, settings);
        EXPECT_EQ(decoded, stored.name.rfind("hostile", 0) != 0) << stored.name;
        if (!decoded) {
            EXPECT_EQ(settings.callsign, before.callsign) << stored.name;
            continue;
        }
        // What decodes within the layout's rules encodes to the same bytes again.
        const EncodedImage again = encodeSettings(settings);
        if (isDefault || stored.name == "edge-fourteen-entries-full-text") {
            EXPECT_FALSE(again.cut()) << stored.name;
            EXPECT_EQ(again.image, stored.image) << stored.name;
        }
    }
    TrackerSettings s;
    ASSERT_TRUE(decodeSettings(storedImage("edge-text-without-end"), s));
    EXPECT_EQ(s.statusText, std::string(86, 'y'));
    ASSERT_TRUE(decodeSettings(storedImage("edge-foreign-callsign"), s));
    EXPECT_EQ(s.callsign, std::string("\x01\x7FNO", 4));  // blanks and NUL dropped, the rest kept
}

TEST(Codec, TimingStepsAtTheirBoundaries) {
    const struct {
        int ms, delayByte, quietByte;
    } encode[] = {{0, 0, 0},       {1, 1, 1},       {6, 1, 1},         {7, 2, 1},       {13, 2, 1},
                  {26, 4, 1},      {27, 5, 2},      {52, 8, 2},        {53, 8, 3},      {1693, 254, 65},
                  {1694, 255, 65}, {6680, 255, 254}, {6681, 255, 255}, {65535, 255, 255}};
    for (const auto& c : encode) {
        EXPECT_EQ(delayMsToByte(static_cast<std::uint16_t>(c.ms)), c.delayByte) << c.ms;
        EXPECT_EQ(quietMsToByte(static_cast<std::uint16_t>(c.ms)), c.quietByte) << c.ms;
    }
    EXPECT_EQ(byteToDelayMs(1), 7);
    EXPECT_EQ(byteToDelayMs(255), 1700);
    EXPECT_EQ(byteToQuietMs(2), 53);
    EXPECT_EQ(byteToQuietMs(255), 6706);
}

TEST(Codec, FrequencyOnlyInsideTheBandAndOnlyForTheFaGeneration) {
    const struct {
        float mhz;
        std::uint8_t low, high;
    } cases[] = {{144.39f, 0xCE, 0x70}, {146.52f, 0x78, 0x72}, {144.0f, 0x80, 0x70}, {148.0f, 0xA0, 0x73},
                 {143.99f, 0xCE, 0x70}, {148.01f, 0xCE, 0x70}, {0.0f, 0xCE, 0x70}};
    for (const auto& c : cases) {
        TrackerSettings s = defaultsFor(FirmwareModel::FaV1_4);
        s.frequencyMHz = c.mhz;
        const ConfigImage image = encodeSettings(s).image;
        EXPECT_EQ(image[9], c.low) << c.mhz;
        EXPECT_EQ(image[10], c.high) << c.mhz;
    }
    // Generation 1's destination bytes read as generation 4's frequency.
    TrackerSettings s = defaultsFor(FirmwareModel::FaV1_4);
    ASSERT_TRUE(decodeSettings(defaultImage(FirmwareModel::V1_1), s));
    EXPECT_FLOAT_EQ(s.frequencyMHz, 205.45f);
}

// Each generation stores the switches it carries (decoding them back: StoredImages above).
TEST(Codec, EachGenerationCarriesItsOwnSwitches) {
    const struct {
        std::int32_t model;
        std::uint8_t flags;
    } cases[] = {{FirmwareModel::None, 0xC0}, {FirmwareModel::V1_1, 0xC0}, {FirmwareModel::V1_2, 0xDC}, {FirmwareModel::V1_4, 0xDD}, {FirmwareModel::FaV1_4, 0xDD}};
    for (const auto& c : cases) {
        const ConfigImage image = encodeSettings(everythingSet(c.model)).image;
        EXPECT_EQ(image[kFlagsIndex], c.flags) << c.model;
        EXPECT_EQ(image[1], 0xF5);
        if (c.model != FirmwareModel::V1_1) { EXPECT_EQ(image[9] + 256 * image[10], c.model == FirmwareModel::FaV1_4 ? 29304 : 0) << c.model; }
    }
}

TEST(Codec, TheTextFillsTheImageUpToIndex126) {
    for (const std::int32_t model : {FirmwareModel::V1_1, FirmwareModel::FaV1_4}) {
        TrackerSettings s = defaultsFor(model);
        const int room = statusTextCapacity(s);
        EXPECT_EQ(room, model == FirmwareModel::V1_1 ? 87 : 85);
        s.statusText = std::string(static_cast<std::size_t>(room), 'x');
        EncodedImage fits = encodeSettings(s);
        EXPECT_FALSE(fits.cut());
        EXPECT_EQ(fits.image[126], 'x');
        EXPECT_EQ(fits.image[127], 0);
        s.statusText += "yz";
        EncodedImage cut = encodeSettings(s);
        EXPECT_TRUE(cut.textCut);
        EXPECT_EQ(cut.image, fits.image);
    }
}

TEST(Codec, PathsSplitAndJoinThroughTheImage) {
    const struct {
        const char* path;
        int textStart;
        const char* decoded;
    } cases[] = {{"WIDE1-1, WIDE2-1", 42, "WIDE1-1,WIDE2-1"}, {"", 28, ""},
                 {"WIDE1-1,", 35, "WIDE1-1"},                   {",WIDE2-1", 42, "WIDE2-1"},
                 {"WIDE1-1,,WIDE2-1", 49, "WIDE1-1,,WIDE2-1"},  {",", 35, ""},
                 {"WIDE1-1, ", 42, "WIDE1-1,"}};
    for (const auto& c : cases) {
        TrackerSettings s = defaultsFor(FirmwareModel::V1_4);
        s.path = c.path;
        const ConfigImage image = encodeSettings(s).image;
        EXPECT_EQ(image[kTextStartIndex], c.textStart) << c.path;
        EXPECT_EQ(image[c.textStart - 4] & 1, 1) << c.path;  // the end mark, on the last field only
        EXPECT_EQ(image[c.textStart - 11] & 1, 0) << c.path;
        TrackerSettings decoded;
        ASSERT_TRUE(decodeSettings(image, decoded));
        EXPECT_EQ(decoded.path, c.decoded) << c.path;
    }
    TrackerSettings s = defaultsFor(FirmwareModel::V1_4);
    s.path = "A,B,C,D,E,F,G,H,I,J,K,L,M,N,O";
    const EncodedImage fifteen = encodeSettings(s);
    EXPECT_TRUE(fifteen.pathCut);
    EXPECT_EQ(fifteen.image[kTextStartIndex], 11 + 7 * 16 + 3);
    EXPECT_EQ(fifteen.image[127], 0);
}

TEST(SettingsTable, RowsInOrderWithUniqueNames) {
    std::set<std::string> names;
    for (int i = 0; i < kSettingCount; ++i) {
        EXPECT_EQ(static_cast<int>(kSettingSpecs[i].id), i);
        names.insert(kSettingSpecs[i].name);
        EXPECT_EQ(findSetting(kSettingSpecs[i].name), &kSettingSpecs[i]);
    }
    EXPECT_EQ(names.size(), static_cast<std::size_t>(kSettingCount));
    EXPECT_EQ(findSetting("model"), nullptr);
    EXPECT_EQ(roundToSingle(1e300), std::numeric_limits<float>::infinity());
    EXPECT_EQ(roundToSingle(3.4028235e38), FLT_MAX);
}
