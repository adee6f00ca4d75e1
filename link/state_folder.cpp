#include "link/state_folder.h"

#include <ctime>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// The first part of folder that is a symbolic link to nothing, where no folder can be made; empty
// when there is none.
fs::path danglingLink(const fs::path& folder) {
    fs::path at;
    std::error_code code;
    for (const fs::path& part : folder) {
        at /= part;
        if (fs::is_symlink(fs::symlink_status(at, code)) && !fs::exists(fs::status(at, code))) return at;
    }
    return {};
}

}  // namespace

bool stateFolder(const char* name, const char* what, std::string& folder, std::string& error) {
    std::string state;
    if (!userStateFolder(state, error)) {
        error = std::string("cannot find ") + what + ": " + error;
        return false;
    }
    folder = (fs::path(state) / "kavrelcfg" / name).string();
    return true;
}

bool makeStateFolder(const char* name, const char* what, std::string& folder, std::string& error) {
    if (!stateFolder(name, what, folder, error)) return false;
    std::error_code code;
    fs::create_directories(folder, code);
    if (!code) return true;
    error = std::string("cannot make ") + what + " " + folder + ": ";
    const fs::path link = danglingLink(folder);
    if (link.empty())
        error += code.message();
    else
        error += link.string() + " is a symbolic link to " + fs::read_symlink(link, code).string() +
                 ", which does not exist; make that folder, or remove the link";
    return false;
}

std::string localTimeText(TimeShape shape) {
    const bool name = shape == TimeShape::FileName;
    const std::time_t now = std::time(nullptr);
    const std::tm* local = std::localtime(&now);
    char text[32];
    if (local == nullptr ||
        (name ? std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", local) : std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", local)) == 0)
        return name ? "time-unknown" : "an unknown time";
    return text;
}
