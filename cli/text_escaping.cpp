#include "cli/text_escaping.h"

namespace {

// The prefix followed by the byte's two lower-case hex digits.
std::string escapedByte(const char* prefix, unsigned char byte) {
    static const char digits[] = "0123456789abcdef";
    return std::string(prefix) + digits[byte >> 4] + digits[byte & 0x0F];
}

bool isPrintableAscii(unsigned char c) { return c >= 0x20 && c < 0x7F; }

}  // namespace

std::string visibleText(const std::string& text, bool quoted) {
    std::string out;
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '\\')
            out += "\\\\";
        else if (quoted && c == '"')
            out += "\\\"";
        else if (isPrintableAscii(c))
            out += ch;
        else
            out += escapedByte("\\x", c);
    }
    return out;
}

