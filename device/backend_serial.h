// The adapters through the kernel's own USB serial driver (ttyUSB nodes), for
// machines without the vendor library.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "device/ftdi.h"

#if defined(__unix__) || defined(__APPLE__)
#include <termios.h>
#endif

namespace kestrin {

struct SerialBackendPaths {
    std::string sysClassTty = "/sys/class/tty";  // holds ttyUSB*/device links
    std::string dev = "/dev";                    // holds the ttyUSB* nodes
};

// Null where the platform has no such driver.
std::unique_ptr<AdapterBackend> MakeSerialBackend(const SerialBackendPaths& paths = {});

#if defined(__unix__) || defined(__APPLE__)
// Read timeout in tenths of a second for VTIME, rounded up; 0 means a read
// returns at once with whatever is queued.
cc_t ReadTimeoutTenths(ULONG readTimeoutMs);

// The raw line for a DCB, built from the current settings; nothing when the
// DCB asks for what the line cannot do (unknown rate, byte size, parity or
// stop bits).
std::optional<termios> TermiosForDcb(const termios& current, const FTDCB& dcb, ULONG readTimeoutMs);
#endif

}  // namespace kestrin
