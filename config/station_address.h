// AX.25 address fields: the callsign and the digipeaters of the path as 7-byte fields, and the
// texts the user edits for them.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

struct StationAddress {
    std::string callsign = "      ";  // exactly 6 characters, blank-filled
    int ssid = 0;                     // 0 to 15
};

using AddressField = std::array<std::uint8_t, 7>;

constexpr std::uint8_t kEndOfBlockMark = 0x01;

StationAddress parseStationAddress(const std::string& text);
AddressField encodeStationAddress(const StationAddress& address);
// Reads exactly the 7 bytes of the field. Blanks and NUL characters are dropped; every other
// character, control characters included, is kept as it is.
std::string formatStationAddress(const std::uint8_t* field);

// The entries of a comma-separated path; an empty text has none, a final empty piece is dropped.
std::vector<std::string> splitPath(const std::string& path);
// Joins formatted path fields; a field that formats to nothing adds no comma of its own.
std::string joinPath(const std::vector<std::string>& formattedFields);

// atoi as the Windows C runtime reads it, identical on every platform: leading white space, one
// sign, digits up to the first non-digit; no digits give 0; values beyond 32 bits saturate.
std::int32_t parseWholeNumber(const char* text);
