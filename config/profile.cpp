#include "config/profile.h"

#include <algorithm>
#include <cstring>

#include "config/cp1252.h"
#include "config/texts.h"

namespace kestrin {

namespace {

// The reader's blanks: ASCII white space and ^Z, the old end-of-file mark.
bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r') || c == '\x1a'; }
bool IsBreak(char c) { return c == '\r' || c == '\n'; }

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(const char* a, const char* b, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        if (Lower(a[i]) != Lower(b[i])) return false;
    }
    return true;
}

std::size_t HashName(const char* s, std::size_t n) {
    std::size_t h = 1469598103934665603ull;
    for (std::size_t i = 0; i < n; ++i)
        h = (h ^ static_cast<unsigned char>(Lower(s[i]))) * 1099511628211ull;
    return h;
}

std::size_t KeyHash(std::size_t nameHash, uint32_t section) {
    return nameHash ^ (static_cast<std::size_t>(section) * 0x9E3779B97F4A7C15ull);
}

std::string Trim(const std::string& s) {
    std::size_t b = 0, e = s.size();
    while (b < e && IsBlank(s[b])) ++b;
    while (e > b && IsBlank(s[e - 1])) --e;
    return s.substr(b, e - b);
}

bool Enclosed(const std::string& v) {
    return v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front();
}

std::string Cp1252ToUtf8(const std::string& s) {
    std::string out;
    for (char c : s) AppendUtf8(out, Cp1252ToUnicode(static_cast<uint8_t>(c)));
    return out;
}

// What the Windows reader hands an 8-bit caller from a UTF-8 file: each
// character in Windows-1252, '?' for one it lacks and for each malformed byte.
std::string Utf8ToCp1252(const std::string& s) {
    std::string out;
    std::size_t i = 0;
    while (i < s.size()) {
        const auto b = static_cast<unsigned char>(s[i]);
        std::size_t len = b < 0x80                ? 1
                          : b >= 0xC2 && b < 0xE0 ? 2
                          : b >= 0xE0 && b < 0xF0 ? 3
                          : b >= 0xF0 && b < 0xF5 ? 4
                                                  : 0;
        unsigned cp = len == 1 ? b : len == 2 ? b & 0x1F : len == 3 ? b & 0x0F : b & 0x07;
        bool ok = len > 0 && i + len <= s.size();
        for (std::size_t k = 1; ok && k < len; ++k) {
            const auto c = static_cast<unsigned char>(s[i + k]);
            ok = (c & 0xC0) == 0x80;
            cp = (cp << 6) | (c & 0x3F);
        }
        if (ok && ((len == 3 && (cp < 0x800 || (cp >= 0xD800 && cp < 0xE000))) ||
                   (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)))) {
            ok = false;
        }
        if (!ok) {
            out += '?';
            ++i;
            continue;
        }
        const int byte = UnicodeToCp1252(cp);
        out += byte < 0 ? '?' : static_cast<char>(byte);
        i += len;
    }
    return out;
}

// The end of the line starting at i, and the start of the next one.
std::size_t LineEnd(const std::string& t, std::size_t i) {
    while (i < t.size() && !IsBreak(t[i])) ++i;
    return i;
}
std::size_t AfterBreak(const std::string& t, std::size_t end) {
    if (end >= t.size()) return end;
    return t[end] == '\r' && end + 1 < t.size() && t[end + 1] == '\n' ? end + 2 : end + 1;
}

}  // namespace

// The table keeps at most half its slots in use.
void IniProfile::Table::Grow() {
    if ((used + 1) * 2 <= slots.size()) return;
    std::vector<Slot> bigger(std::max<std::size_t>(16, slots.size() * 2), Slot{0, 0});
    const std::size_t mask = bigger.size() - 1;
    for (const Slot& v : slots) {
        if (!v.entry) continue;
        std::size_t at = v.hash & mask;
        while (bigger[at].entry) at = (at + 1) & mask;
        bigger[at] = v;
    }
    slots.swap(bigger);
}

template <typename Same>
IniProfile::Slot& IniProfile::Table::Probe(uint32_t hash, Same same) {
    const std::size_t mask = slots.size() - 1;
    std::size_t at = hash & mask;
    while (slots[at].entry && !(slots[at].hash == hash && same(slots[at].entry - 1)))
        at = (at + 1) & mask;
    return slots[at];
}

