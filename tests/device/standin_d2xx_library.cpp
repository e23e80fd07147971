// A stand-in for the vendor's D2XX library: the twelve entry points with C
// names over two scripted devices, a shoe at index 0 and a read cable at
// index 1, plus a few controls for the tests. Types are declared here, as a
// separately built library would.
#include <cstdint>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

#if defined(_WIN32)
#define EXPORT extern "C" __declspec(dllexport)
#else
#define EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace {

using DWORD = uint32_t;
using FT_STATUS = uint32_t;
using FT_HANDLE = void*;

constexpr FT_STATUS kOk = 0, kInvalidHandle = 1, kNotFound = 2, kNotOpened = 3, kIoError = 4;

struct Dcb {
    DWORD DCBlength, BaudRate, Flags;
    uint16_t wReserved, XonLim, XoffLim;
    uint8_t ByteSize, Parity, StopBits;
    char XonChar, XoffChar, ErrorChar, EofChar, EvtChar;
    uint16_t wReserved1;
};
static_assert(sizeof(Dcb) == 28, "28-byte DCB");

struct Device {
    const char* serial;
    const char* description;
    bool open = false;
    bool unplugged = false;
    Dcb dcb{};
    std::deque<uint8_t> rx;
    std::vector<uint8_t> written;
};

Device devices[2] = {{"FT123456", "USB BASE PROGRAMMER", false, false, {}, {}, {}},
                     {"FTCABLE1", "TTL232R-3V3", false, false, {}, {}, {}}};

Device* FromHandle(FT_HANDLE h) {
    for (Device& d : devices)
        if (h == &d && d.open) return &d;
    return nullptr;
}

FT_STATUS OpenDevice(Device& d, FT_HANDLE* h) {
    if (d.unplugged) return kNotFound;
    if (d.open) return kNotOpened;
    d.open = true;
    d.dcb = Dcb{};
    d.dcb.DCBlength = sizeof(Dcb);
    d.dcb.BaudRate = 9600;
    d.dcb.ByteSize = 7;
    d.dcb.Parity = 2;
    *h = &d;
    return kOk;
}

}  // namespace

EXPORT FT_STATUS FT_CreateDeviceInfoList(DWORD* n) {
    *n = 0;
    for (const Device& d : devices) *n += d.unplugged ? 0 : 1;
    return kOk;
}

EXPORT FT_STATUS FT_GetDeviceInfoDetail(DWORD index, DWORD* flags, DWORD* type, DWORD* id,
                                        DWORD* locId, void* serial, void* desc, FT_HANDLE* h) {
    if (index >= 2 || devices[index].unplugged) return kNotFound;
    Device& d = devices[index];
    *flags = d.open ? 1 : 0;
    *type = 5;
    *id = 0x04036001;
    *locId = 0x11 + index;
    std::strcpy(static_cast<char*>(serial), d.serial);
    std::strcpy(static_cast<char*>(desc), d.description);
    *h = d.open ? &d : nullptr;
    return kOk;
}

EXPORT FT_STATUS FT_Open(int index, FT_HANDLE* h) {
    if (index < 0 || index >= 2) return kNotFound;
    return OpenDevice(devices[index], h);
}

EXPORT FT_STATUS FT_OpenEx(void* arg, DWORD flags, FT_HANDLE* h) {
    for (Device& d : devices) {
        const char* key = flags == 2 ? d.description : d.serial;
        if (std::strcmp(key, static_cast<const char*>(arg)) == 0) return OpenDevice(d, h);
    }
    return kNotFound;
}

EXPORT int FT_W32_GetCommState(FT_HANDLE h, Dcb* dcb) {
    Device* d = FromHandle(h);
    if (!d || d->unplugged) return 0;
    *dcb = d->dcb;
    return 1;
}

EXPORT int FT_W32_SetCommState(FT_HANDLE h, Dcb* dcb) {
    Device* d = FromHandle(h);
    if (!d || d->unplugged) return 0;
    d->dcb = *dcb;
    return 1;
}

EXPORT FT_STATUS FT_SetTimeouts(FT_HANDLE h, DWORD, DWORD) {
    return FromHandle(h) ? kOk : kInvalidHandle;
}

EXPORT FT_STATUS FT_Read(FT_HANDLE h, void* buf, DWORD n, DWORD* got) {
    *got = 0;
    Device* d = FromHandle(h);
    if (!d) return kInvalidHandle;
    if (d->unplugged) return kIoError;
    auto* out = static_cast<uint8_t*>(buf);
    while (*got < n && !d->rx.empty()) {
        out[(*got)++] = d->rx.front();
        d->rx.pop_front();
    }
    return kOk;
}

// The shoe answers its version query; everything written is kept.
EXPORT FT_STATUS FT_Write(FT_HANDLE h, void* buf, DWORD n, DWORD* written) {
    *written = 0;
    Device* d = FromHandle(h);
    if (!d) return kInvalidHandle;
    if (d->unplugged) return kIoError;
    const auto* in = static_cast<const uint8_t*>(buf);
    d->written.assign(in, in + n);
    *written = n;
    const std::vector<uint8_t> query = {0x01, 0x31, 0x02, 0x03};
    if (d == &devices[0] && d->written == query) {
        const std::string reply = "STAND-IN SHOE  9.99\r\n";
        d->rx.insert(d->rx.end(), reply.begin(), reply.end());
    }
    return kOk;
}

EXPORT FT_STATUS FT_GetStatus(FT_HANDLE h, DWORD* rx, DWORD* tx, DWORD* events) {
    Device* d = FromHandle(h);
    if (!d) return kInvalidHandle;
    if (d->unplugged) return kIoError;
    *rx = static_cast<DWORD>(d->rx.size());
    *tx = 0;
    *events = 0;
    return kOk;
}

#ifndef STANDIN_WITHOUT_PURGE
EXPORT FT_STATUS FT_Purge(FT_HANDLE h, DWORD mask) {
    Device* d = FromHandle(h);
    if (!d) return kInvalidHandle;
    if (mask & 1) d->rx.clear();
    return kOk;
}
#endif

EXPORT FT_STATUS FT_Close(FT_HANDLE h) {
    Device* d = FromHandle(h);
    if (!d) return kInvalidHandle;
    d->open = false;
    return kOk;
}

// --- controls for the tests ----------------------------------------------

EXPORT void Standin_Reset() {
    for (Device& d : devices) {
        d.open = false;
        d.unplugged = false;
        d.rx.clear();
        d.written.clear();
    }
}

EXPORT void Standin_Unplug(int index) { devices[index].unplugged = true; }

EXPORT uint32_t Standin_Baud(int index) { return devices[index].dcb.BaudRate; }

EXPORT uint32_t Standin_Written(int index, uint8_t* out, uint32_t cap) {
    const std::vector<uint8_t>& w = devices[index].written;
    const uint32_t n = static_cast<uint32_t>(w.size() < cap ? w.size() : cap);
    std::memcpy(out, w.data(), n);
    return n;
}
