// Bytes as a person reads them: in hex ("0B 5A"), or escaped so that no byte is lost from view or
// taken for a control of the terminal.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

enum class HexCase { Upper, Lower };

// The byte's two hex digits: "5A", or "5a".
std::string hexByte(std::uint8_t byte, HexCase letters = HexCase::Upper);
// Each byte's two upper-case digits, a blank between two bytes: "0B 5A 00".
std::string hexBytes(const std::uint8_t* bytes, std::size_t count);
std::string hexBytes(const std::string& bytes);

enum class Escaping {
    Controls,  // control characters only; a backslash and bytes above 0x7F (UTF-8) stay as they are
    Visible,   // everything but printable ASCII, and a backslash as two
    Quoted,    // as Visible, and a double quote as \" so that the text can stand between quotes
};

// Each escaped byte as \xNN, in lower-case hex.
std::string escapedText(const std::string& text, Escaping escaping);
