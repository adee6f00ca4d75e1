// JSON as kavrelcfg prints and reads it, and the records of writes hold it. Texts of the configuration are bytes: each byte is taken
// as the Latin-1 character of that number, so every byte above 0x7F prints as \u00NN and reads
// back as the same byte. Objects keep their keys in the order given.
#pragma once

#include <cstdio>
#include <string>

#include <nlohmann/json.hpp>

using Json = nlohmann::ordered_json;

Json jsonText(const std::string& bytes);

// Indented by two, ASCII only, with a final line break.
void printJson(std::FILE* out, const Json& value);

// The bytes of a parsed JSON string (UTF-8): false when it holds a character above U+00FF.
bool bytesOfJsonText(const std::string& utf8, std::string& bytes);
