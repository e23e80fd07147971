#include "config/texts.h"

#include "config/cp1252.h"

namespace kestrin {

namespace {

bool IsControl(unsigned b) { return b < 0x20 || b == 0x7F; }

constexpr unsigned kPictures = 0x2400;  // U+2400 .. U+241F for 0x00 .. 0x1F
constexpr unsigned kDelPicture = 0x2421;

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The byte an escape at value[i] stands for, or -1 when there is none.
int EscapeAt(const std::string& value, std::size_t i) {
    if (value[i] != '|' || i + 2 >= value.size()) return -1;
    const int hi = HexDigit(value[i + 1]), lo = HexDigit(value[i + 2]);
    if (hi < 0 || lo < 0) return -1;
    const int b = hi * 16 + lo;
    return IsControl(static_cast<unsigned>(b)) || b == '|' ? b : -1;
}

}  // namespace

void AppendUtf8(std::string& out, unsigned cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

unsigned DisplayCodePoint(uint8_t byte) {
    if (byte == 0x7F) return kDelPicture;
    if (byte < 0x20) return kPictures + byte;
    return Cp1252ToUnicode(byte);
}

int DisplayByte(unsigned cp) {
    if (cp == kDelPicture) return 0x7F;
    if (cp >= kPictures && cp < kPictures + 0x20) return static_cast<int>(cp - kPictures);
    // A control typed or pasted as itself stands for itself.
    return UnicodeToCp1252(cp);
}

std::string DisplayUtf8(const std::string& bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (char c : bytes) AppendUtf8(out, DisplayCodePoint(static_cast<uint8_t>(c)));
    return out;
}

std::string EncodeFileText(const std::string& text) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto b = static_cast<unsigned char>(text[i]);
        if (IsControl(b) || (b == '|' && EscapeAt(text, i) >= 0)) {
            out += '|';
            out += kHex[b >> 4];
            out += kHex[b & 0xF];
        } else {
            out += static_cast<char>(b);
        }
    }
    return out;
}

std::string DecodeFileText(const std::string& value) {
    std::string out;
    out.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        const int b = EscapeAt(value, i);
        if (b < 0) {
            out += value[i];
        } else {
            out += static_cast<char>(b);
            i += 2;
        }
    }
    return out;
}

}  // namespace kestrin
