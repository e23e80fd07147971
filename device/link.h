// Talking to an open adapter: whole writes, replies read to their end, and
// the pause every packet is followed by.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "device/framing.h"
#include "device/ftdi.h"

namespace kestrin {

// Every pause of the device code goes through here, so the window can keep
// repainting while it waits and tests never wait. The default (also what
// an empty function restores) sleeps.
using PauseFunction = std::function<void(int ms)>;
void SetPause(PauseFunction pause);
void Pause(int ms);

// One write of all the bytes; false when the adapter refused or took fewer.
bool WriteAll(FT_HANDLE handle, const Bytes& bytes);

// Reads a reply one byte at a time until silenceMs pass without a byte. At
// most capacity bytes are kept; the rest is read to its end and dropped, up
// to four buffers' worth, after which a line that never falls silent ends.
// Empty reads take sliceMs each, paused through Pause so the window lives.
Bytes ReadReply(FT_HANDLE handle, std::size_t capacity, int silenceMs = 200, int sliceMs = 20);

// 8 data bits, no parity, one stop bit at the given rate; other fields as read.
void SetLine(FT_HANDLE handle, DWORD baudRate);

// The two accepted programming shoes, matched exactly.
bool IsProgrammingShoe(const std::string& serial, const std::string& description);
constexpr const char* kReadCableDescription = "TTL232R-3V3";

// The version query SOH "1" STX ETX, sent without CRC or stuffing.
extern const Bytes kVersionQuery;

// Characters 15 to 18 of the reply text (up to its first NUL); shorter
// replies give what there is, possibly nothing.
std::string ShoeVersionText(const Bytes& reply);

// The information text of a reply to "D0": first byte read as a space, text
// up to the first NUL, shown from position 7 up to but not including the
// last five characters; from position 7 on when that leaves nothing (8 to 12
// characters), the empty text for 7 or fewer.
std::string InfoText(const Bytes& reply);

}  // namespace kestrin
