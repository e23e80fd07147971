// check and set: what Open would change in a file, and changing its keys as
// the window's controls could hold them.
#include <cstdio>
#include <cstdlib>

#include "cli/cli.h"
#include "config/codes.h"
#include "config/config_file.h"
#include "config/cp1252.h"
#include "config/file_access.h"
#include "config/profile.h"
#include "config/texts.h"
#include "pages/frequency.h"

namespace kestrin::cli {

namespace {

using Kind = ConfigKey::Kind;

// A whole decimal number, blanks around it allowed, and nothing else.
std::optional<long long> WholeNumber(const std::string& s) {
    std::size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t')) --e;
    const std::string t = s.substr(b, e - b);
    if (t.empty() || t.size() > 18) return std::nullopt;
    std::size_t i = t[0] == '-' || t[0] == '+' ? 1 : 0;
    if (i == t.size()) return std::nullopt;
    for (std::size_t j = i; j < t.size(); ++j)
        if (t[j] < '0' || t[j] > '9') return std::nullopt;
    return std::strtoll(t.c_str(), nullptr, 10);
}

bool SameValue(const ConfigKey& k, const std::string& raw, const std::string& loaded) {
    if (k.kind == Kind::Text || k.kind == Kind::CapCode)
        return DecodeFileText(raw) == DecodeFileText(loaded);
    const auto a = WholeNumber(raw), b = WholeNumber(loaded);
    return a && b && *a == *b;
}

// Why Program refuses a Cap Code, or nothing.
std::string CapCodeRefusal(const std::string& id) {
    const auto code = ParseCapCode(id);
    if (!code) return id.empty() ? "it is empty" : "it is not a number";
    if (CapCodeAccepted(*code)) return std::string();
    if (*code < 0 || *code > 2097151) return "it is outside 0 to 2097151";
    return "it lies in a reserved block (2007664-2007671 or 2045056-2045063)";
}

std::string FreqRefusal(long long f) {
    if (f < kFreqMin || f > kFreqMax) return "it is outside 433000000 to 470000000 Hz";
    if (InUnavailableBand(static_cast<uint32_t>(f)))
        return "it lies in the unavailable band 457090000-457130000 Hz";
    if ((f - kFreqMin) % 2500 != 0) return "it is not on the 2500 Hz raster";
    return std::string();
}

const ConfigKey* FindKey(const std::string& section, const std::string& key) {
    const auto same = [](const std::string& a, const std::string& b) {
        if (a.size() != b.size()) return false;
        for (std::size_t i = 0; i < a.size(); ++i)
            if (std::tolower(static_cast<unsigned char>(a[i])) !=
                std::tolower(static_cast<unsigned char>(b[i])))
                return false;
        return true;
    };
    for (const ConfigKey& k : ConfigKeys())
        if (same(k.section, section) && same(k.key, key)) return &k;
    return nullptr;
}

// UTF-8 from the command line as the 8-bit text the form holds.
std::optional<std::string> ToCp1252(const std::string& utf8) {
    std::string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        unsigned cp = c;
        int extra = c < 0x80 ? 0 : c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : -1;
        if (extra < 0 || (extra > 0 && i + extra >= utf8.size())) return std::nullopt;
        if (extra) cp = c & (0x3F >> extra);
        for (int j = 1; j <= extra; ++j) {
            const unsigned char d = static_cast<unsigned char>(utf8[i + j]);
            if ((d & 0xC0) != 0x80) return std::nullopt;
            cp = (cp << 6) | (d & 0x3F);
        }
        i += extra + 1;
        const int byte = DisplayByte(cp);
        if (byte < 0) return std::nullopt;
        out += static_cast<char>(byte);
    }
    return out;
}

bool ReadProfile(const std::string& path, IniProfile& profile, int& status) {
    std::string bytes, error;
    switch (ReadWholeFile(path, bytes, &error)) {
        case ReadResult::kOk:
            profile = IniProfile::Parse(std::move(bytes));
            return true;
        case ReadResult::kNotRegular:
        case ReadResult::kTooLarge:
            Error(error + ": Open refuses it");  // a finding about the file
            status = std::max(status, static_cast<int>(kProblem));
            return false;
        default:
            Error(error);
            status = kError;
            return false;
    }
}

}  // namespace

