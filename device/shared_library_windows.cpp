#include <windows.h>

#include <string>

#include "config/windows_text.h"
#include "device/shared_library.h"

namespace kestrin {

std::unique_ptr<SharedLibrary> SharedLibrary::Load(const std::string& path, std::string* error) {
    // A bare name is looked for beside the program and in the system folder
    // only: never in the current folder, which may be wherever the operator
    // opened a file from.
    const bool bare = path.find_first_of("\\/:") == std::string::npos;
    const DWORD flags = bare ? LOAD_LIBRARY_SEARCH_APPLICATION_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32
                             : LOAD_WITH_ALTERED_SEARCH_PATH;
    // No "cannot find the DLL" box from the system: the caller reports it.
    const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    HMODULE handle = LoadLibraryExW(Wide(path).c_str(), nullptr, flags);
    const DWORD code = GetLastError();
    SetErrorMode(oldMode);
    if (!handle) {
        if (error) *error = SystemMessage(code);
        return nullptr;
    }
    return std::unique_ptr<SharedLibrary>(new SharedLibrary(handle));
}

SharedLibrary::~SharedLibrary() { FreeLibrary(static_cast<HMODULE>(handle_)); }

void* SharedLibrary::Symbol(const char* name) const {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name));
}

std::vector<std::string> DefaultD2xxLibraryNames() { return {"ftd2xx.dll"}; }

}  // namespace kestrin
