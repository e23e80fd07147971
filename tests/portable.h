// What the tests need from the system, the same on Linux and on Windows.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <system_error>

namespace kestrin_test {

// A new, empty folder under the system's temporary folder.
inline std::filesystem::path MakeTempFolder(const std::string& prefix) {
    std::random_device seed;
    std::mt19937_64 rng(seed());
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    for (;;) {
        const std::filesystem::path p = base / (prefix + "-" + std::to_string(rng() % 1000000000));
        std::error_code ec;
        if (std::filesystem::create_directory(p, ec)) return p;
        if (ec) throw std::filesystem::filesystem_error("cannot make a temporary folder", p, ec);
    }
}

// Sets an environment variable, or removes it when value is null.
inline void SetEnv(const char* name, const char* value) {
#if defined(_WIN32)
    _putenv_s(name, value ? value : "");
#else
    value ? setenv(name, value, 1) : unsetenv(name);
#endif
}

}  // namespace kestrin_test
