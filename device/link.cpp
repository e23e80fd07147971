#include "device/link.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

namespace kestrin {

namespace {
void Sleep(int ms) {
    if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

PauseFunction& PauseSlot() {
    static PauseFunction pause = Sleep;
    return pause;
}

std::string TextUpToNul(const Bytes& bytes) {
    std::string text(bytes.begin(), bytes.end());
    const std::size_t nul = text.find('\0');
    return nul == std::string::npos ? text : text.substr(0, nul);
}
}  // namespace

void SetPause(PauseFunction pause) { PauseSlot() = pause ? std::move(pause) : Sleep; }
void Pause(int ms) { PauseSlot()(ms); }

bool WriteAll(FT_HANDLE handle, const Bytes& bytes) {
    DWORD written = 0;
    Bytes copy = bytes;  // the call takes a non-const buffer
    const FT_STATUS status =
        FT_Write(handle, copy.data(), static_cast<DWORD>(copy.size()), &written);
    return status == FT_OK && written == copy.size();
}

Bytes ReadReply(FT_HANDLE handle, std::size_t capacity, int silenceMs, int sliceMs) {
    using Clock = std::chrono::steady_clock;
    using std::chrono::microseconds;
    using std::chrono::milliseconds;
    int timeoutMs = sliceMs;
    FT_SetTimeouts(handle, static_cast<ULONG>(timeoutMs), 0);
    Bytes reply;
    // A line that never falls silent must not hold the program: past a few
    // buffers' worth of bytes the reply is over, whatever still arrives.
    const std::size_t limit = 4 * capacity + 256;
    std::size_t received = 0;
    const microseconds silence = milliseconds(silenceMs);
    microseconds silent(0);
    while (silent < silence && received < limit) {
        // The last slice is only as long as the silence still missing, so a
        // reply ends when its silence has passed, not up to a slice later.
        const int left =
            static_cast<int>(std::chrono::ceil<milliseconds>(silence - silent).count());
        const int slice = std::min(sliceMs, left);
        if (slice != timeoutMs) {
            timeoutMs = slice;
            FT_SetTimeouts(handle, static_cast<ULONG>(timeoutMs), 0);
        }
        uint8_t byte = 0;
        DWORD got = 0;
        const auto start = Clock::now();
        if (FT_Read(handle, &byte, 1, &got) != FT_OK) break;  // the adapter has gone
        if (got == 1) {
            if (reply.size() < capacity) reply.push_back(byte);
            if (++received % 64 == 0) Pause(0);  // keep the window painted
            silent = microseconds(0);
            continue;
        }
        const int took = static_cast<int>(
            std::chrono::duration_cast<milliseconds>(Clock::now() - start).count());
        Pause(took < slice ? slice - took : 0);
        // Real time counts where it is the longer: a driver may round the
        // timeout up, and every sleep ends a little late. A replaced pause
        // takes no time, so the slice itself counts then.
        silent += std::max<microseconds>(
            milliseconds(slice), std::chrono::duration_cast<microseconds>(Clock::now() - start));
    }
    return reply;
}

void SetLine(FT_HANDLE handle, DWORD baudRate) {
    FTDCB dcb{};
    FT_W32_GetCommState(handle, &dcb);
    dcb.BaudRate = baudRate;
    dcb.ByteSize = 8;
    dcb.Parity = 0;
    dcb.StopBits = 0;
    FT_W32_SetCommState(handle, &dcb);
}

bool IsProgrammingShoe(const std::string& serial, const std::string& description) {
    return (serial == "KR123456" && description == "FT232R USB UART") ||
           (serial == "FT123456" && description == "USB BASE PROGRAMMER");
}

const Bytes kVersionQuery = {SOH, 0x31, STX, ETX};

std::string ShoeVersionText(const Bytes& reply) {
    const std::string text = TextUpToNul(reply);
    return text.size() > 15 ? text.substr(15, 4) : std::string();
}

std::string InfoText(const Bytes& reply) {
    Bytes copy = reply;
    if (!copy.empty()) copy[0] = ' ';
    const std::string text = TextUpToNul(copy);
    if (text.size() <= 7) return std::string();
    // Up to twelve characters, dropping the last five would leave nothing.
    if (text.size() <= 12) return text.substr(7);
    return text.substr(7, text.size() - 12);
}

}  // namespace kestrin
