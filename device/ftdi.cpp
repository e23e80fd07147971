#include "device/ftdi.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "device/backend_serial.h"
#include "device/trace.h"
#include "sim/sim_backend.h"

namespace kestrin {

namespace {

// Stands in when no backend can be had: no adapters, nothing opens.
class NoBackend : public AdapterBackend {
  public:
    const char* Name() const override { return "none"; }
    FT_STATUS CreateDeviceInfoList(DWORD* numDevs) override {
        if (numDevs) *numDevs = 0;
        return FT_OK;
    }
    FT_STATUS GetDeviceInfoDetail(DWORD, DWORD*, DWORD*, DWORD*, DWORD*, void*, void*,
                                  FT_HANDLE*) override {
        return FT_DEVICE_NOT_FOUND;
    }
    FT_STATUS Open(int, FT_HANDLE*) override { return FT_DEVICE_NOT_FOUND; }
    FT_STATUS OpenEx(void*, DWORD, FT_HANDLE*) override { return FT_DEVICE_NOT_FOUND; }
    BOOL GetCommState(FT_HANDLE, FTDCB*) override { return 0; }
    BOOL SetCommState(FT_HANDLE, FTDCB*) override { return 0; }
    FT_STATUS SetTimeouts(FT_HANDLE, ULONG, ULONG) override { return FT_INVALID_HANDLE; }
    FT_STATUS Read(FT_HANDLE, void*, DWORD, DWORD* got) override {
        if (got) *got = 0;
        return FT_INVALID_HANDLE;
    }
    FT_STATUS Write(FT_HANDLE, void*, DWORD, DWORD* written) override {
        if (written) *written = 0;
        return FT_INVALID_HANDLE;
    }
    FT_STATUS GetStatus(FT_HANDLE, DWORD*, DWORD*, DWORD*) override { return FT_INVALID_HANDLE; }
    FT_STATUS Purge(FT_HANDLE, ULONG) override { return FT_INVALID_HANDLE; }
    FT_STATUS Close(FT_HANDLE) override { return FT_INVALID_HANDLE; }
};

std::unique_ptr<AdapterBackend>& Slot() {
    static std::unique_ptr<AdapterBackend> backend;
    return backend;
}

AdapterBackend& Active() {
    if (!Slot()) SelectAdapterBackendFromEnvironment();
    return *Slot();
}

std::string& Problem() {
    static std::string text;
    return text;
}

std::string NoAdaptersText(const std::string& why) {
    return why + ". Install the FTDI D2XX driver to use the programming shoe and the read cable.";
}

std::unique_ptr<AdapterBackend> Automatic() {
    std::string why;
    if (auto d2xx = MakeD2xxBackend({}, &why)) return d2xx;
    if (auto serial = MakeSerialBackend()) return serial;
    Problem() = NoAdaptersText(why);
    return nullptr;
}

}  // namespace

void SetAdapterBackend(std::unique_ptr<AdapterBackend> backend) {
    Slot() = backend ? std::move(backend) : std::make_unique<NoBackend>();
}

std::string AdapterBackendName() { return Active().Name(); }

std::string AdapterBackendProblem() {
    Active();
    return Problem();
}

std::string AdapterOpenProblem() { return Active().LastOpenProblem(); }

void SelectAdapterBackendFromEnvironment() {
    Problem().clear();
    const char* env = std::getenv("KESTRIN_DEVICE");
    const std::string choice = env ? env : "";
    if (choice == "simulator") {
        sim::Simulator& model = sim::InstallSimulatorBackend();
        // A support person shows each failure by naming it when starting.
        std::string error;
        if (const char* faults = std::getenv("KESTRIN_SIM_FAULTS"))
            if (!sim::ApplyFaultList(faults, model, &error))
                std::fprintf(stderr, "KESTRIN_SIM_FAULTS: %s\n", error.c_str());
        return;
    }
    std::unique_ptr<AdapterBackend> backend;
    if (choice == "serial") {
        backend = MakeSerialBackend();
        if (!backend)
            Problem() =
                "KESTRIN_DEVICE=serial: the kernel serial driver is not used on this system";
    } else if (choice == "d2xx") {
        std::string why;
        backend = MakeD2xxBackend({}, &why);
        if (!backend) Problem() = NoAdaptersText(why);
    } else {
        if (!choice.empty())
            std::fprintf(stderr,
                         "KESTRIN_DEVICE=%s is not one of simulator, serial, d2xx; choosing "
                         "automatically\n",
                         choice.c_str());
        backend = Automatic();
    }
    if (!Problem().empty()) std::fprintf(stderr, "%s\n", Problem().c_str());
    SetAdapterBackend(std::move(backend));
}

}  // namespace kestrin

