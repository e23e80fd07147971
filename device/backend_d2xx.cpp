// The vendor's D2XX library, loaded at run time so the program builds and
// runs without it.
#include <cstdlib>
#include <string>
#include <vector>

#include "device/ftdi.h"
#include "device/shared_library.h"

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

template <typename Fn>
bool Resolve(const SharedLibrary& lib, const char* name, Fn& out, const char** missing) {
    out = reinterpret_cast<Fn>(lib.Symbol(name));
    if (!out) *missing = name;
    return out != nullptr;
}

// The name of the first entry point the library lacks, or null.
const char* ResolveAll(const SharedLibrary& lib, Entries& e) {
    const char* missing = nullptr;
    Resolve(lib, "FT_CreateDeviceInfoList", e.createDeviceInfoList, &missing) &&
        Resolve(lib, "FT_GetDeviceInfoDetail", e.getDeviceInfoDetail, &missing) &&
        Resolve(lib, "FT_Open", e.open, &missing) &&
        Resolve(lib, "FT_OpenEx", e.openEx, &missing) &&
        Resolve(lib, "FT_W32_GetCommState", e.getCommState, &missing) &&
        Resolve(lib, "FT_W32_SetCommState", e.setCommState, &missing) &&
        Resolve(lib, "FT_SetTimeouts", e.setTimeouts, &missing) &&
        Resolve(lib, "FT_Read", e.read, &missing) && Resolve(lib, "FT_Write", e.write, &missing) &&
        Resolve(lib, "FT_GetStatus", e.getStatus, &missing) &&
        Resolve(lib, "FT_Purge", e.purge, &missing) && Resolve(lib, "FT_Close", e.close, &missing);
    return missing;
}

class D2xxBackend : public AdapterBackend {
  public:
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
    FT_STATUS Open(int index, FT_HANDLE* handle) override { return Opened(e_.open(index, handle)); }
    FT_STATUS OpenEx(void* arg, DWORD flags, FT_HANDLE* handle) override {
        return Opened(e_.openEx(arg, flags, handle));
    }
    std::string LastOpenProblem() const override { return lastProblem_; }
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
    // The driver says only "not opened"; these are the two causes seen in
    // the field.
    FT_STATUS Opened(FT_STATUS status) {
        lastProblem_ = status == FT_DEVICE_NOT_OPENED
                           ? "it could not be opened: another program holds it, or on Linux the "
                             "kernel's ftdi_sio driver has it (sudo rmmod ftdi_sio)"
                           : std::string();
        return status;
    }

    Entries e_;
    std::string lastProblem_;
};

}  // namespace

std::unique_ptr<AdapterBackend> MakeD2xxBackend(const std::string& libraryPath,
                                                std::string* error) {
    std::vector<std::string> candidates;
    if (!libraryPath.empty()) {
        candidates.push_back(libraryPath);
    } else if (const char* env = std::getenv("KESTRIN_D2XX_LIBRARY"); env && *env) {
        candidates.push_back(env);
    } else {
        candidates = DefaultD2xxLibraryNames();
    }
    std::string why;
    for (const std::string& path : candidates) {
        std::string loadError;
        std::unique_ptr<SharedLibrary> lib = SharedLibrary::Load(path, &loadError);
        if (!why.empty()) why += "; ";
        if (!lib) {
            why += "\"" + path + "\": " + loadError;
            continue;
        }
        Entries e{};
        if (const char* missing = ResolveAll(*lib, e)) {
            // Not the library we want: let it go and try the next name.
            why += "\"" + path + "\" has no entry point " + missing;
            continue;
        }
        // The library stays loaded for the life of the process, past static
        // destruction too: it may run threads of its own, and unloading under
        // them is not safe.
        static auto* kept = new std::vector<std::unique_ptr<SharedLibrary>>;
        kept->push_back(std::move(lib));
        return std::make_unique<D2xxBackend>(e);
    }
    if (error) *error = "The FTDI D2XX driver library could not be loaded (" + why + ")";
    return nullptr;
}

}  // namespace kestrin
