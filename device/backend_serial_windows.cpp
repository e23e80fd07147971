#include "device/backend_serial.h"

namespace kestrin {

// Windows reaches the adapters through the vendor's driver only.
std::unique_ptr<AdapterBackend> MakeSerialBackend(const SerialBackendPaths&) { return nullptr; }

}  // namespace kestrin