void IniProfile::Table::Insert(uint32_t index, std::size_t hash) {
    Grow();
    const auto h = static_cast<uint32_t>(hash);
    Slot& slot = Probe(h, [](uint32_t) { return false; });
    slot = Slot{index + 1, h};
    ++used;
}

std::string IniProfile::SectionName(uint32_t s) const {
    const Section& sec = sections_[s];
    return sec.added == kNone ? text_.substr(sec.name, sec.nameLen) : addedSections_[sec.added];
}

std::size_t IniProfile::FindSection(const char* name, std::size_t len) const {
    const std::vector<Slot>& slots = sectionTable_.slots;
    if (slots.empty()) return std::string::npos;
    const std::size_t mask = slots.size() - 1;
    const auto h = static_cast<uint32_t>(HashName(name, len));
    for (std::size_t at = h & mask; slots[at].entry; at = (at + 1) & mask) {
        if (slots[at].hash != h) continue;
        const uint32_t s = slots[at].entry - 1;
        const Section& sec = sections_[s];
        const char* data =
            sec.added == kNone ? text_.data() + sec.name : addedSections_[sec.added].data();
        if (sec.nameLen == len && SameName(data, name, len)) return s;
    }
    return std::string::npos;
}

std::size_t IniProfile::AddSection(uint32_t name, uint32_t nameLen, uint32_t insertAt,
                                   uint32_t added) {
    const auto s = static_cast<uint32_t>(sections_.size());
    sections_.push_back(Section{name, nameLen, insertAt, added});
    const char* data = added == kNone ? text_.data() + name : addedSections_[added].data();
    sectionTable_.Insert(s, HashName(data, nameLen));
    return s;
}

void IniProfile::KeyLine(uint32_t line, uint32_t& nameLen, uint32_t& eq, uint32_t& end) const {
    std::size_t e = LineEnd(text_, line);
    while (e > line && IsBlank(text_[e - 1])) --e;
    const void* found = std::memchr(text_.data() + line, '=', e - line);
    std::size_t nameEnd = e;
    eq = kNone;
    if (found) {
        eq = static_cast<uint32_t>(static_cast<const char*>(found) - text_.data());
        nameEnd = eq;
        while (nameEnd > line && IsBlank(text_[nameEnd - 1])) --nameEnd;
    }
    nameLen = static_cast<uint32_t>(nameEnd - line);
    end = static_cast<uint32_t>(e);
}

std::size_t IniProfile::FindKey(uint32_t section, const char* name, std::size_t len) const {
    const std::vector<Slot>& slots = keyTable_.slots;
    if (slots.empty()) return std::string::npos;
    const std::size_t mask = slots.size() - 1;
    const auto h = static_cast<uint32_t>(KeyHash(HashName(name, len), section));
    for (std::size_t at = h & mask; slots[at].entry; at = (at + 1) & mask) {
        if (slots[at].hash != h) continue;
        const uint32_t k = slots[at].entry - 1;
        if (keys_[k].section != section) continue;
        uint32_t nameLen, eq, end;
        KeyLine(keys_[k].line, nameLen, eq, end);
        if (nameLen == len && SameName(text_.data() + keys_[k].line, name, len)) return k;
    }
    return std::string::npos;
}

void IniProfile::AddKey(uint32_t line, uint32_t section, std::size_t hash) {
    keys_.push_back(Key{line, section});
    keyTable_.Insert(static_cast<uint32_t>(keys_.size() - 1), hash);
}

std::size_t IniProfile::FindAdded(uint32_t section, const std::string& name) const {
    for (std::size_t i = 0; i < addedKeys_.size(); ++i) {
        const AddedKey& a = addedKeys_[i];
        if (a.section == section && a.name.size() == name.size() &&
            SameName(a.name.data(), name.data(), name.size()))
            return i;
    }
    return std::string::npos;
}

