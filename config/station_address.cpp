#include "config/station_address.h"

#include <climits>

namespace {

bool isAsciiLetterOrDigit(unsigned char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

char asciiUpper(unsigned char c) { return static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c); }

bool isCSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

}  // namespace

std::int32_t parseWholeNumber(const char* text) {
    while (isCSpace(*text)) ++text;
    bool negative = false;
    if (*text == '+' || *text == '-') negative = *text++ == '-';
    // Accumulate as a negative number so that INT_MIN itself is reachable.
    long long value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        value = value * 10 - (*text - '0');
        if (value < INT_MIN) return negative ? INT_MIN : INT_MAX;
    }
    if (negative) return static_cast<std::int32_t>(value);
    return value < -static_cast<long long>(INT_MAX) ? INT_MAX : static_cast<std::int32_t>(-value);
}

StationAddress parseStationAddress(const std::string& text) {
    std::string taken;
    std::size_t i = 0;
    bool stoppedAtDash = false;
    for (; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == 0) break;  // the text ends at a NUL, as it would in a C string
        if (isAsciiLetterOrDigit(c)) {
            if (taken.size() < 6) taken += asciiUpper(c);
            continue;
        }
        if (c <= 0x20 || c >= 0x80) continue;
        stoppedAtDash = c == '-';
        break;
    }
    StationAddress address;
    address.callsign = taken + std::string(6 - taken.size(), ' ');
    if (stoppedAtDash) {
        const std::int32_t n = parseWholeNumber(text.c_str() + i + 1);
        address.ssid = n >= 0 && n <= 15 ? n : 0;
    }
    return address;
}

AddressField encodeStationAddress(const StationAddress& address) {
    AddressField field{};
    for (std::size_t k = 0; k < 6; ++k) {
        const char c = k < address.callsign.size() ? address.callsign[k] : ' ';
        field[k] = static_cast<std::uint8_t>(static_cast<unsigned char>(c) << 1);
    }
    field[6] = static_cast<std::uint8_t>(((address.ssid & 0x0F) | 0x30) << 1);
    return field;
}

std::string formatStationAddress(const std::uint8_t* field) {
    std::string text;
    for (int k = 0; k < 6; ++k) {
        const char c = static_cast<char>(field[k] >> 1);
        if (c != ' ' && c != '\0') text += c;
    }
    const int n = (field[6] >> 1) & 0x0F;
    if (n != 0) {
        text += '-';
        if (n >= 10) text += '1';
        text += static_cast<char>('0' + n % 10);
    }
    return text;
}

std::vector<std::string> splitPath(const std::string& path) {
    std::vector<std::string> pieces;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = path.find(',', start);
        if (comma == std::string::npos) break;
        pieces.push_back(path.substr(start, comma - start));
        start = comma + 1;
    }
    if (start < path.size()) pieces.push_back(path.substr(start));
    return pieces;
}

std::string joinPath(const std::vector<std::string>& formattedFields) {
    std::string path;
    for (const std::string& field : formattedFields) {
        if (!path.empty()) path += ',';
        path += field;
    }
    return path;
}
