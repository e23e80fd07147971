// A small INI profile over 8-bit text, kept line by line so that a file saved
// by the utility looks like one written by the Windows profile writer and so
// that everything the utility does not own survives a save untouched.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "config/file_access.h"

namespace kestrin {

// Longest value a read returns; the Windows reader's 800-byte buffer less the
// terminator.
constexpr std::size_t kProfileValueMax = 799;

class IniProfile {
  public:
    // An empty profile; written out with CRLF.
    IniProfile() = default;

    // Parses CRLF or LF text; the first line ending found becomes the one used
    // for lines this profile adds.
    static IniProfile Parse(const std::string& bytes);

    // The value, trimmed, with one pair of enclosing double quotes removed and
    // cut to kProfileValueMax; empty when the section or key is missing.
    // Section and key names match without regard to ASCII case.
    std::string Get(const std::string& section, const std::string& key) const;

    // Replaces an existing key's value in place; otherwise appends the key
    // after the last key of its section, or appends the section at the end.
    // A value that Get would not return unchanged (surrounding white space,
    // enclosing quotes) is written quoted; line breaks become spaces.
    void Set(const std::string& section, const std::string& key, const std::string& value);

    bool HasSection(const std::string& name) const;

    // The text, every untouched line byte for byte as parsed.
    std::string Serialize() const;

    // "\r\n" or "\n".
    const std::string& LineEnding() const { return eol_; }

  private:
    struct Line {
        std::string text;  // without its line ending
        std::string eol;   // "\r\n", "\n", or "" for an unterminated last line
    };

    // Index of the first key line for section/key, or npos.
    std::size_t FindKey(const std::string& section, const std::string& key) const;

    void Insert(std::size_t at, std::string text);

    std::vector<Line> lines_;
    std::string eol_ = "\r\n";
};

// Reads a whole profile file (ReadWholeFile). A missing, unreadable,
// oversized or irregular file gives false and, when error is given, a text
// for the operator.
bool ReadProfileFile(const std::string& path, IniProfile& out, std::string* error);

}  // namespace kestrin
