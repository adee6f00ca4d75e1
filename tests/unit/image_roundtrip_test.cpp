// Generated settings for every model: an image decoded and encoded again gives the same bytes
// (the two stepped timing bytes through their conversions), and the settings that travel
// unchanged come back unchanged.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "config/config_image.h"
#include "config/station_address.h"
#include "support/configurator_fixture.h"

namespace {

std::string randomText(std::mt19937& rng, std::size_t maxLength, const std::string& alphabet) {
    std::uniform_int_distribution<std::size_t> length(0, maxLength);
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::string text(length(rng), ' ');
    for (char& c : text) c = alphabet[pick(rng)];
    return text;
}

TrackerSettings randomSettings(std::mt19937& rng, int model) {
    std::uniform_int_distribution<int> any(0, 0xFFFF);
    TrackerSettings s;
    s.model = model;
    s.callsign = randomText(rng, 9, "ABCXYZ0189abc -");
    std::string path;
    // Every entry holds a letter: a blank entry at either end of the path does not survive the
    // join, by design, so it has no place in a round trip.
    for (int k = any(rng) % 6; k > 0; --k) path += "W" + randomText(rng, 8, "WIDERELAY12-7 ") + ",";
    s.path = path + (any(rng) & 1 ? "T" + randomText(rng, 8, "TRACE3-3") : "");
    s.statusText = randomText(rng, 100, "Kavrel status 0123 !#~\x7F\x80\xFF");
    s.calibration = any(rng) - 30000;
    s.autoTxDelayMs = static_cast<std::uint16_t>(any(rng));
    s.sendEvery = static_cast<std::uint8_t>(any(rng));
    s.autoTxRateSec = static_cast<std::uint16_t>(any(rng));
    s.quietTimeMs = static_cast<std::uint16_t>(any(rng));
    s.frequencyMHz = 143.0f + static_cast<float>(any(rng) % 6000) / 1000.0f;
    s.txTwist = any(rng) & 1;
    s.invertCd = any(rng) & 1;
    s.sendWithWeather = any(rng) & 1;
    s.allowTtlSerial = any(rng) & 1;
    s.peetMode = any(rng) & 1;
    s.wx200Mode = any(rng) & 1;
    return s;
}

TEST(ImageRoundTrip, DecodingThenEncodingReproducesTheImageForEveryModel) {
    std::mt19937 rng(20261206);
    for (int model = None; model <= FaV1_4; ++model) {
        for (int run = 0; run < 400; ++run) {
            OfflineConfigurator o;
            const TrackerSettings original = randomSettings(rng, model);
            o.cfg.settings = original;
            o.cfg.encodeImage();
            const ConfigImage first = o.cfg.writeImage;
            o.cfg.readImage = first;
            o.cfg.bytesReceived = 128;
            ASSERT_TRUE(o.cfg.decodeImage());
            o.script.shown.clear();
            EXPECT_EQ(o.cfg.encodeImage(), 0) << "a decoded image always fits";
            // The delay and quiet-time steps do not map back onto themselves (1 decodes to 7 ms,
            // which encodes to 2): those two bytes go through the conversions, the rest is exact.
            ConfigImage expected = first;
            expected[2] = delayMsToByte(byteToDelayMs(first[2]));
            expected[7] = quietMsToByte(byteToQuietMs(first[7]));
            ASSERT_EQ(o.cfg.writeImage, expected) << "model " << model << " run " << run;

            const TrackerSettings& back = o.cfg.settings;
            EXPECT_EQ(back.autoTxRateSec, original.autoTxRateSec);
            EXPECT_EQ(back.sendEvery, original.sendEvery);
            EXPECT_EQ(back.calibration, original.calibration & 0xFF);
            EXPECT_EQ(back.peetMode, original.peetMode);
            EXPECT_EQ(back.wx200Mode, original.wx200Mode);
            EXPECT_EQ(back.callsign, formatStationAddress(encodeStationAddress(parseStationAddress(original.callsign)).data()));
            if (first[6] + original.statusText.size() < 127 && original.statusText.find('\0') == std::string::npos) {
                EXPECT_EQ(back.statusText, original.statusText);
            }
            if (carriesFrequency(model)) {
                const std::uint16_t steps = frequencyToSteps(original.frequencyMHz);
                EXPECT_EQ(back.frequencyMHz, stepsToFrequency(steps));
            }
        }
    }
}

}  // namespace
