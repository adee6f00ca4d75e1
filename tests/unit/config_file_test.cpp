// The .kvr bytes and the image, both ways.
#include <gtest/gtest.h>

#include <string>

#include "config/config_file.h"
#include "config/generation_inference.h"
#include "support/stored_images.h"

namespace {

ParsedFile parse(const std::string& bytes) {
    return parseConfigFile(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

}  // namespace

TEST(ConfigFile, HeaderThenImageAndBack) {
    const ConfigImage image = defaultImage(4);
    const std::string file = configFileOf(image);
    EXPECT_EQ(file.substr(0, 8), std::string("KVR1\x80\0\0\0", 8));
    const ParsedFile parsed = parse(file + std::string(64, '\x55'));  // trailing bytes are ignored
    EXPECT_EQ(parsed.result, FileParse::Complete);
    EXPECT_EQ(parsed.image, image);
    EXPECT_EQ(parse("kVr1" + file.substr(4)).result, FileParse::Complete);
}

TEST(ConfigFile, EveryDamagedHeaderOrShortImageIsNamed) {
    const std::string file = configFileOf(defaultImage(4));
    const struct {
        std::string bytes;
        FileParse result;
        std::size_t imageBytes;
    } cases[] = {
        {"", FileParse::BadMagic, 0},
        {"KVR", FileParse::BadMagic, 0},
        {std::string("KV\0" "1", 4) + file.substr(4), FileParse::BadMagic, 0},
        {"KVR2" + file.substr(4), FileParse::BadMagic, 0},
        {"KVR1" + std::string("\0\0\0\x80", 4) + file.substr(8), FileParse::BadLength, 0},
        {"KVR1" + std::string("\x80\0\0\x01", 4) + file.substr(8), FileParse::BadLength, 0},
        {file.substr(0, 6), FileParse::BadLength, 0},
        {file.substr(0, 100), FileParse::ShortImage, 92},
        {file.substr(0, 135), FileParse::ShortImage, 127},
    };
    for (const auto& c : cases) {
        const ParsedFile parsed = parse(c.bytes);
        EXPECT_EQ(parsed.result, c.result) << c.bytes.size();
        EXPECT_EQ(parsed.imageBytes, c.imageBytes) << c.bytes.size();
    }
}

// Files carry no generation; each generation's layout names its own, and a foreign one none.
TEST(ConfigFile, TheImageTellsTheGenerationThatLaidItOut) {
    for (int generation = 0; generation <= 4; ++generation) {
        const InferredGeneration inferred = inferGeneration(defaultImage(generation));
        EXPECT_TRUE(inferred.recognised) << generation;
        EXPECT_EQ(inferred.model, generation) << inferred.evidence;
    }
    ConfigImage lowByteOnly = defaultImage(4);  // a frequency whose second byte is 0 is one all the same
    lowByteOnly[10] = 0;
    const InferredGeneration low = inferGeneration(lowByteOnly);
    EXPECT_TRUE(low.recognised && low.model == 4) << low.evidence;
    ConfigImage foreign = defaultImage(3);
    foreign[12] ^= 0x02;  // "APKV14" becomes another destination
    for (const ConfigImage& image : {storedImage("hostile-blank"), foreign}) {
        const InferredGeneration inferred = inferGeneration(image);
        EXPECT_FALSE(inferred.recognised) << inferred.evidence;
        EXPECT_EQ(inferred.model, 4);
    }
}
