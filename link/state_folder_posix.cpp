#include "link/state_folder.h"

#include <cstdlib>

bool userStateFolder(std::string& folder, std::string& why) {
    // A relative XDG_STATE_HOME is to be ignored, as the base directory rules say.
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state != nullptr && state[0] == '/') {
        folder = state;
        return true;
    }
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] != '/') {
        const auto unusable = [](const char* name, const char* value) {
            return std::string(name) + (value == nullptr ? " is not set" : " is relative ('" + std::string(value) + "')");
        };
        why = unusable("XDG_STATE_HOME", state) + " and " + unusable("HOME", home) +
              "; set HOME, or XDG_STATE_HOME, to an absolute folder";
        return false;
    }
    folder = std::string(home) + "/.local/state";
    return true;
}

std::string shellWord(const std::string& word) {
    bool plain = !word.empty();
    for (char c : word)
        plain = plain && ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                          std::string("/._-+:,=@%").find(c) != std::string::npos);
    if (plain) return word;
    std::string quoted = "'";
    for (char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}
