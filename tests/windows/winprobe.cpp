// Looks at the windows of a running program from outside, for the scripts
// that drive it under Wine with real X input:
//   winprobe rect TITLE CHILD   screen rectangle and enabled state of the
//                               child whose text or class is CHILD
//   winprobe texts TITLE        the texts of the window and its children
//   winprobe classes TITLE      the class and text of every child
//   winprobe tab TITLE CLASS N  screen rectangle of tab N of the first
//                               visible tab control of that class
//   winprobe close TITLE        asks the window to close
// TITLE is part of a visible top-level window's title. Exit status 1 when
// no such window is found.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr UINT kTabGetItemRect = 0x1300 + 10;  // TCM_GETITEMRECT

std::string TextOf(HWND w) {
    char buf[1024];
    GetWindowTextA(w, buf, sizeof buf);
    return buf;
}

std::string ClassOf(HWND w) {
    char buf[256];
    GetClassNameA(w, buf, sizeof buf);
    return buf;
}

HWND FindTop(const char* title) {
    struct Search {
        const char* title;
        HWND found;
    } s{title, nullptr};
    EnumWindows(
        [](HWND w, LPARAM p) -> BOOL {
            auto* s = reinterpret_cast<Search*>(p);
            if (!IsWindowVisible(w) || TextOf(w).find(s->title) == std::string::npos) return TRUE;
            s->found = w;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&s));
    return s.found;
}

std::vector<HWND> Children(HWND top) {
    std::vector<HWND> out;
    EnumChildWindows(
        top,
        [](HWND w, LPARAM p) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(p)->push_back(w);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&out));
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(
            stderr,
            "usage: winprobe rect TITLE CHILD | texts TITLE | classes TITLE | close TITLE\n");
        return 2;
    }
    const std::string cmd = argv[1];
    HWND top = FindTop(argv[2]);
    if (!top) return 1;
    if (cmd == "close") {
        PostMessageA(top, WM_CLOSE, 0, 0);
        return 0;
    }
    if (cmd == "texts" || cmd == "classes") {
        std::printf("%s\n", TextOf(top).c_str());
        for (HWND w : Children(top)) {
            const std::string t = TextOf(w);
            if (cmd == "classes") {
                std::printf("%s %s\n", ClassOf(w).c_str(), t.c_str());
            } else if (!t.empty()) {
                std::printf("%s\n", t.c_str());
            }
        }
        return 0;
    }
    if (cmd == "tab" && argc >= 5) {
        for (HWND w : Children(top)) {
            if (!IsWindowVisible(w) || ClassOf(w) != argv[3]) continue;
            // The rectangle is filled in the program's own memory.
            DWORD pid = 0;
            GetWindowThreadProcessId(w, &pid);
            HANDLE proc =
                OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
            if (!proc) return 1;
            void* remote = VirtualAllocEx(proc, nullptr, sizeof(RECT), MEM_COMMIT, PAGE_READWRITE);
            RECT r{};
            SIZE_T n = 0;
            const bool ok = remote &&
                            SendMessageA(w, kTabGetItemRect, std::atoi(argv[4]),
                                         reinterpret_cast<LPARAM>(remote)) &&
                            ReadProcessMemory(proc, remote, &r, sizeof r, &n) && n == sizeof r;
            if (remote) VirtualFreeEx(proc, remote, 0, MEM_RELEASE);
            CloseHandle(proc);
            if (!ok) return 1;
            POINT corner{r.left, r.top};
            ClientToScreen(w, &corner);
            std::printf("%ld %ld %ld %ld\n", corner.x, corner.y, r.right - r.left,
                        r.bottom - r.top);
            return 0;
        }
        return 1;
    }
    if (cmd == "rect" && argc >= 4) {
        for (HWND w : Children(top)) {
            if (!IsWindowVisible(w)) continue;
            if (TextOf(w) != argv[3] && ClassOf(w) != argv[3]) continue;
            RECT r;
            GetWindowRect(w, &r);
            std::printf("%ld %ld %ld %ld %d\n", r.left, r.top, r.right - r.left, r.bottom - r.top,
                        IsWindowEnabled(w) ? 1 : 0);
            return 0;
        }
        return 1;
    }
    std::fprintf(stderr, "winprobe: unknown command %s\n", cmd.c_str());
    return 2;
}
