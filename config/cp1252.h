// Windows-1252, the 8-bit text of the transmitter and the configuration
// files, mapped byte for byte so that no byte is ever lost.
#pragma once

#include <cstdint>

namespace kestrin {

// The Unicode code point of a byte; the five unassigned bytes map to the C1
// control of the same value, as Windows does.
unsigned Cp1252ToUnicode(uint8_t byte);

// The byte for a code point, or -1 when Windows-1252 has none.
int UnicodeToCp1252(unsigned codePoint);

}  // namespace kestrin
