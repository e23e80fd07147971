#include "pages/frequency.h"

#include <cmath>
#include <cstdio>

namespace kestrin {

namespace {

constexpr double kReferenceHz = 7372800.0;
constexpr double kBaseFraction = 0.75;
constexpr double kStepsPerReference = 32768.0;
constexpr double kRasterHz = 2500.0;

}  // namespace

std::string FormatFreq(uint32_t f) {
    char buf[50];
    std::snprintf(buf, sizeof buf, "%03d.%03d %03d MHz", static_cast<int>(f / 1000000),
                  static_cast<int>((f / 1000) % 1000), static_cast<int>(f % 1000));
    return buf;
}

uint32_t FreqToSynthWord(uint32_t f) {
    const double x = (f / kReferenceHz - kBaseFraction) * kStepsPerReference - 0.5;
    const int64_t n = static_cast<int64_t>(std::round(x));
    // Odd words put the carrier in the middle of its 225 Hz cell; below the
    // synthesizer's base the word wraps as the device's unsigned field would.
    return static_cast<uint32_t>(2 * n + 1);
}

uint32_t SynthWordToFreq(uint8_t b0, uint8_t b1, uint8_t b2, uint32_t* n) {
    const uint32_t w = (uint32_t{b2} << 16) | (uint32_t{b1} << 8) | b0;
    const uint32_t steps = (w >> 1) & 0x7FFFFF;
    if (n) *n = steps;
    const double f1 =
        std::trunc(kReferenceHz * ((steps + 0.5) / kStepsPerReference + kBaseFraction));
    return static_cast<uint32_t>(kRasterHz * std::round(f1 / kRasterHz));
}

std::optional<uint32_t> StepFreq(uint32_t f, FreqStep step) {
    switch (step) {
        case kUp3:
            if (f <= 469000000) return f + 1000000;
            break;
        case kUp2:
            if (f <= 469900000) return f + 100000;
            break;
        case kUp1:
            if (f <= 469997500) return f + 2500;
            break;
        case kDown3:
            if (f >= 434000000) return f - 1000000;
            break;
        case kDown2:
            if (f >= 433100000) return f - 100000;
            break;
        case kDown1:
            if (f >= 433002500) return f - 2500;
            break;
        case kFreqStepCount:
            break;
    }
    return std::nullopt;
}

bool InUnavailableBand(uint32_t f) { return f >= kBandLow && f <= kBandHigh; }

bool IsProgrammableFreq(uint32_t f) {
    return f >= kFreqMin && f <= kFreqMax && !InUnavailableBand(f);
}

std::string FreqOffsetText(int position) {
    return std::to_string(static_cast<long long>(position) * kCorrectionStepHz);
}

}  // namespace kestrin
