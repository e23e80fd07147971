// Value codes shared by the form, the working record and the device image,
// each in both directions, and the Cap Code parse used before programming.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "config/form.h"

namespace kestrin {

// Message type, speed and tone. An index outside a table encodes as its first
// entry; a byte that is not in a table decodes to index 0.
constexpr std::array<char, 2> kTypeCodes = {'A', 'N'};
constexpr std::array<char, 3> kSpeedCodes = {'N', 'F', 'V'};  // 512, 1200, 2400 baud
constexpr std::array<char, 4> kToneCodes = {'A', 'B', 'C', 'D'};

char TypeCode(int index);
int TypeIndex(uint8_t code);
char SpeedCode(int index);
int SpeedIndex(uint8_t code);
char ToneCode(int index);
int ToneIndex(uint8_t code);

// Repeat interval: choice index <-> seconds <-> device ticks.
constexpr std::array<int, 6> kRepeatSeconds = {5, 10, 20, 30, 45, 60};
constexpr std::array<uint16_t, 6> kRepeatTicks = {260, 554, 1143, 1731, 2613, 3496};

int RepeatSeconds(int index);        // out of range -> 5
int RepeatIndexFromSeconds(int s);   // not a choice -> 0
uint16_t SecondsToTicks(int s);      // (1000 s - 566.25) / 17, truncated
int TicksToSeconds(uint16_t ticks);  // (17 t + 566.25) / 1000, rounded
uint16_t RepeatTicks(int index);     // SecondsToTicks(RepeatSeconds(index))
int RepeatIndexFromTicks(uint16_t ticks);

// Fall repeat count: number of transmissions, 255 for without end.
constexpr std::array<uint8_t, 9> kFallRepeatCodes = {1, 2, 3, 4, 5, 6, 8, 11, 255};
std::optional<uint8_t> FallRepeatCode(int index);  // nothing outside 0..8
int FallRepeatIndex(uint8_t code);                 // not a code -> 0

inline uint8_t FlagByte(bool on) { return on ? 1 : 0; }
inline bool FlagSet(uint8_t b) { return b != 0; }

// Test-call interval in 4.2209 s ticks from the three spin values.
uint16_t TestCallTicks(int hours, int minutes, int seconds);

// Detection mode: ASCII digit in the working record, plain number in the
// image. Anything but 0..2 counts as 0 ("None").
char ModeDigit(int index);
int ModeIndex(uint8_t imageValue);

// Acceleration thresholds: (p / 100 * 64)^2 truncated; back sqrt(v) * 100 / 64
// rounded.
uint16_t ThresholdValue(int position);
int ThresholdPosition(uint16_t value);

// Tilt angle: p / 100 * 64 rounded; back v / 64 * 100 rounded.
uint16_t AngleValue(int position);
int AnglePosition(uint16_t value);

// Fall-detection durations are stored as the slider position times 2 (free-fall
// and shock time) or 4 (the timeouts and the stability time). Other sliders
// have factor 1.
int DurationFactor(SliderId slider);
uint16_t DurationValue(SliderId slider, int position);
int DurationPosition(SliderId slider, uint16_t value);

// A Cap Code field read as a decimal integer: leading white space, optional
// sign, digits up to the first non-digit. No digits, or a value outside int32,
// gives nothing.
std::optional<int32_t> ParseCapCode(const std::string& text);

// The paging address ranges the transmitter can use.
bool CapCodeAccepted(int32_t code);

// Whether all eight Cap Code fields of the form parse and are accepted.
bool AllCapCodesAccepted(const FormSnapshot& form);

// The seven-digit Id piece of a message record for a typed Cap Code, leading
// zeros written out so that a short entry never shifts the record. A field
// that does not hold a number of at most seven digits gives "0000000".
std::string CapCodeField(const std::string& typed);

}  // namespace kestrin
