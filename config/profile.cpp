#include "config/profile.h"

namespace kestrin {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r'; }

std::string Trim(const std::string& s) {
    std::size_t b = 0, e = s.size();
    while (b < e && IsBlank(s[b])) ++b;
    while (e > b && IsBlank(s[e - 1])) --e;
    return s.substr(b, e - b);
}

bool SameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

bool Quoted(const std::string& v) { return v.size() >= 2 && v.front() == '"' && v.back() == '"'; }

// What a line is to the reader: a section header, a key, or neither
// (comments, blank lines, stray text).
struct Parsed {
    enum Kind { kOther, kSection, kKey } kind = kOther;
    std::string name;
    std::size_t eq = 0;  // position of '=' in a key line
};

Parsed Classify(const std::string& text) {
    Parsed p;
    const std::string t = Trim(text);
    if (t.empty() || t[0] == ';') return p;
    if (t[0] == '[') {
        const std::size_t close = t.find(']');
        p.kind = Parsed::kSection;
        p.name = Trim(t.substr(1, close == std::string::npos ? std::string::npos : close - 1));
        return p;
    }
    const std::size_t eq = text.find('=');
    if (eq == std::string::npos) return p;
    p.name = Trim(text.substr(0, eq));
    if (p.name.empty()) return p;
    p.kind = Parsed::kKey;
    p.eq = eq;
    return p;
}

}  // namespace

IniProfile IniProfile::Parse(const std::string& bytes) {
    IniProfile p;
    bool eolKnown = false;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        const std::size_t nl = bytes.find('\n', pos);
        Line line;
        if (nl == std::string::npos) {
            line.text = bytes.substr(pos);
            pos = bytes.size();
        } else {
            std::size_t end = nl;
            if (end > pos && bytes[end - 1] == '\r') {
                --end;
                line.eol = "\r\n";
            } else {
                line.eol = "\n";
            }
            line.text = bytes.substr(pos, end - pos);
            pos = nl + 1;
            if (!eolKnown) {
                p.eol_ = line.eol;
                eolKnown = true;
            }
        }
        p.lines_.push_back(std::move(line));
    }
    return p;
}

std::size_t IniProfile::FindKey(const std::string& section, const std::string& key) const {
    bool inSection = false;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const Parsed p = Classify(lines_[i].text);
        if (p.kind == Parsed::kSection) {
            inSection = SameName(p.name, section);
        } else if (inSection && p.kind == Parsed::kKey && SameName(p.name, key)) {
            return i;
        }
    }
    return std::string::npos;
}

std::string IniProfile::Get(const std::string& section, const std::string& key) const {
    const std::size_t i = FindKey(section, key);
    if (i == std::string::npos) return std::string();
    const std::string& text = lines_[i].text;
    std::string v = Trim(text.substr(text.find('=') + 1));
    if (Quoted(v)) v = v.substr(1, v.size() - 2);
    if (v.size() > kProfileValueMax) v.resize(kProfileValueMax);
    return v;
}

bool IniProfile::HasSection(const std::string& name) const {
    for (const Line& l : lines_) {
        const Parsed p = Classify(l.text);
        if (p.kind == Parsed::kSection && SameName(p.name, name)) return true;
    }
    return false;
}

void IniProfile::Insert(std::size_t at, std::string text) {
    // A last line without its ending gets one before anything follows it.
    if (at > 0 && lines_[at - 1].eol.empty()) lines_[at - 1].eol = eol_;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), Line{std::move(text), eol_});
}

void IniProfile::Set(const std::string& section, const std::string& key, const std::string& value) {
    std::string v = value;
    for (char& c : v) {
        if (c == '\r' || c == '\n') c = ' ';
    }
    // Quote what the reader would otherwise trim or unquote, so the value
    // comes back exactly as given.
    if (!v.empty() && (IsBlank(v.front()) || IsBlank(v.back()) || Quoted(v))) v = '"' + v + '"';

    const std::size_t found = FindKey(section, key);
    if (found != std::string::npos) {
        std::string& text = lines_[found].text;
        text = text.substr(0, text.find('=') + 1) + v;
        return;
    }

    std::size_t header = std::string::npos;
    std::size_t lastKey = std::string::npos;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const Parsed p = Classify(lines_[i].text);
        if (p.kind == Parsed::kSection) {
            if (header != std::string::npos) break;
            if (SameName(p.name, section)) header = i;
        } else if (header != std::string::npos && p.kind == Parsed::kKey) {
            lastKey = i;
        }
    }
    if (header == std::string::npos) {
        Insert(lines_.size(), "[" + section + "]");
        Insert(lines_.size(), key + "=" + v);
        return;
    }
    Insert((lastKey == std::string::npos ? header : lastKey) + 1, key + "=" + v);
}

std::string IniProfile::Serialize() const {
    std::string out;
    for (const Line& l : lines_) {
        out += l.text;
        out += l.eol;
    }
    return out;
}

bool ReadProfileFile(const std::string& path, IniProfile& out, std::string* error) {
    std::string bytes;
    if (ReadWholeFile(path, bytes, error) != ReadResult::kOk) return false;
    out = IniProfile::Parse(bytes);
    return true;
}

}  // namespace kestrin
