// Any file contents through the file load, as the dialog's "Load" reads them.
#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

#include "config/tracker_settings.h"
#include "link/serial_port.h"

namespace {
void notice(void*, const char*, const char*) {}
bool confirm(void*, const char*, const char*) { return false; }
void pause(void*, int) {}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string path = "/tmp/kavrel-fuzz-load-" + std::to_string(getpid()) + ".kvr";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    static const Prompts prompts{nullptr, notice, confirm, pause};
    SerialPort port;
    Configurator cfg(port, prompts);
    cfg.loadFile(path.c_str());
    return 0;
}
