// Any text as a callsign and as a path: parsing, splitting, encoding and formatting stay in bounds,
// and a parsed address always encodes to a field that formats and parses back to itself.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "config/station_address.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const StationAddress address = parseStationAddress(text);
    if (address.callsign.size() != 6 || address.ssid < 0 || address.ssid > 15) std::abort();
    const AddressField field = encodeStationAddress(address);
    const StationAddress again = parseStationAddress(formatStationAddress(field.data()));
    if (again.callsign != address.callsign || again.ssid != address.ssid) std::abort();
    for (const std::string& entry : splitPath(text)) {
        const AddressField entryField = encodeStationAddress(parseStationAddress(entry));
        (void)formatStationAddress(entryField.data());
    }
    (void)parseWholeNumber(text.c_str());
    return 0;
}
