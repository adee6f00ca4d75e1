#include "support/stored_images.h"

#include <algorithm>
#include <filesystem>
#include <stdexcept>

#include "config/config_file.h"
#include "support/temp_dir.h"

namespace {

constexpr std::size_t kHeader = 8;

ConfigImage imageOf(const std::string& path) {
    const std::string bytes = readWholeFile(path);
    if (bytes.size() != kHeader + kImageSize) throw std::runtime_error("not a stored image: " + path);
    ConfigImage image{};
    std::copy(bytes.begin() + kHeader, bytes.end(), image.begin());
    return image;
}

}  // namespace

std::vector<StoredImage> storedImages() {
    std::vector<StoredImage> images;
    for (const auto& entry : std::filesystem::directory_iterator(KAVREL_TEST_IMAGES))
        if (entry.path().extension() == ".kvr")
            images.push_back({entry.path().stem().string(), imageOf(entry.path().string())});
    std::sort(images.begin(), images.end(), [](const StoredImage& a, const StoredImage& b) { return a.name < b.name; });
    return images;
}

ConfigImage storedImage(const std::string& name) { return imageOf(std::string(KAVREL_TEST_IMAGES) + "/" + name + ".kvr"); }

ConfigImage defaultImage(int generation) { return storedImage("default-generation" + std::to_string(generation)); }

std::string configFileOf(const ConfigImage& image) {
    const ConfigFileBytes bytes = configFileBytes(image);
    return std::string(bytes.begin(), bytes.end());
}
