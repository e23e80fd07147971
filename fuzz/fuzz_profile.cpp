// The INI profile over any bytes: untouched text comes back byte for byte, a
// value written reads back as written (before and after a reopen), and a
// write changes no other key.
#include <fuzzer/FuzzedDataProvider.h>

#include <string>

#include "config/profile.h"
#include "fuzz/check.h"

using kestrin::IniProfile;

namespace {

bool Has(const std::string& s, const char* chars) {
    return s.find_first_of(chars, 0, 3) != std::string::npos;
}

bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r') || c == '\x1a'; }

// Whether two names reach the same section or key: blanks around them and
// ASCII case do not count.
bool SameName(const std::string& a, const std::string& b) {
    auto trim = [](const std::string& s) {
        std::size_t x = 0, y = s.size();
        while (x < y && IsBlank(s[x])) ++x;
        while (y > x && IsBlank(s[y - 1])) --y;
        std::string t = s.substr(x, y - x);
        for (char& c : t) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
        return t;
    };
    return trim(a) == trim(b);
}

// Names a writer may be given: one line, and a key that cannot read as a
// header or hold the separator.
bool Writable(const std::string& section, const std::string& key) {
    if (Has(section, "\r\n\0") || Has(key, "\r\n\0")) return false;
    if (key.find('=') != std::string::npos) return false;
    std::size_t b = 0;
    while (b < key.size() && IsBlank(key[b])) ++b;
    // A key of the nameless section lands at the very start of the file,
    // where these three bytes would make it a byte-order mark.
    if (key.compare(b, 3, "\xef\xbb\xbf") == 0) return false;
    return b == key.size() || key[b] != '[';
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const std::string section = in.ConsumeRandomLengthString(12);
    const std::string key = in.ConsumeRandomLengthString(12);
    const std::string other = in.ConsumeRandomLengthString(12);
    std::string value = in.ConsumeRandomLengthString(900);
    const std::string file = in.ConsumeRemainingBytesAsString();

    IniProfile p = IniProfile::Parse(file);
    FUZZ_CHECK(p.Serialize() == file);
    FUZZ_CHECK(p.Get(section, key).size() <= kestrin::kProfileValueMax);
    const std::string otherBefore = p.Get(section, other);
    const std::string elsewhereBefore = p.Get(other, key);

    if (!Writable(section, key) || Has(value, "\r\n\0")) return 0;
    if (value.size() >= kestrin::kProfileValueMax) value.resize(kestrin::kProfileValueMax - 1);
    p.Set(section, key, value);
    FUZZ_CHECK(p.Get(section, key) == value);

    const IniProfile reopened = IniProfile::Parse(p.Serialize());
    FUZZ_CHECK(reopened.Get(section, key) == value);
    FUZZ_CHECK(reopened.HasSection(section));
    if (!SameName(other, key)) FUZZ_CHECK(reopened.Get(section, other) == otherBefore);
    if (!SameName(other, section)) FUZZ_CHECK(reopened.Get(other, key) == elsewhereBefore);
    return 0;
}
