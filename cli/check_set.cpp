// check and set: what Open would change in a file, and changing its keys.
#include "cli/cli.h"

namespace kestrin::cli {

int Check(const Args&) {
    Error("kestrin-cli check: not built yet");
    return kError;
}

int Set(const Args&) {
    Error("kestrin-cli set: not built yet");
    return kError;
}

}  // namespace kestrin::cli
