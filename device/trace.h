// Optional wire trace of everything written to and read from the adapters,
// one line per write and one per completed reply:
//   12.345 shoe tx 01 30 02 30 67 E0 03
// Enabled by naming a file in KESTRIN_TRACE; lines are appended.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace kestrin::trace {

enum class Role { Shoe, Cable };

// Seconds since start, role, direction, upper-case hex bytes; no newline.
std::string FormatLine(double seconds, Role role, bool tx, const uint8_t* data, std::size_t n);

// Sends the trace to path (appending) instead of KESTRIN_TRACE's file; an
// empty path switches tracing off. False when the file cannot be opened.
bool SetTraceFile(const std::string& path);

// Hooks for the dispatching adapter operations.
void Opened(const void* handle, Role role);
void Written(const void* handle, const uint8_t* data, std::size_t n);
// A read that returned fewer bytes than asked ends the reply.
void ReadDone(const void* handle, const uint8_t* data, std::size_t got, std::size_t asked);
void Purged(const void* handle);
void Closed(const void* handle);

}  // namespace kestrin::trace
