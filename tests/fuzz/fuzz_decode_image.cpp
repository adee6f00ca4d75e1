// Any 128 bytes, decoded under any model: the decoder stays inside the image or refuses it whole,
// and whatever it yields encodes again inside the image (a foreign layout may not fit: the
// encoder then cuts, it never overflows).
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "config/config_image.h"
#include "config/image_layout.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 129) return 0;
    TrackerSettings settings;
    settings.model = data[128] % 6;
    ConfigImage image{};
    std::memcpy(image.data(), data, 128);
    const std::string before = settings.callsign;
    if (!decodeSettings(image, settings)) {
        if (settings.callsign != before) std::abort();
        return 0;
    }
    const ConfigImage again = encodeSettings(settings).image;
    if (again[static_cast<std::size_t>(again[kTextStartIndex]) - 1] != 0x00) std::abort();  // the zero before the text
    return 0;
}
