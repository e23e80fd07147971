// A small INI profile over 8-bit text. It reads a file as the Windows profile
// functions do, and it writes by editing the text in place, so that
// everything the utility does not own survives a save byte for byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
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

    // Indexes the text once. Lines end at every CR or LF; a UTF-8 byte-order
    // mark makes the file UTF-8, otherwise it is Windows-1252. A line is a
    // section header when it starts with '[' and holds a ']' after it (the
    // name runs to the last one); any other line with text is a key, with or
    // without '='. The first line ending found is used for lines this
    // profile adds.
    static IniProfile Parse(std::string bytes);

    // The value as the Windows reader gives it: from the first section of the
    // name, the first key of the name in it; trimmed, cut at a NUL, one pair
    // of enclosing double or single quotes removed, at most kProfileValueMax
    // bytes, Windows-1252 whatever the file's encoding. Empty when the section
    // or key is missing or the key has no '='. Names match without regard to
    // ASCII case and to blanks around them.
    std::string Get(const std::string& section, const std::string& key) const;

    // Replaces the value of the key Get reads, in place; otherwise appends the
    // key after the last key of the first section of that name (comment lines
    // starting with ';' that follow it stay with what comes after), or
    // appends the section at the end. The value is Windows-1252 and must hold
    // no CR, LF or NUL: no INI reader can take them back, so they become
    // spaces here and a caller that needs them encodes them first.
    void Set(const std::string& section, const std::string& key, const std::string& value);

    bool HasSection(const std::string& name) const;

    // The text, every untouched byte as parsed, the byte-order mark included.
    std::string Serialize() const;

    // "\r\n", "\n" or "\r".
    const std::string& LineEnding() const { return eol_; }

    bool IsUtf8() const { return utf8_; }

  private:
    static constexpr uint32_t kNone = UINT32_MAX;

    struct Section {
        uint32_t name = 0, nameLen = 0;  // in text_, or in added names when added
        uint32_t insertAt = 0;           // where a new key line goes
        uint32_t added = kNone;          // index into addedSections_, or kNone
    };
    // The first key of each name in the first section of each name; the
    // others can never be read or written.
    struct Key {
        uint32_t line;  // first non-blank byte of the line in text_
        uint32_t section;
    };
    struct AddedKey {
        uint32_t section;
        std::string name, value;  // as written, in the file's encoding
    };

    // Open-addressing tables of index + 1 (0 is empty) and the hash of the
    // lower-case name, so the index costs a few bytes a line and a probe
    // rarely has to look at the text.
    struct Slot {
        uint32_t entry;
        uint32_t hash;
    };
    struct Table {
        std::vector<Slot> slots;
        std::size_t used = 0;
        void Insert(uint32_t index, std::size_t hash);
        // Room for one more entry.
        void Grow();
        // The slot holding an entry for which same(entry) holds, or the empty
        // slot where one with this hash goes.
        template <typename Same>
        Slot& Probe(uint32_t hash, Same same);
    };

    std::string SectionName(uint32_t s) const;
    std::size_t FindSection(const char* name, std::size_t len) const;
    std::size_t FindSection(const std::string& name) const {
        return FindSection(name.data(), name.size());
    }
    std::size_t AddSection(uint32_t name, uint32_t nameLen, uint32_t insertAt, uint32_t added);
    std::size_t FindKey(uint32_t section, const char* name, std::size_t len) const;
    void AddKey(uint32_t line, uint32_t section, std::size_t hash);
    std::size_t FindAdded(uint32_t section, const std::string& trimmed) const;
    // Name and value of the key line starting at `line`.
    void KeyLine(uint32_t line, uint32_t& nameLen, uint32_t& eq, uint32_t& end) const;
    std::string ReadValue(std::string raw) const;
    // A name as the file spells it: trimmed, in UTF-8 for a UTF-8 file.
    std::string FileName(const std::string& name) const;

    std::string text_;
    uint32_t start_ = 0;  // after a byte-order mark
    bool utf8_ = false;
    std::string eol_ = "\r\n";

    std::vector<Section> sections_;  // [0]: the keys before any header
    std::vector<Key> keys_;
    Table sectionTable_, keyTable_;

    std::unordered_map<uint32_t, std::string> replaced_;  // key -> value as written
    std::vector<AddedKey> addedKeys_;                     // in the order added
    std::vector<std::string> addedSections_;
};

// Reads a whole profile file (ReadWholeFile). A missing, unreadable,
// oversized or irregular file gives false and, when error is given, a text
// for the operator.
bool ReadProfileFile(const std::string& path, IniProfile& out, std::string* error);

}  // namespace kestrin
