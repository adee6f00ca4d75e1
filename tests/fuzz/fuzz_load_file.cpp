// Any file contents through the file parser and the decoder, as Load takes them, with no file
// system in the way: whatever the bytes, nothing is read outside them or the image.
#include <cstdint>
#include <cstdlib>

#include "config/config_file.h"
#include "config/config_image.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const ParsedFile parsed = parseConfigFile(data, size);
    if (parsed.imageBytes > static_cast<std::size_t>(kImageSize)) std::abort();
    if (parsed.result != FileParse::Complete) return 0;
    TrackerSettings settings;
    settings.model = FaV1_4;
    decodeSettings(parsed.image, settings);
    return 0;
}
