#include "cli/port_names.h"

// COM1 to COM256, the names the Windows serial drivers hand out.
std::vector<std::string> candidatePortNames() {
    std::vector<std::string> names;
    for (int n = 1; n <= 256; ++n) names.push_back("COM" + std::to_string(n));
    return names;
}
