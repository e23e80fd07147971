// How the 8-bit message texts, which may hold any byte a transmitter or a
// hand-edited file gives, are shown, stored and reported so that each stays
// one line and comes back byte for byte.
#pragma once

#include <cstdint>
#include <string>

namespace kestrin {

// The character a text byte is shown as: Windows-1252, except that the C0
// controls and DEL become their Unicode control pictures (CR is U+240D,
// LF U+240A, DEL U+2421), which take one place each and break no line.
unsigned DisplayCodePoint(uint8_t byte);

// The byte a shown character stands for (control pictures back to their
// controls), or -1 when it has none.
int DisplayByte(unsigned codePoint);

// Appends a code point below U+10000 in UTF-8.
void AppendUtf8(std::string& out, unsigned codePoint);

// A text as shown, in UTF-8 (the report's encoding).
std::string DisplayUtf8(const std::string& bytes);

// A text as a configuration-file value: each control byte (0x00-0x1F, 0x7F)
// becomes '|' and two upper-case hex digits, and so does a '|' that would
// otherwise read as such an escape. Neither text filter lets '|' be typed,
// so a typed text is written exactly as it stands.
std::string EncodeFileText(const std::string& text);

// Undoes EncodeFileText; any other '|' stays as it is.
std::string DecodeFileText(const std::string& value);

}  // namespace kestrin