IniProfile IniProfile::Parse(std::string bytes) {
    IniProfile p;
    p.text_ = std::move(bytes);
    const std::string& t = p.text_;
    if (t.compare(0, 3, "\xef\xbb\xbf") == 0) {
        p.utf8_ = true;
        p.start_ = 3;
    }
    // The keys before any header belong to a section without a name.
    p.AddSection(p.start_, 0, p.start_, kNone);
    uint32_t current = 0;
    bool reachable = true;  // whether current is the first section of its name
    bool eolKnown = false;

    std::size_t i = p.start_;
    while (i < t.size()) {
        const std::size_t end = LineEnd(t, i);
        const std::size_t next = AfterBreak(t, end);
        if (!eolKnown && end < t.size()) {
            p.eol_ = t.substr(end, next - end);
            eolKnown = true;
        }
        std::size_t b = i, e = end;
        i = next;
        while (b < e && IsBlank(t[b])) ++b;
        while (e > b && IsBlank(t[e - 1])) --e;
        if (b == e) continue;

        if (t[b] == '[') {
            std::size_t close = e - 1;
            while (close > b && t[close] != ']') --close;
            if (close > b) {
                std::size_t nb = b + 1, ne = close;
                while (nb < ne && IsBlank(t[nb])) ++nb;
                while (ne > nb && IsBlank(t[ne - 1])) --ne;
                const std::size_t len = ne - nb;
                p.sectionTable_.Grow();
                const auto h = static_cast<uint32_t>(HashName(t.data() + nb, len));
                Slot& slot = p.sectionTable_.Probe(h, [&](uint32_t s) {
                    const Section& sec = p.sections_[s];
                    return sec.nameLen == len && SameName(t.data() + sec.name, t.data() + nb, len);
                });
                reachable = !slot.entry;
                if (reachable) {
                    current = static_cast<uint32_t>(p.sections_.size());
                    p.sections_.push_back(Section{static_cast<uint32_t>(nb),
                                                  static_cast<uint32_t>(len),
                                                  static_cast<uint32_t>(next), kNone});
                    slot = Slot{current + 1, h};
                    ++p.sectionTable_.used;
                }
                continue;
            }
            // "[A" without its bracket is no header: the reader takes it as a
            // key of the section before.
        }
        if (!reachable) continue;

        uint32_t nameLen, eq, lineEnd;
        p.KeyLine(static_cast<uint32_t>(b), nameLen, eq, lineEnd);
        // One probe finds an earlier key of the name or the place for this one.
        p.keyTable_.Grow();
        const auto h = static_cast<uint32_t>(KeyHash(HashName(t.data() + b, nameLen), current));
        Slot& slot = p.keyTable_.Probe(h, [&](uint32_t k) {
            if (p.keys_[k].section != current) return false;
            uint32_t len, keq, kend;
            p.KeyLine(p.keys_[k].line, len, keq, kend);
            return len == nameLen && SameName(t.data() + p.keys_[k].line, t.data() + b, len);
        });
        if (!slot.entry) {
            p.keys_.push_back(Key{static_cast<uint32_t>(b), current});
            slot = Slot{static_cast<uint32_t>(p.keys_.size()), h};
            ++p.keyTable_.used;
        }
        // New keys go after the section's last key, not after comments that
        // introduce whatever follows.
        if (t[b] != ';') p.sections_[current].insertAt = static_cast<uint32_t>(next);
    }
    return p;
}

std::string IniProfile::ReadValue(std::string v) const {
    v = Trim(v);
    const std::size_t nul = v.find('\0');
    if (nul != std::string::npos) v.resize(nul);
    if (utf8_) v = Utf8ToCp1252(v);
    if (Enclosed(v)) {
        // The reader copies the value without its opening quote into its
        // 800-byte buffer, then drops the last byte when the closing quote
        // fitted; a quoted value of exactly 799 bytes loses its last one.
        v = v.substr(1, v.size() == kProfileValueMax + 2 ? v.size() - 3 : v.size() - 2);
    }
    if (v.size() > kProfileValueMax) v.resize(kProfileValueMax);
    return v;
}

std::string IniProfile::FileName(const std::string& name) const {
    return utf8_ ? Cp1252ToUtf8(Trim(name)) : Trim(name);
}

std::string IniProfile::Get(const std::string& section, const std::string& key) const {
    const std::size_t s = FindSection(FileName(section));
    if (s == std::string::npos) return std::string();
    const std::string name = FileName(key);
    const std::size_t k = FindKey(static_cast<uint32_t>(s), name.data(), name.size());
    if (k != std::string::npos) {
        const auto r = replaced_.find(static_cast<uint32_t>(k));
        if (r != replaced_.end()) return ReadValue(r->second);
        uint32_t nameLen, eq, end;
        KeyLine(keys_[k].line, nameLen, eq, end);
        if (eq == kNone) return std::string();
        return ReadValue(text_.substr(eq + 1, end - eq - 1));
    }
    const std::size_t a = FindAdded(static_cast<uint32_t>(s), name);
    return a == std::string::npos ? std::string() : ReadValue(addedKeys_[a].value);
}

