// Any file contents through the file load, as the dialog's "Load" reads them.
#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

#include "config/tracker_settings.h"
#include "link/serial_port.h"
#include "silent_prompts.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string path = "/tmp/kavrel-fuzz-load-" + std::to_string(getpid()) + ".kvr";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    SerialPort port;
    Configurator cfg(port, silentPrompts());
    cfg.loadFile(path.c_str());
    return 0;
}
