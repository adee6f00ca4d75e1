// Any 128 bytes, decoded under any model: the decoder stays inside the image or refuses it whole,
// and whatever it yields encodes again inside the image (a foreign layout may not fit: the
// encoder then cuts, it never overflows).
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "config/tracker_settings.h"
#include "link/serial_port.h"
#include "silent_prompts.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 129) return 0;
    SerialPort port;
    Configurator cfg(port, silentPrompts());
    cfg.settings.model = data[128] % 6;
    std::memcpy(cfg.readImage.data(), data, 128);
    cfg.bytesReceived = 128;
    const std::string before = cfg.settings.callsign;
    if (!cfg.decodeImage()) {
        if (cfg.settings.callsign != before || cfg.statusMessage != "Corrupted EEPROM") std::abort();
        return 0;
    }
    cfg.encodeImage();
    if (cfg.writeImage[static_cast<std::size_t>(cfg.writeImage[6]) - 1] != 0x00) std::abort();  // the zero before the text
    return 0;
}