bool IniProfile::HasSection(const std::string& name) const {
    return FindSection(FileName(name)) != std::string::npos;
}

void IniProfile::Set(const std::string& section, const std::string& key, const std::string& value) {
    std::string v = value;
    for (char& c : v) {
        if (IsBreak(c) || c == '\0') c = ' ';
    }
    if (utf8_) v = Cp1252ToUtf8(v);
    // The reader trims and unquotes; quoting what it would change brings the
    // value back exactly as given. The Windows writer does not do this.
    if (!v.empty() && (IsBlank(v.front()) || IsBlank(v.back()) || Enclosed(v))) v = '"' + v + '"';

    const std::string sec = FileName(section), name = FileName(key);
    std::size_t s = FindSection(sec);
    if (s == std::string::npos) {
        addedSections_.push_back(sec);
        s = AddSection(0, static_cast<uint32_t>(sec.size()), kNone,
                       static_cast<uint32_t>(addedSections_.size() - 1));
    }
    const std::size_t k = FindKey(static_cast<uint32_t>(s), name.data(), name.size());
    if (k != std::string::npos) {
        replaced_[static_cast<uint32_t>(k)] = std::move(v);
        return;
    }
    const std::size_t a = FindAdded(static_cast<uint32_t>(s), name);
    if (a != std::string::npos) {
        addedKeys_[a].value = std::move(v);
    } else {
        addedKeys_.push_back(AddedKey{static_cast<uint32_t>(s), name, std::move(v)});
    }
}

std::string IniProfile::Serialize() const {
    struct Edit {
        uint32_t at, end;  // bytes [at, end) of text_ give way to text
        std::size_t order;
        std::string text;
    };
    std::vector<Edit> edits;
    for (const auto& [k, v] : replaced_) {
        uint32_t nameLen, eq, end;
        KeyLine(keys_[k].line, nameLen, eq, end);
        const uint32_t rawEnd = static_cast<uint32_t>(LineEnd(text_, keys_[k].line));
        if (eq == kNone) {
            edits.push_back(Edit{end, rawEnd, 0, "=" + v});
        } else {
            edits.push_back(Edit{eq + 1, rawEnd, 0, v});
        }
    }
    std::vector<std::vector<const AddedKey*>> newSections(addedSections_.size());
    for (std::size_t i = 0; i < addedKeys_.size(); ++i) {
        const AddedKey& a = addedKeys_[i];
        const Section& sec = sections_[a.section];
        if (sec.added != kNone) {
            newSections[sec.added].push_back(&a);
            continue;
        }
        std::string line = a.name + "=" + a.value + eol_;
        // A last line without its ending gets one before anything follows it.
        if (sec.insertAt >= text_.size() && !text_.empty() && !IsBreak(text_.back()) &&
            text_.size() > start_)
            line = eol_ + line;
        edits.push_back(Edit{sec.insertAt, sec.insertAt, i + 1, std::move(line)});
    }
    std::sort(edits.begin(), edits.end(), [](const Edit& x, const Edit& y) {
        return x.at != y.at ? x.at < y.at : x.order < y.order;
    });

    std::string out;
    out.reserve(text_.size() + 64 * (edits.size() + addedKeys_.size()));
    std::size_t pos = 0;
    for (const Edit& e : edits) {
        out.append(text_, pos, e.at - pos);
        out += e.text;
        pos = e.end;
    }
    out.append(text_, pos, std::string::npos);

    for (std::size_t n = 0; n < addedSections_.size(); ++n) {
        if (out.size() > start_ && !IsBreak(out.back())) out += eol_;
        out += "[" + addedSections_[n] + "]" + eol_;
        for (const AddedKey* a : newSections[n]) out += a->name + "=" + a->value + eol_;
    }
    return out;
}

bool ReadProfileFile(const std::string& path, IniProfile& out, std::string* error) {
    std::string bytes;
    if (ReadWholeFile(path, bytes, error) != ReadResult::kOk) return false;
    out = IniProfile::Parse(std::move(bytes));
    return true;
}

}  // namespace kestrin