int Check(const Args& args) {
    int status = kOk;
    for (const std::string& file : args.files) {
        IniProfile profile;
        if (!ReadProfile(file, profile, status)) continue;
        FormSnapshot form = StartupForm();
        if (!ReadFormFromProfile(profile, form, true)) {
            Error(file +
                  ": not a Kestrin TQ9 configuration file: it has none of its sections; "
                  "Open refuses it");
            status = std::max(status, static_cast<int>(kProblem));
            continue;
        }
        // What Open makes of each value is what the window would save again.
        IniProfile loaded;
        WriteFormToProfile(form, loaded);
        int findings = 0;
        const auto finding = [&](const std::string& text) {
            Error(file + ": " + text);
            ++findings;
        };
        for (const ConfigKey& k : ConfigKeys()) {
            const std::string raw = profile.Get(k.section, k.key);
            const std::string held = loaded.Get(k.section, k.key);
            if (raw.empty() || SameValue(k, raw, held)) continue;
            const std::string name =
                "[" + k.section + "] " + k.key + ": \"" + Printable(DecodeFileText(raw)) + "\" ";
            if (k.kind == Kind::Text)
                finding(name + "is longer than " + std::to_string(k.max) +
                        " characters; Open cuts it to \"" + Printable(DecodeFileText(held)) + "\"");
            else if (k.kind == Kind::CapCode)
                finding(name + "is not a Cap Code of at most seven digits; Open leaves it empty");
            else
                finding(name + "is not allowed (allowed: " + k.allowed + "); Open reads " + held);
        }
        for (int m = 0; m < kMsgCount; ++m) {
            std::string why = CapCodeRefusal(form.msg[m].id);
            if (profile.Get(kMessages[m].prefix, "ID").empty() && !why.empty())
                why += " (the file gives none)";
            if (!why.empty())
                finding("[" + std::string(kMessages[m].prefix) +
                        "] ID: Program would refuse Cap "
                        "Code \"" +
                        Printable(form.msg[m].id) + "\": " + why);
        }
        const std::string freq = FreqRefusal(form.freq);
        if (!freq.empty())
            finding("[Freq] Value: Program would refuse " + std::to_string(form.freq) +
                    " Hz: " + freq);
        if (findings == 0)
            std::printf("%s: ok\n", file.c_str());
        else
            status = std::max(status, static_cast<int>(kProblem));
    }
    return status;
}

int Set(const Args& args) {
    const std::string& file = args.files[0];
    const std::string out = args.Value("-o").empty() ? file : args.Value("-o");
    int status = kOk;
    IniProfile profile;
    if (!ReadProfile(file, profile, status)) return kError;
    FormSnapshot form = StartupForm();
    if (!ReadFormFromProfile(profile, form, true)) {
        Error(file + ": not a Kestrin TQ9 configuration file");
        return kError;
    }

    struct Change {
        const ConfigKey* key;
        std::string value;  // as the file stores it
    };
    std::vector<Change> changes;
    for (std::size_t i = 1; i < args.files.size(); ++i) {
        const std::string& a = args.files[i];
        const std::size_t eq = a.find('='), dot = a.find('.');
        if (eq == std::string::npos || dot == std::string::npos || dot > eq) {
            Error("kestrin-cli set: \"" + a +
                  "\" is not KEY=VALUE with KEY as Section.Key "
                  "(e.g. Button.ID=0100123)");
            return kError;
        }
        const std::string name = a.substr(0, eq), value = a.substr(eq + 1);
        const ConfigKey* k = FindKey(name.substr(0, dot), name.substr(dot + 1));
        if (!k) {
            Error("kestrin-cli set: " + file + " has no key " + name +
                  "; the keys are those 'kestrin-cli show' lists, named as in the file "
                  "(Button.ID, Freq.Value, Accl.Enabled ...)");
            return kError;
        }
        const std::string refused = "kestrin-cli set: " + file + ": " + k->section + "." + k->key +
                                    "=" + value + " is refused: allowed is " + k->allowed;
        std::string stored;
        if (k->kind == Kind::Text) {
            const auto text = ToCp1252(value);
            if (!text || text->size() > static_cast<std::size_t>(k->max)) {
                Error(refused + (text ? "" : "; it holds characters the transmitter cannot show"));
                status = kProblem;
                continue;
            }
            stored = EncodeFileText(*text);
        } else if (k->kind == Kind::CapCode) {
            const bool digits = !value.empty() && value.size() <= 7 &&
                                value.find_first_not_of("0123456789") == std::string::npos;
            const std::string why = digits ? CapCodeRefusal(value) : "it is not seven digits";
            if (!why.empty()) {
                Error(refused + "; " + why);
                status = kProblem;
                continue;
            }
            stored = value;
        } else {
            const auto n = WholeNumber(value);
            const std::string why = !n                             ? "it is not a whole number"
                                    : k->kind == Kind::Frequency   ? FreqRefusal(*n)
                                    : (*n < k->min || *n > k->max) ? "it is outside the range"
                                                                   : std::string();
            if (!why.empty()) {
                Error(refused + "; " + why);
                status = kProblem;
                continue;
            }
            stored = std::to_string(*n);
        }
        changes.push_back({k, stored});
    }
    if (status != kOk) {
        Error("kestrin-cli set: nothing was written");
        return status;
    }
    for (const Change& c : changes) profile.Set(c.key->section, c.key->key, c.value);
    std::string error;
    if (!WriteFileAtomically(out, profile.Serialize(), &error)) {
        Error(error);
        return kError;
    }
    std::printf("Saved %s\n", out.c_str());
    return kOk;
}

}  // namespace kestrin::cli
