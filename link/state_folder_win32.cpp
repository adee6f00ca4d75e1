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
