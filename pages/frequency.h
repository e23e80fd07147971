// Carrier frequency maths: display text, the 2,500 Hz raster and its step
// buttons, the unavailable band, and the synthesizer word.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace kestrin {

constexpr uint32_t kFreqMin = 433000000;
constexpr uint32_t kFreqMax = 470000000;
constexpr uint32_t kBandLow = 457090000;   // unavailable band, both ends included
constexpr uint32_t kBandHigh = 457130000;
constexpr int kCorrectionStepHz = 225;

// "%03d.%03d %03d MHz" of f / 1e6, (f / 1e3) mod 1e3, f mod 1e3.
std::string FormatFreq(uint32_t f);

// W = 2N + 1 with N = round((f / 7372800 - 0.75) * 32768 - 0.5), halves away from zero.
uint32_t FreqToSynthWord(uint32_t f);

// Frequency on the 2,500 Hz raster from the three stored bytes (low first);
// bit 0 of the word is ignored. When n is given it receives the step count N.
uint32_t SynthWordToFreq(uint8_t b0, uint8_t b1, uint8_t b2, uint32_t* n = nullptr);

// The six step buttons, largest up to largest down.
enum FreqStep : int { kUp3, kUp2, kUp1, kDown3, kDown2, kDown1, kFreqStepCount };

// The frequency after a step, or nothing when the step would pass a limit
// (refused whole, never clamped).
std::optional<uint32_t> StepFreq(uint32_t f, FreqStep step);

bool InUnavailableBand(uint32_t f);

// Programmable carrier: within 433..470 MHz and outside the unavailable band.
bool IsProgrammableFreq(uint32_t f);

// Text of the correction read-out: position * 225 as a plain signed integer.
std::string FreqOffsetText(int position);

}  // namespace kestrin
