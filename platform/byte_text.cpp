#include "platform/byte_text.h"

std::string hexByte(std::uint8_t byte, HexCase letters) {
    const char* digits = letters == HexCase::Upper ? "0123456789ABCDEF" : "0123456789abcdef";
    return {digits[byte >> 4], digits[byte & 0x0F]};
}

std::string hexBytes(const std::uint8_t* bytes, std::size_t count) {
    std::string hex;
    for (std::size_t i = 0; i < count; ++i) hex += (i == 0 ? "" : " ") + hexByte(bytes[i]);
    return hex;
}

std::string hexBytes(const std::string& bytes) {
    return hexBytes(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

std::string escapedText(const std::string& text, Escaping escaping) {
    std::string out;
    for (const char ch : text) {
        const auto byte = static_cast<std::uint8_t>(ch);
        const bool control = byte < 0x20 || byte == 0x7F;
        if (escaping != Escaping::Controls && ch == '\\')
            out += "\\\\";
        else if (escaping == Escaping::Quoted && ch == '"')
            out += "\\\"";
        else if (control || (escaping != Escaping::Controls && byte > 0x7F))
            out += "\\x" + hexByte(byte, HexCase::Lower);
        else
            out += ch;
    }
    return out;
}
