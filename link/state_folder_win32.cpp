#include "link/state_folder.h"

#include <cstdlib>

bool userStateFolder(std::string& folder, std::string& why) {
    const char* local = std::getenv("LOCALAPPDATA");
    if (local == nullptr || local[0] == '\0') {
        why = "LOCALAPPDATA is not set";
        return false;
    }
    folder = local;
    return true;
}

std::string shellWord(const std::string& word) {
    if (!word.empty() && word.find_first_of(" \t\"&|<>^%()") == std::string::npos) return word;
    std::string quoted = "\"";
    for (char c : word) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}
