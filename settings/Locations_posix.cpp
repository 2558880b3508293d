#include "Locations.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace settings {

namespace {

std::string Environment(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

// The home folder from the user database, for a process started without HOME.
std::string HomeOfUser() {
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found ||
        !found->pw_dir)
        return {};
    return found->pw_dir;
}

} // namespace

std::optional<std::filesystem::path> UserProfileFolder() {
    std::string home = Environment("HOME");
    if (home.empty()) home = HomeOfUser();
    return XdgProfileFolder(Environment("XDG_CONFIG_HOME"), home);
}

bool FolderWritable(const std::filesystem::path& folder) {
    std::error_code ec;
    return std::filesystem::is_directory(folder, ec) && ::access(folder.c_str(), W_OK) == 0;
}

} // namespace settings
