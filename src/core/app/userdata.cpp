#include "app/userdata.h"

#include <cerrno>
#include <cstdlib>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lumor {

namespace {

std::string homeFolder() {
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') return home;
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir && pw->pw_dir[0] == '/')
        return pw->pw_dir;
    return {};
}

std::string withoutTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

// mkdir -p with mode 0700 for the folders it makes; existing parts are left as they are.
bool makeFolders(const std::string& path) {
    for (size_t i = 1; i <= path.size(); ++i) {
        if (i < path.size() && path[i] != '/') continue;
        const std::string part = path.substr(0, i);
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
    }
    return true;
}

}  // namespace

std::string userDataPath() {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg && xdg[0] == '/') return withoutTrailingSlashes(xdg) + "/lumor";
    const std::string home = homeFolder();
    if (home.empty()) return {};
    return withoutTrailingSlashes(home) + "/.local/share/lumor";
}

std::string userDataFolder() {
    std::string path = userDataPath();
    if (path.empty() || !makeFolders(path)) return {};
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != geteuid() ||
        (st.st_mode & (S_IWGRP | S_IWOTH)) != 0)
        return {};
    return path;
}

}  // namespace lumor
