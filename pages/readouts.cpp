#include "pages/readouts.h"

#include <clocale>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "pages/frequency.h"

namespace kestrin {

namespace {

// printf-style text with '.' as the decimal point whatever numeric locale the
// toolkit has switched the process to.
std::string Fixed(const char* fmt, ...) {
    char buf[64];
    va_list args;
    va_start(args, fmt);
    std::vsnprintf(buf, sizeof buf, fmt, args);
    va_end(args);
    std::string text = buf;
    const char* point = std::localeconv()->decimal_point;
    if (point && std::strcmp(point, ".") != 0 && *point) {
        const std::size_t at = text.find(point);
        if (at != std::string::npos) text.replace(at, std::strlen(point), ".");
    }
    return text;
}

std::string Grams(int position) {
    const float g = static_cast<float>(position) / 100.0f;
    return Fixed("%.2fg", static_cast<double>(g));
}

std::string Millis(int position, double perStep) { return Fixed("%.0fms", position * perStep); }

}  // namespace

std::string SliderReadout(SliderId slider, int position) {
    switch (slider) {
        case kSliderFreq:
            return FreqOffsetText(position);
        case kSliderAngle:
            return std::to_string(position) + "%";
        case kSliderFreeFallThresh:
        case kSliderShockThresh:
            return Grams(position);
        case kSliderStabilityThresh: {
            const float g = static_cast<float>(position - 100) / 100.0f;
            return Fixed("+%.2fg", static_cast<double>(g));
        }
        case kSliderFreeFallTime:
        case kSliderShockTime:
            return Millis(position, 5.0);
        case kSliderFreeFallTimeout:
        case kSliderShockTimeout:
        case kSliderStabilityTime:
        case kSliderStabilityTimeout:
            return Millis(position, 10.0);
        case kSliderManMove:
            return Fixed("%.0f%%", std::round((position - 2) * 5.0));
        case kSliderManSamples:
            return Fixed("%.1fs", position * 0.5);
        case kSliderCount:
            break;
    }
    return std::string();
}

}  // namespace kestrin
