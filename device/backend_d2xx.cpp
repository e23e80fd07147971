// The vendor's D2XX library, loaded at run time so the program builds and
// runs without it.
#include <cstdlib>
#include <string>
#include <vector>

#include "device/ftdi.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace kestrin {

namespace {

using CreateDeviceInfoListFn = FT_STATUS(KESTRIN_WINAPI*)(DWORD*);
using GetDeviceInfoDetailFn = FT_STATUS(KESTRIN_WINAPI*)(DWORD, DWORD*, DWORD*, DWORD*, DWORD*,
                                                         void*, void*, FT_HANDLE*);
using OpenFn = FT_STATUS(KESTRIN_WINAPI*)(int, FT_HANDLE*);
using OpenExFn = FT_STATUS(KESTRIN_WINAPI*)(void*, DWORD, FT_HANDLE*);
using CommStateFn = BOOL(KESTRIN_WINAPI*)(FT_HANDLE, FTDCB*);
using SetTimeoutsFn = FT_STATUS(KESTRIN_WINAPI*)(FT_HANDLE, ULONG, ULONG);
using ReadWriteFn = FT_STATUS(KESTRIN_WINAPI*)(FT_HANDLE, void*, DWORD, DWORD*);
using GetStatusFn = FT_STATUS(KESTRIN_WINAPI*)(FT_HANDLE, DWORD*, DWORD*, DWORD*);
using PurgeFn = FT_STATUS(KESTRIN_WINAPI*)(FT_HANDLE, ULONG);
using CloseFn = FT_STATUS(KESTRIN_WINAPI*)(FT_HANDLE);

struct Entries {
    CreateDeviceInfoListFn createDeviceInfoList;
    GetDeviceInfoDetailFn getDeviceInfoDetail;
    OpenFn open;
    OpenExFn openEx;
    CommStateFn getCommState;
    CommStateFn setCommState;
    SetTimeoutsFn setTimeouts;
    ReadWriteFn read;
    ReadWriteFn write;
    GetStatusFn getStatus;
    PurgeFn purge;
    CloseFn close;
};

#if defined(_WIN32)
using LibHandle = HMODULE;
LibHandle LoadLib(const std::string& path) { return LoadLibraryA(path.c_str()); }
void* Symbol(LibHandle lib, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(lib, name));
}
void UnloadLib(LibHandle lib) { FreeLibrary(lib); }
#else
using LibHandle = void*;
LibHandle LoadLib(const std::string& path) { return dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL); }
void* Symbol(LibHandle lib, const char* name) { return dlsym(lib, name); }
void UnloadLib(LibHandle lib) { dlclose(lib); }
#endif

std::vector<std::string> DefaultNames() {
#if defined(_WIN32)
    return {"ftd2xx.dll"};
#elif defined(__APPLE__)
    return {"libftd2xx.dylib", "/usr/local/lib/libftd2xx.dylib"};
#else
    return {"libftd2xx.so", "libftd2xx.so.1", "/usr/local/lib/libftd2xx.so",
            "/usr/local/lib/libftd2xx.so.1"};
#endif
}

template <typename Fn>
bool Resolve(LibHandle lib, const char* name, Fn& out) {
    out = reinterpret_cast<Fn>(Symbol(lib, name));
    return out != nullptr;
}

bool ResolveAll(LibHandle lib, Entries& e) {
    return Resolve(lib, "FT_CreateDeviceInfoList", e.createDeviceInfoList) &&
           Resolve(lib, "FT_GetDeviceInfoDetail", e.getDeviceInfoDetail) &&
           Resolve(lib, "FT_Open", e.open) && Resolve(lib, "FT_OpenEx", e.openEx) &&
           Resolve(lib, "FT_W32_GetCommState", e.getCommState) &&
           Resolve(lib, "FT_W32_SetCommState", e.setCommState) &&
           Resolve(lib, "FT_SetTimeouts", e.setTimeouts) && Resolve(lib, "FT_Read", e.read) &&
           Resolve(lib, "FT_Write", e.write) && Resolve(lib, "FT_GetStatus", e.getStatus) &&
           Resolve(lib, "FT_Purge", e.purge) && Resolve(lib, "FT_Close", e.close);
}

class D2xxBackend : public AdapterBackend {
  public:
    // The library stays loaded for the life of the process: it may run
    // threads of its own, and unloading under them is not safe.
    explicit D2xxBackend(const Entries& e) : e_(e) {}

    const char* Name() const override { return "d2xx"; }
    FT_STATUS CreateDeviceInfoList(DWORD* numDevs) override {
        return e_.createDeviceInfoList(numDevs);
    }
    FT_STATUS GetDeviceInfoDetail(DWORD index, DWORD* flags, DWORD* type, DWORD* id, DWORD* locId,
                                  void* serialNumber, void* description,
                                  FT_HANDLE* handle) override {
        return e_.getDeviceInfoDetail(index, flags, type, id, locId, serialNumber, description,
                                      handle);
    }
    FT_STATUS Open(int index, FT_HANDLE* handle) override { return e_.open(index, handle); }
    FT_STATUS OpenEx(void* arg, DWORD flags, FT_HANDLE* handle) override {
        return e_.openEx(arg, flags, handle);
    }
    BOOL GetCommState(FT_HANDLE handle, FTDCB* dcb) override {
        return e_.getCommState(handle, dcb);
    }
    BOOL SetCommState(FT_HANDLE handle, FTDCB* dcb) override {
        return e_.setCommState(handle, dcb);
    }
    FT_STATUS SetTimeouts(FT_HANDLE handle, ULONG readMs, ULONG writeMs) override {
        return e_.setTimeouts(handle, readMs, writeMs);
    }
    FT_STATUS Read(FT_HANDLE handle, void* buffer, DWORD toRead, DWORD* got) override {
        return e_.read(handle, buffer, toRead, got);
    }
    FT_STATUS Write(FT_HANDLE handle, void* buffer, DWORD toWrite, DWORD* written) override {
        return e_.write(handle, buffer, toWrite, written);
    }
    FT_STATUS GetStatus(FT_HANDLE handle, DWORD* rx, DWORD* tx, DWORD* events) override {
        return e_.getStatus(handle, rx, tx, events);
    }
    FT_STATUS Purge(FT_HANDLE handle, ULONG mask) override { return e_.purge(handle, mask); }
    FT_STATUS Close(FT_HANDLE handle) override { return e_.close(handle); }

  private:
    Entries e_;
};

}  // namespace

std::unique_ptr<AdapterBackend> MakeD2xxBackend(const std::string& libraryPath) {
    std::vector<std::string> candidates;
    if (!libraryPath.empty()) {
        candidates.push_back(libraryPath);
    } else if (const char* env = std::getenv("KESTRIN_D2XX_LIBRARY"); env && *env) {
        candidates.push_back(env);
    } else {
        candidates = DefaultNames();
    }
    for (const std::string& path : candidates) {
        LibHandle lib = LoadLib(path);
        if (!lib) continue;
        Entries e{};
        if (ResolveAll(lib, e)) return std::make_unique<D2xxBackend>(e);
        // Not the library we want: let it go and try the next name.
        UnloadLib(lib);
    }
    return nullptr;
}

}  // namespace kestrin
