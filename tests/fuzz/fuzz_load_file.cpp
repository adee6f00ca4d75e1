// Any file contents through the file parser and the decoder, as Load takes them, with no file
// system in the way, under any model (the file's last byte picks it): nothing is read outside the
// bytes or the image, a refused image leaves the settings alone, and whatever decodes encodes
// again inside the image (a foreign layout may not fit: the encoder then cuts, never overflows).
#include <cstdint>
#include <cstdlib>

#include "config/config_file.h"
#include "config/config_image.h"
#include "config/image_layout.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const ParsedFile parsed = parseConfigFile(data, size);
    if (parsed.imageBytes > static_cast<std::size_t>(kImageSize)) std::abort();
    if (parsed.result != FileParse::Complete) return 0;
    TrackerSettings settings;
    settings.model = data[size - 1] % 6;
    const std::string before = settings.callsign;
    if (!decodeSettings(parsed.image, settings)) {
        if (settings.callsign != before) std::abort();
        return 0;
    }
    const ConfigImage again = encodeSettings(settings).image;
    if (again[static_cast<std::size_t>(again[kTextStartIndex]) - 1] != 0x00) std::abort();  // the zero before the text
    return 0;
}
