#include <shlobj.h>
#include <windows.h>

#include <cstdlib>
#include <string>

#include "config/data_folder.h"
#include "config/windows_text.h"

namespace kestrin {

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool IsFolder(const std::string& path) {
    const DWORD a = GetFileAttributesW(Wide(path).c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

std::string UserDataFolder() {
    if (const char* forced = std::getenv("KESTRIN_DATA_DIR"); forced && *forced) return forced;
    PWSTR roaming = nullptr;
    std::string base;
    if (SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &roaming) == S_OK)
        base = Utf8(roaming);
    CoTaskMemFree(roaming);
    if (base.empty()) {
        if (const wchar_t* appdata = _wgetenv(L"APPDATA")) base = Utf8(appdata);
    }
    return base.empty() ? std::string() : JoinPath(base, "kestrin-pro");
}

bool MakeFolders(const std::string& path, std::string* error) {
    if (path.empty()) {
        if (error) *error = "No data folder: the user has no application data folder.";
        return false;
    }
    // Past the root: "C:\", "\\server\share\" or a leading separator.
    std::size_t from = 0;
    if (path.size() >= 2 && path[1] == ':') {
        from = 2;
    } else if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
        const std::size_t server = path.find_first_of("\\/", 2);
        from = server == std::string::npos ? path.size() : path.find_first_of("\\/", server + 1);
        if (from == std::string::npos) from = path.size();
    }
    while (from < path.size() && IsSeparator(path[from])) ++from;
    for (std::size_t at = from + 1; at <= path.size(); ++at) {
        if (at < path.size() && !IsSeparator(path[at])) continue;
        const std::string part = path.substr(0, at);
        if (CreateDirectoryW(Wide(part).c_str(), nullptr)) continue;
        const DWORD code = GetLastError();
        // An existing folder may also answer "access denied" (a drive's
        // root, a folder the user may only pass through).
        if (IsFolder(part)) continue;
        if (error) *error = "Cannot create the folder \"" + part + "\": " + SystemMessage(code);
        return false;
    }
    if (!IsFolder(path)) {
        if (error) *error = "\"" + path + "\" is not a folder.";
        return false;
    }
    return true;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    return IsSeparator(folder.back()) ? folder + name : folder + "\\" + name;
}

}  // namespace kestrin
