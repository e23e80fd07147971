#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "config/data_folder.h"

namespace kestrin {

namespace {
std::string Env(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}
}  // namespace

std::string UserDataFolder() {
    if (const std::string forced = Env("KESTRIN_DATA_DIR"); !forced.empty()) return forced;
    // A relative XDG_DATA_HOME is invalid by the XDG rules and is ignored.
    if (const std::string xdg = Env("XDG_DATA_HOME"); !xdg.empty() && xdg[0] == '/')
        return JoinPath(xdg, "kestrin-pro");
    if (const std::string home = Env("HOME"); !home.empty())
        return JoinPath(JoinPath(home, ".local/share"), "kestrin-pro");
    return std::string();
}

bool MakeFolders(const std::string& path, std::string* error) {
    if (path.empty()) {
        if (error) *error = "No data folder: the user has no home folder.";
        return false;
    }
    for (std::size_t at = 1; at <= path.size(); ++at) {
        if (at < path.size() && path[at] != '/') continue;
        const std::string part = path.substr(0, at);
        if (mkdir(part.c_str(), 0700) == 0 || errno == EEXIST) continue;
        if (error) *error = "Cannot create the folder \"" + part + "\": " + std::strerror(errno);
        return false;
    }
    struct stat st {};
    if (stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        if (error) *error = "\"" + path + "\" is not a folder.";
        return false;
    }
    return true;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

}  // namespace kestrin
