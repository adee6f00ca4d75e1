#include "cli/port_names.h"

#include <glob.h>

#include <algorithm>
#include <cstddef>

#include "cli/port_name_order.h"

namespace {

// USB serial adapters and modems (Linux), on-board UARTs, and the macOS call-out and USB nodes.
const char* const kPatterns[] = {"/dev/ttyUSB*", "/dev/ttyACM*", "/dev/ttyS*", "/dev/cu.*", "/dev/tty.usbserial*"};

// The name split into its text and its trailing number, so that ttyS2 comes before ttyS10.
struct NameKey {
    std::string stem;
    std::size_t digits;
    std::string number;
};

NameKey keyOf(const std::string& name) {
    std::size_t cut = name.size();
    while (cut > 0 && name[cut - 1] >= '0' && name[cut - 1] <= '9') --cut;
    return {name.substr(0, cut), name.size() - cut, name.substr(cut)};
}

}  // namespace

bool portNameBefore(const std::string& a, const std::string& b) {
    const NameKey ka = keyOf(a);
    const NameKey kb = keyOf(b);
    if (ka.stem != kb.stem) return ka.stem < kb.stem;
    if (ka.digits != kb.digits) return ka.digits < kb.digits;
    return ka.number < kb.number;
}

std::vector<std::string> candidatePortNames() {
    std::vector<std::string> names;
    for (const char* pattern : kPatterns) {
        glob_t found{};
        if (glob(pattern, 0, nullptr, &found) == 0) {
            std::vector<std::string> group;
            for (std::size_t i = 0; i < found.gl_pathc; ++i) group.push_back(found.gl_pathv[i]);
            std::sort(group.begin(), group.end(), portNameBefore);
            names.insert(names.end(), group.begin(), group.end());
        }
        globfree(&found);
    }
    return names;
}
