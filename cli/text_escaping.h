// Texts of the configuration as a person can see them. Callsigns decoded from a
// foreign image and version replies may hold control characters and bytes above 0x7F.
#pragma once

#include <string>

// Printable ASCII as it is; a backslash as \\, every other byte as \xNN (lower-case hex). With
// quoted, a double quote becomes \" so the text can stand between quotes.
std::string visibleText(const std::string& text, bool quoted = false);

