#include "device/trace.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>
#include <vector>

namespace kestrin::trace {

namespace {

using Clock = std::chrono::steady_clock;

struct Pending {
    Role role;
    std::vector<uint8_t> rx;
};

struct State {
    std::mutex mutex;
    bool configured = false;
    std::FILE* file = nullptr;
    Clock::time_point start = Clock::now();
    std::map<const void*, Pending> handles;
};

State& TheState() {
    static State state;
    return state;
}

// The first use picks up KESTRIN_TRACE; SetTraceFile overrides it.
void ConfigureLocked(State& s) {
    if (s.configured) return;
    s.configured = true;
    const char* path = std::getenv("KESTRIN_TRACE");
    if (path && *path) {
        s.file = std::fopen(path, "a");
        if (!s.file) std::fprintf(stderr, "KESTRIN_TRACE: cannot open %s for appending\n", path);
    }
}

void EmitLocked(State& s, Role role, bool tx, const uint8_t* data, std::size_t n) {
    if (!s.file) return;
    const double seconds = std::chrono::duration<double>(Clock::now() - s.start).count();
    const std::string line = FormatLine(seconds, role, tx, data, n);
    std::fprintf(s.file, "%s\n", line.c_str());
    // Flushed line by line so a crash or a kill still leaves the trace usable.
    std::fflush(s.file);
}

void FlushRxLocked(State& s, Pending& p) {
    if (p.rx.empty()) return;
    EmitLocked(s, p.role, false, p.rx.data(), p.rx.size());
    p.rx.clear();
}

template <typename F>
void WithHandle(const void* handle, F&& f) {
    State& s = TheState();
    std::lock_guard<std::mutex> lock(s.mutex);
    ConfigureLocked(s);
    if (!s.file) return;
    auto it = s.handles.find(handle);
    if (it == s.handles.end()) return;
    f(s, it);
}

}  // namespace

std::string FormatLine(double seconds, Role role, bool tx, const uint8_t* data, std::size_t n) {
    char head[48];
    std::snprintf(head, sizeof head, "%.3f %s %s", seconds, role == Role::Shoe ? "shoe" : "cable",
                  tx ? "tx" : "rx");
    std::string line = head;
    static const char kHex[] = "0123456789ABCDEF";
    for (std::size_t i = 0; i < n; ++i) {
        line += ' ';
        line += kHex[data[i] >> 4];
        line += kHex[data[i] & 0x0F];
    }
    return line;
}

bool SetTraceFile(const std::string& path) {
    State& s = TheState();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.configured = true;
    if (s.file) std::fclose(s.file);
    s.file = nullptr;
    for (auto& h : s.handles) h.second.rx.clear();
    if (path.empty()) return true;
    s.file = std::fopen(path.c_str(), "a");
    return s.file != nullptr;
}

void Opened(const void* handle, Role role) {
    State& s = TheState();
    std::lock_guard<std::mutex> lock(s.mutex);
    ConfigureLocked(s);
    // Remembered even while tracing is off, so a trace switched on later
    // still knows which handle is which.
    s.handles[handle] = Pending{role, {}};
}

void Written(const void* handle, const uint8_t* data, std::size_t n) {
    WithHandle(handle, [&](State& s, auto it) {
        FlushRxLocked(s, it->second);
        EmitLocked(s, it->second.role, true, data, n);
    });
}

void ReadDone(const void* handle, const uint8_t* data, std::size_t got, std::size_t asked) {
    WithHandle(handle, [&](State& s, auto it) {
        it->second.rx.insert(it->second.rx.end(), data, data + got);
        if (got < asked) FlushRxLocked(s, it->second);
    });
}

void Purged(const void* handle) {
    WithHandle(handle, [&](State& s, auto it) { FlushRxLocked(s, it->second); });
}

void Closed(const void* handle) {
    State& s = TheState();
    std::lock_guard<std::mutex> lock(s.mutex);
    auto it = s.handles.find(handle);
    if (it == s.handles.end()) return;
    FlushRxLocked(s, it->second);
    s.handles.erase(it);
}

}  // namespace kestrin::trace
