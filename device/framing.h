// Packet framing to the programming shoe: SOH, type, STX, payload, CRC-16
// high/low, ETX, with 0x10 and 0x03 escaped as 0x10, byte + 0x20.
#pragma once

#include <array>
#include <boost/crc.hpp>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kestrin {

using Bytes = std::vector<uint8_t>;

constexpr uint8_t SOH = 0x01, STX = 0x02, ETX = 0x03, DLE = 0x10;
constexpr uint8_t kTypeRun = 0x30;      // packets of a programming run
constexpr uint8_t kTypeCommand = 0x33;  // read requests and engineering commands

Bytes ToBytes(const std::string& s);

// CRC-16/CCITT-FALSE (poly 0x1021, init 0xFFFF) over a byte range.
uint16_t PacketCrc(const uint8_t* data, std::size_t n);
inline uint16_t PacketCrc(const Bytes& b) { return PacketCrc(b.data(), b.size()); }

// The unstuffed frame SOH..ETX for one packet.
Bytes BuildFrame(uint8_t type, const Bytes& payload);

// Escapes 0x10 and 0x03 in every byte but the final ETX.
Bytes Stuff(const Bytes& frame);

// Undoes Stuff over every byte but the last: 0x10 is dropped and 0x20 taken
// off the byte after it.
Bytes Unstuff(const Bytes& stuffed);

// Pause after a stuffed frame of this many bytes: 30 ms a byte plus 100 ms.
inline int PauseMs(std::size_t stuffedLen) { return static_cast<int>(stuffedLen) * 30 + 100; }

// The unstuffed end frame of a run: "Z" and the run CRC, after the four bytes
// SOH "0" STX "Z" have been fed to the run CRC.
Bytes BuildEndFrame(boost::crc_ccitt_type& runCrc);

// Longest reply to "D1": five leading bytes, one byte and the image all
// escaped, two escaped CRC bytes and the end byte. A 600-byte buffer would cut
// an image with many 0x10 and 0x03 bytes short.
constexpr std::size_t kImageReplyCapacity = 5 + 2 * (1 + 512) + 2 * 2 + 1;
constexpr std::size_t kInfoReplyCapacity = 100;

// The 512-byte image inside a reply to "D1": at most kImageReplyCapacity
// bytes, five leading bytes dropped, unstuffed, one more byte dropped. Empty
// when fewer than 512 bytes remain, and when the kept bytes end in an escape
// byte whose partner never came (a reply cut there is incomplete).
std::optional<std::array<uint8_t, 512>> ExtractImage(const Bytes& reply);

}  // namespace kestrin

// The running CRC over every frame written since the last run start.
extern boost::crc_ccitt_type crc_total;
