#include "link/port_listing.h"

#include <algorithm>
#include <cstddef>

namespace {

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

bool portNameBefore(const std::string& a, const std::string& b) {
    const NameKey ka = keyOf(a);
    const NameKey kb = keyOf(b);
    if (ka.stem != kb.stem) return ka.stem < kb.stem;
    if (ka.digits != kb.digits) return ka.digits < kb.digits;
    return ka.number < kb.number;
}

}  // namespace

void sortPorts(std::vector<PortEntry>& ports) {
    std::sort(ports.begin(), ports.end(), [](const PortEntry& a, const PortEntry& b) {
        return a.usb != b.usb ? a.usb : portNameBefore(a.name, b.name);
    });
}

PortEntry describedPort(const std::vector<PortEntry>& listed, const std::string& name) {
    for (const PortEntry& entry : listed)
        if (entry.name == name || entry.byId == name) {
            PortEntry named = entry;
            named.name = name;
            return named;
        }
    return PortEntry{name, {}, {}, false};
}
