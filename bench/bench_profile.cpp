// Opens and saves configuration files as large as the reader takes, shaped
// to be as hard as possible for an INI reader, and prints for each the wall
// time of Open and of Save and the most heap either held at once, as a
// multiple of the file's size. Exits non-zero when a file takes more than
// 0.2 s of processor time or more than 8 times its size.
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <new>
#include <string>

#include "config/config_file.h"
#include "tests/portable.h"

namespace {

// Every allocation carries its size in front, so the heap in use is known
// at every moment.
std::atomic<std::size_t> inUse{0}, peak{0};
constexpr std::size_t kHeader = alignof(std::max_align_t);

void* Allocate(std::size_t n) {
    void* p = std::malloc(n + kHeader);
    if (!p) throw std::bad_alloc();
    *static_cast<std::size_t*>(p) = n;
    const std::size_t now = inUse += n;
    std::size_t seen = peak.load();
    while (now > seen && !peak.compare_exchange_weak(seen, now)) {
    }
    return static_cast<char*>(p) + kHeader;
}

void Release(void* p) {
    if (!p) return;
    char* block = static_cast<char*>(p) - kHeader;
    inUse -= *reinterpret_cast<std::size_t*>(block);
    std::free(block);
}

}  // namespace

void* operator new(std::size_t n) { return Allocate(n); }
void* operator new[](std::size_t n) { return Allocate(n); }
void operator delete(void* p) noexcept { Release(p); }
void operator delete[](void* p) noexcept { Release(p); }
void operator delete(void* p, std::size_t) noexcept { Release(p); }
void operator delete[](void* p, std::size_t) noexcept { Release(p); }

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

constexpr double kMaxSeconds = 0.2;
constexpr double kMaxTimesSize = 8.0;

// Repeats unit up to exactly the reader's cap.
std::string Fill(const std::string& head, const std::string& unit) {
    std::string s = head;
    while (s.size() + unit.size() <= kestrin::kMaxFileBytes) s += unit;
    s.append(kestrin::kMaxFileBytes - s.size(), '\n');
    return s;
}

std::string Numbered(const std::string& head, const std::string& before, const std::string& after) {
    std::string s = head;
    for (unsigned i = 0;; ++i) {
        const std::string line = before + std::to_string(i) + after;
        if (s.size() + line.size() > kestrin::kMaxFileBytes) break;
        s += line;
    }
    s.append(kestrin::kMaxFileBytes - s.size(), '\n');
    return s;
}

double CpuSeconds() {
    timespec t;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

struct Figures {
    double seconds;  // wall time
    double cpu;      // processor time: what the wall time is on an idle machine
    double timesSize;
};

template <typename F>
Figures Measure(std::size_t fileSize, F run) {
    const std::size_t base = inUse.load();
    peak = base;
    const double cpu = CpuSeconds();
    const auto start = Clock::now();
    run();
    const double s = std::chrono::duration<double>(Clock::now() - start).count();
    return {s, CpuSeconds() - cpu,
            static_cast<double>(peak.load() - base) / static_cast<double>(fileSize)};
}

}  // namespace

int main() {
    const fs::path dir = kestrin_test::MakeTempFolder("kestrin-bench");

    std::string fileDefault;
    {
        kestrin::IniProfile p;
        kestrin::WriteFormToProfile(kestrin::StartupForm(), p);
        fileDefault = p.Serialize();
    }
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"[Button] and bare newlines", Fill("", "[Button]\n\n\n")},
        {"bare newlines", Fill("[Button]\n", "\n")},
        {"one-letter keys", Fill("[Button]\n", "k\n")},
        {"distinct keys", Numbered("[Button]\n", "k", "=1\n")},
        {"distinct sections", Numbered("", "[s", "]\n")},
        {"distinct sections with keys", Numbered("", "[s", "]\nType=1\n")},
        {"one long value", Fill("[Button]\nText=", "x") + ""},
        {"configuration and foreign keys", Numbered(fileDefault, "Site", "=Ward 3\r\n")},
    };

    std::printf("%-32s %8s %8s %8s %8s %8s %8s\n", "file (4 MiB)", "open s", "cpu s", "heap x",
                "save s", "cpu s", "heap x");
    bool ok = true;
    for (const auto& c : cases) {
        const std::string path = (dir / "bench.kt9").string();
        std::ofstream(path, std::ios::binary | std::ios::trunc) << c.bytes;
        const std::size_t size = c.bytes.size();

        kestrin::FormSnapshot form = kestrin::StartupForm();
        std::string error;
        const Figures open =
            Measure(size, [&] { kestrin::OpenConfigFile(path, form, true, &error); });
        bool saved = false;
        const Figures save = Measure(
            size, [&] { saved = kestrin::SaveConfigFile(path, kestrin::StartupForm(), &error); });
        std::printf("%-32s %8.3f %8.3f %8.2f %8.3f %8.3f %8.2f%s\n", c.name, open.seconds, open.cpu,
                    open.timesSize, save.seconds, save.cpu, save.timesSize,
                    saved ? "" : "  (save failed)");
        // Judged on processor time, so a busy machine does not fail it.
        ok = ok && saved && open.cpu <= kMaxSeconds && save.cpu <= kMaxSeconds &&
             open.timesSize <= kMaxTimesSize && save.timesSize <= kMaxTimesSize;
    }
    fs::remove_all(dir);
    std::printf("targets (%.1f s, %.0f x file size): %s\n", kMaxSeconds, kMaxTimesSize,
                ok ? "met" : "MISSED");
    return ok ? 0 : 1;
}
