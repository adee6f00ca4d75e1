#include "link/json_output.h"

Json jsonText(const std::string& bytes) {
    std::string utf8;
    for (char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            utf8 += c;
            continue;
        }
        utf8 += static_cast<char>(0xC0 | (byte >> 6));
        utf8 += static_cast<char>(0x80 | (byte & 0x3F));
    }
    return Json(utf8);
}

void printJson(std::FILE* out, const Json& value) {
    // The texts are valid UTF-8 by construction; replace keeps dump from ever throwing.
    std::fprintf(out, "%s\n", value.dump(2, ' ', true, Json::error_handler_t::replace).c_str());
}

bool bytesOfJsonText(const std::string& utf8, std::string& bytes) {
    bytes.clear();
    // The parser has checked the UTF-8; only one- and two-byte sequences up to U+00FF are bytes.
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        if (lead < 0x80) {
            bytes += utf8[i];
        } else if ((lead == 0xC2 || lead == 0xC3) && i + 1 < utf8.size()) {
            bytes += static_cast<char>(((lead & 0x03) << 6) | (static_cast<unsigned char>(utf8[++i]) & 0x3F));
        } else {
            return false;
        }
    }
    return true;
}
