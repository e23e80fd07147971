#include <dlfcn.h>

#include "device/shared_library.h"

namespace kestrin {

std::unique_ptr<SharedLibrary> SharedLibrary::Load(const std::string& path, std::string* error) {
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        if (error) {
            // dlerror names the file first; the caller names it already.
            const char* why = dlerror();
            std::string text = why ? why : "cannot be loaded";
            if (text.compare(0, path.size() + 2, path + ": ") == 0) text.erase(0, path.size() + 2);
            *error = text;
        }
        return nullptr;
    }
    return std::unique_ptr<SharedLibrary>(new SharedLibrary(handle));
}

SharedLibrary::~SharedLibrary() { dlclose(handle_); }

void* SharedLibrary::Symbol(const char* name) const { return dlsym(handle_, name); }

std::vector<std::string> DefaultD2xxLibraryNames() {
#if defined(__APPLE__)
    return {"libftd2xx.dylib", "/usr/local/lib/libftd2xx.dylib"};
#else
    return {"libftd2xx.so", "libftd2xx.so.1", "/usr/local/lib/libftd2xx.so",
            "/usr/local/lib/libftd2xx.so.1"};
#endif
}

}  // namespace kestrin
