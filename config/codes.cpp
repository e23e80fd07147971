#include "config/codes.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <limits>

namespace kestrin {

namespace {

template <typename T, std::size_t N>
T CodeAt(const std::array<T, N>& table, int index) {
    return index >= 0 && index < static_cast<int>(N) ? table[index] : table[0];
}

template <typename T, std::size_t N>
int IndexOf(const std::array<T, N>& table, int code) {
    for (std::size_t i = 0; i < N; ++i)
        if (static_cast<int>(table[i]) == code) return static_cast<int>(i);
    return 0;
}

// Device fields are 16 bits; a value beyond them is held at the limit rather
// than wrapped (and converting an out-of-range double would be undefined).
uint16_t TruncToU16(double v) {
    if (!(v > 0)) return 0;
    if (v >= 65535.0) return 65535;
    return static_cast<uint16_t>(v);
}

int RoundToInt(double v) { return static_cast<int>(std::lround(v)); }

}  // namespace

char TypeCode(int index) { return CodeAt(kTypeCodes, index); }
int TypeIndex(uint8_t code) { return IndexOf(kTypeCodes, code); }
char SpeedCode(int index) { return CodeAt(kSpeedCodes, index); }
int SpeedIndex(uint8_t code) { return IndexOf(kSpeedCodes, code); }
char ToneCode(int index) { return CodeAt(kToneCodes, index); }
int ToneIndex(uint8_t code) { return IndexOf(kToneCodes, code); }

int RepeatSeconds(int index) { return CodeAt(kRepeatSeconds, index); }
int RepeatIndexFromSeconds(int s) { return IndexOf(kRepeatSeconds, s); }

uint16_t SecondsToTicks(int s) { return TruncToU16((1000.0 * s - 566.25) / 17.0); }

int TicksToSeconds(uint16_t ticks) { return RoundToInt((17.0 * ticks + 566.25) / 1000.0); }

uint16_t RepeatTicks(int index) { return SecondsToTicks(RepeatSeconds(index)); }

int RepeatIndexFromTicks(uint16_t ticks) { return RepeatIndexFromSeconds(TicksToSeconds(ticks)); }

std::optional<uint8_t> FallRepeatCode(int index) {
    if (index < 0 || index >= static_cast<int>(kFallRepeatCodes.size())) return std::nullopt;
    return kFallRepeatCodes[index];
}

int FallRepeatIndex(uint8_t code) { return IndexOf(kFallRepeatCodes, code); }

uint16_t TestCallTicks(int hours, int minutes, int seconds) {
    const long total = 3600L * hours + 60L * minutes + seconds;
    return TruncToU16(total / 4.2209);
}

char ModeDigit(int index) {
    return static_cast<char>('0' + (index >= 0 && index <= 2 ? index : 0));
}

int ModeIndex(uint8_t imageValue) { return imageValue <= 2 ? imageValue : 0; }

uint16_t ThresholdValue(int position) {
    const double g64 = position / 100.0 * 64.0;
    return TruncToU16(g64 * g64);
}

int ThresholdPosition(uint16_t value) { return RoundToInt(std::sqrt(value) * 100.0 / 64.0); }

uint16_t AngleValue(int position) { return TruncToU16(std::round(position / 100.0 * 64.0)); }

int AnglePosition(uint16_t value) { return RoundToInt(value / 64.0 * 100.0); }

int DurationFactor(SliderId slider) {
    switch (slider) {
        case kSliderFreeFallTime:
        case kSliderShockTime:
            return 2;
        case kSliderFreeFallTimeout:
        case kSliderShockTimeout:
        case kSliderStabilityTime:
        case kSliderStabilityTimeout:
            return 4;
        default:
            return 1;
    }
}

uint16_t DurationValue(SliderId slider, int position) {
    return TruncToU16(static_cast<double>(position) * DurationFactor(slider));
}

int DurationPosition(SliderId slider, uint16_t value) { return value / DurationFactor(slider); }

std::optional<int32_t> ParseCapCode(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    const std::size_t firstDigit = i;
    // One past the int32 range in magnitude is enough to know the value is out.
    constexpr int64_t kLimit = int64_t{std::numeric_limits<int32_t>::max()} + 1;
    int64_t magnitude = 0;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
        magnitude = magnitude * 10 + (text[i++] - '0');
        if (magnitude > kLimit) return std::nullopt;
    }
    if (i == firstDigit) return std::nullopt;
    const int64_t value = negative ? -magnitude : magnitude;
    if (value > std::numeric_limits<int32_t>::max()) return std::nullopt;
    return static_cast<int32_t>(value);
}

bool CapCodeAccepted(int32_t code) {
    return (code >= 0 && code <= 2007663) || (code >= 2007672 && code <= 2045055) ||
           (code >= 2045064 && code <= 2097151);
}

bool AllCapCodesAccepted(const FormSnapshot& form) {
    for (const MessageForm& m : form.msg) {
        const std::optional<int32_t> code = ParseCapCode(m.id);
        if (!code || !CapCodeAccepted(*code)) return false;
    }
    return true;
}

std::string CapCodeField(const std::string& typed) {
    const std::optional<int32_t> code = ParseCapCode(typed);
    if (!code || *code < 0 || *code > 9999999) return "0000000";
    char digits[8];
    std::snprintf(digits, sizeof digits, "%07d", static_cast<int>(*code));
    return digits;
}

}  // namespace kestrin