using kestrin::Active;
namespace trace = kestrin::trace;

FT_STATUS KESTRIN_WINAPI FT_CreateDeviceInfoList(DWORD* numDevs) {
    return Active().CreateDeviceInfoList(numDevs);
}

FT_STATUS KESTRIN_WINAPI FT_GetDeviceInfoDetail(DWORD index, DWORD* flags, DWORD* type, DWORD* id,
                                                DWORD* locId, void* serialNumber, void* description,
                                                FT_HANDLE* handle) {
    return Active().GetDeviceInfoDetail(index, flags, type, id, locId, serialNumber, description,
                                        handle);
}

FT_STATUS KESTRIN_WINAPI FT_Open(int index, FT_HANDLE* handle) {
    const FT_STATUS st = Active().Open(index, handle);
    if (st == FT_OK && handle) trace::Opened(*handle, trace::Role::Shoe);
    return st;
}

FT_STATUS KESTRIN_WINAPI FT_OpenEx(void* arg, DWORD flags, FT_HANDLE* handle) {
    const FT_STATUS st = Active().OpenEx(arg, flags, handle);
    // The program opens only the read cable by description.
    if (st == FT_OK && handle) trace::Opened(*handle, trace::Role::Cable);
    return st;
}

BOOL KESTRIN_WINAPI FT_W32_GetCommState(FT_HANDLE handle, FTDCB* dcb) {
    return Active().GetCommState(handle, dcb);
}

BOOL KESTRIN_WINAPI FT_W32_SetCommState(FT_HANDLE handle, FTDCB* dcb) {
    return Active().SetCommState(handle, dcb);
}

FT_STATUS KESTRIN_WINAPI FT_SetTimeouts(FT_HANDLE handle, ULONG readTimeoutMs,
                                        ULONG writeTimeoutMs) {
    return Active().SetTimeouts(handle, readTimeoutMs, writeTimeoutMs);
}

FT_STATUS KESTRIN_WINAPI FT_Read(FT_HANDLE handle, void* buffer, DWORD toRead, DWORD* got) {
    DWORD n = 0;
    const FT_STATUS st = Active().Read(handle, buffer, toRead, &n);
    if (n > toRead) n = toRead;
    if (got) *got = n;
    trace::ReadDone(handle, static_cast<const uint8_t*>(buffer), n, toRead);
    return st;
}

FT_STATUS KESTRIN_WINAPI FT_Write(FT_HANDLE handle, void* buffer, DWORD toWrite, DWORD* written) {
    DWORD n = 0;
    const FT_STATUS st = Active().Write(handle, buffer, toWrite, &n);
    if (n > toWrite) n = toWrite;
    if (written) *written = n;
    // The bytes that actually left, so a short write shows as such.
    trace::Written(handle, static_cast<const uint8_t*>(buffer), n);
    return st;
}

FT_STATUS KESTRIN_WINAPI FT_GetStatus(FT_HANDLE handle, DWORD* rxQueue, DWORD* txQueue,
                                      DWORD* events) {
    DWORD rx = 0, tx = 0, ev = 0;
    const FT_STATUS st = Active().GetStatus(handle, &rx, &tx, &ev);
    if (rxQueue) *rxQueue = rx;
    if (txQueue) *txQueue = tx;
    if (events) *events = ev;
    return st;
}

FT_STATUS KESTRIN_WINAPI FT_Purge(FT_HANDLE handle, ULONG mask) {
    trace::Purged(handle);
    return Active().Purge(handle, mask);
}

FT_STATUS KESTRIN_WINAPI FT_Close(FT_HANDLE handle) {
    trace::Closed(handle);
    return Active().Close(handle);
}
