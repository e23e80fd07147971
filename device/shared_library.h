// A library loaded at run time, and where the vendor's adapter library is
// looked for; one implementation per platform.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace kestrin {

class SharedLibrary {
  public:
    // Null when the library cannot be loaded; error then says why.
    static std::unique_ptr<SharedLibrary> Load(const std::string& path, std::string* error);
    ~SharedLibrary();
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;

    // Null when the library has no such entry point.
    void* Symbol(const char* name) const;

  private:
    explicit SharedLibrary(void* handle) : handle_(handle) {}
    void* handle_;
};

// The names the vendor library is installed under, most usual first.
std::vector<std::string> DefaultD2xxLibraryNames();

}  // namespace kestrin
