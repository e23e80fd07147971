#include <gtest/gtest.h>

#include <cstdio>
#include <utility>

#include "config/form.h"
#include "pages/readouts.h"

namespace kestrin {
namespace {

struct Case {
    SliderId slider;
    int position;
    const char* text;
};

TEST(Readouts, RangeEndsOfEverySlider) {
    const Case cases[] = {
        {kSliderFreq, -44, "-9900"},
        {kSliderFreq, 44, "9900"},
        {kSliderAngle, 0, "0%"},
        {kSliderAngle, 100, "100%"},
        {kSliderFreeFallThresh, 30, "0.30g"},
        {kSliderFreeFallThresh, 100, "1.00g"},
        {kSliderFreeFallTime, 1, "5ms"},
        {kSliderFreeFallTime, 20, "100ms"},
        {kSliderFreeFallTimeout, 1, "10ms"},
        {kSliderFreeFallTimeout, 25, "250ms"},
        {kSliderShockThresh, 110, "1.10g"},
        {kSliderShockThresh, 200, "2.00g"},
        {kSliderShockTime, 1, "5ms"},
        {kSliderShockTime, 20, "100ms"},
        {kSliderShockTimeout, 1, "10ms"},
        {kSliderShockTimeout, 200, "2000ms"},
        {kSliderStabilityThresh, 100, "+0.00g"},
        {kSliderStabilityThresh, 150, "+0.50g"},
        {kSliderStabilityTime, 1, "10ms"},
        {kSliderStabilityTime, 150, "1500ms"},
        {kSliderStabilityTimeout, 1, "10ms"},
        {kSliderStabilityTimeout, 300, "3000ms"},
        {kSliderManMove, 2, "0%"},
        {kSliderManMove, 22, "100%"},
        {kSliderManSamples, 0, "0.0s"},
        {kSliderManSamples, 255, "127.5s"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SliderReadout(c.slider, c.position), c.text)
            << kSliders[c.slider].name << " at " << c.position;
    }
}

TEST(Readouts, StartUpPositionsShowTheBuiltInTexts) {
    const FormSnapshot form = StartupForm();
    const std::pair<SliderId, const char*> cases[] = {
        {kSliderFreeFallThresh, "0.80g"},
        {kSliderFreeFallTime, "25ms"},
        {kSliderFreeFallTimeout, "100ms"},
        {kSliderShockThresh, "1.80g"},
        {kSliderShockTime, "25ms"},
        {kSliderShockTimeout, "1000ms"},
        {kSliderStabilityThresh, "+0.05g"},
        {kSliderStabilityTime, "130ms"},
        {kSliderStabilityTimeout, "2000ms"},
        {kSliderAngle, "63%"},
        {kSliderManMove, "30%"},
        {kSliderManSamples, "60.0s"},
        {kSliderFreq, "0"},
    };
    for (const auto& [slider, text] : cases) {
        EXPECT_EQ(SliderReadout(slider, form.slider[slider]), text) << kSliders[slider].name;
    }
}

// Every hundredth of g in range prints as itself, however the float rounds.
TEST(Readouts, ThresholdsPrintEveryHundredthExactly) {
    for (int p = 30; p <= 200; ++p) {
        char want[16];
        std::snprintf(want, sizeof want, "%d.%02dg", p / 100, p % 100);
        EXPECT_EQ(SliderReadout(kSliderFreeFallThresh, p), want);
        if (p >= 100 && p <= 150) {
            std::snprintf(want, sizeof want, "+0.%02dg", p - 100);
            EXPECT_EQ(SliderReadout(kSliderStabilityThresh, p), want);
        }
    }
}

TEST(Readouts, MiddlePositions) {
    const Case cases[] = {
        {kSliderManMove, 8, "30%"},     {kSliderManMove, 3, "5%"},
        {kSliderManSamples, 1, "0.5s"}, {kSliderManSamples, 120, "60.0s"},
        {kSliderFreq, -1, "-225"},
    };
    for (const Case& c : cases) EXPECT_EQ(SliderReadout(c.slider, c.position), c.text);
}

}  // namespace
}  // namespace kestrin
