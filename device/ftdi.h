// The twelve USB adapter operations the program uses, with the D2XX calling
// shapes. They dispatch to one exchangeable backend (the vendor library, the
// kernel's serial driver or the simulator); callers never learn which.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#if defined(_WIN32) && !defined(_WIN64)
#define KESTRIN_WINAPI __stdcall
#else
#define KESTRIN_WINAPI
#endif

#if defined(_WIN32)
// As the system headers declare them (and may again, identically); no system
// header here, so this header may come before the toolkit's in any file.
using DWORD = unsigned long;
using ULONG = unsigned long;
using WORD = unsigned short;
using BOOL = int;
#else
using DWORD = uint32_t;
using ULONG = uint32_t;
using WORD = uint16_t;
using BOOL = int;
#endif
using FT_HANDLE = void*;
using FT_STATUS = ULONG;

constexpr FT_STATUS FT_OK = 0;
constexpr FT_STATUS FT_INVALID_HANDLE = 1;
constexpr FT_STATUS FT_DEVICE_NOT_FOUND = 2;
constexpr FT_STATUS FT_DEVICE_NOT_OPENED = 3;
constexpr FT_STATUS FT_IO_ERROR = 4;
constexpr FT_STATUS FT_INVALID_PARAMETER = 6;
constexpr FT_STATUS FT_INVALID_BAUD_RATE = 7;
constexpr FT_STATUS FT_OTHER_ERROR = 18;

constexpr DWORD FT_OPEN_BY_SERIAL_NUMBER = 1;
constexpr DWORD FT_OPEN_BY_DESCRIPTION = 2;

constexpr ULONG FT_PURGE_RX = 1;
constexpr ULONG FT_PURGE_TX = 2;

// Sizes of the serial number and description buffers of FT_GetDeviceInfoDetail.
constexpr int kFtSerialLen = 16;
constexpr int kFtDescriptionLen = 64;

// The Win32 line block, byte for byte.
struct FTDCB {
    DWORD DCBlength;
    DWORD BaudRate;
    DWORD Flags;  // fBinary, fParity, the flow-control bits ...
    WORD wReserved;
    WORD XonLim;
    WORD XoffLim;
    uint8_t ByteSize;
    uint8_t Parity;    // 0 none, 1 odd, 2 even, 3 mark, 4 space
    uint8_t StopBits;  // 0 one, 1 one and a half, 2 two
    char XonChar;
    char XoffChar;
    char ErrorChar;
    char EofChar;
    char EvtChar;
    WORD wReserved1;
};
static_assert(sizeof(FTDCB) == 28, "FTDCB is the 28-byte Win32 DCB");

FT_STATUS KESTRIN_WINAPI FT_CreateDeviceInfoList(DWORD* numDevs);
FT_STATUS KESTRIN_WINAPI FT_GetDeviceInfoDetail(DWORD index, DWORD* flags, DWORD* type, DWORD* id,
                                                DWORD* locId, void* serialNumber, void* description,
                                                FT_HANDLE* handle);
FT_STATUS KESTRIN_WINAPI FT_Open(int index, FT_HANDLE* handle);
FT_STATUS KESTRIN_WINAPI FT_OpenEx(void* arg, DWORD flags, FT_HANDLE* handle);
BOOL KESTRIN_WINAPI FT_W32_GetCommState(FT_HANDLE handle, FTDCB* dcb);
BOOL KESTRIN_WINAPI FT_W32_SetCommState(FT_HANDLE handle, FTDCB* dcb);
FT_STATUS KESTRIN_WINAPI FT_SetTimeouts(FT_HANDLE handle, ULONG readTimeoutMs,
                                        ULONG writeTimeoutMs);
FT_STATUS KESTRIN_WINAPI FT_Read(FT_HANDLE handle, void* buffer, DWORD toRead, DWORD* got);
FT_STATUS KESTRIN_WINAPI FT_Write(FT_HANDLE handle, void* buffer, DWORD toWrite, DWORD* written);
FT_STATUS KESTRIN_WINAPI FT_GetStatus(FT_HANDLE handle, DWORD* rxQueue, DWORD* txQueue,
                                      DWORD* events);
FT_STATUS KESTRIN_WINAPI FT_Purge(FT_HANDLE handle, ULONG mask);
FT_STATUS KESTRIN_WINAPI FT_Close(FT_HANDLE handle);

namespace kestrin {

// One implementation of the twelve operations. Handles are the backend's own.
class AdapterBackend {
  public:
    virtual ~AdapterBackend() = default;
    virtual const char* Name() const = 0;

    virtual FT_STATUS CreateDeviceInfoList(DWORD* numDevs) = 0;
    virtual FT_STATUS GetDeviceInfoDetail(DWORD index, DWORD* flags, DWORD* type, DWORD* id,
                                          DWORD* locId, void* serialNumber, void* description,
                                          FT_HANDLE* handle) = 0;
    virtual FT_STATUS Open(int index, FT_HANDLE* handle) = 0;
    virtual FT_STATUS OpenEx(void* arg, DWORD flags, FT_HANDLE* handle) = 0;
    virtual BOOL GetCommState(FT_HANDLE handle, FTDCB* dcb) = 0;
    virtual BOOL SetCommState(FT_HANDLE handle, FTDCB* dcb) = 0;
    virtual FT_STATUS SetTimeouts(FT_HANDLE handle, ULONG readTimeoutMs, ULONG writeTimeoutMs) = 0;
    virtual FT_STATUS Read(FT_HANDLE handle, void* buffer, DWORD toRead, DWORD* got) = 0;
    virtual FT_STATUS Write(FT_HANDLE handle, void* buffer, DWORD toWrite, DWORD* written) = 0;
    virtual FT_STATUS GetStatus(FT_HANDLE handle, DWORD* rxQueue, DWORD* txQueue,
                                DWORD* events) = 0;
    virtual FT_STATUS Purge(FT_HANDLE handle, ULONG mask) = 0;
    virtual FT_STATUS Close(FT_HANDLE handle) = 0;

    // Why the last Open or OpenEx failed, in words a person can act on
    // ("permission denied on /dev/ttyUSB0 ..."); empty when unknown.
    virtual std::string LastOpenProblem() const { return std::string(); }
};

// The active backend's LastOpenProblem.
std::string AdapterOpenProblem();

// Makes the backend active; handles of the previous one become meaningless.
// A null backend leaves the program with no adapters at all.
void SetAdapterBackend(std::unique_ptr<AdapterBackend> backend);

// "d2xx", "serial", "simulator" or "none". Chooses a backend first if none
// has been chosen yet.
std::string AdapterBackendName();

// KESTRIN_DEVICE = "simulator", "serial" or "d2xx" forces a backend; unset,
// the vendor library is used when it loads, else the kernel serial driver
// where the platform has one. The operations call this themselves on first
// use.
void SelectAdapterBackendFromEnvironment();

// Why the chosen backend reaches no adapters (the vendor library missing and
// nothing to fall back on), for the operator; empty when nothing is wrong.
std::string AdapterBackendProblem();

// The vendor library loaded at run time from libraryPath, or when that is
// empty from KESTRIN_D2XX_LIBRARY or the platform's usual names. Null when
// the library or any of the twelve entry points is missing; error then
// names each name tried and why it failed.
std::unique_ptr<AdapterBackend> MakeD2xxBackend(const std::string& libraryPath = {},
                                                std::string* error = nullptr);

}  // namespace kestrin
