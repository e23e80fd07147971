#include <gtest/gtest.h>

#include "pages/frequency.h"

namespace kestrin {
namespace {

TEST(Frequency, EveryRasterFrequencySurvivesTheSynthesizerWord) {
    for (uint32_t f = kFreqMin; f <= kFreqMax; f += 2500) {
        const uint32_t w = FreqToSynthWord(f);
        ASSERT_EQ(w & 1u, 1u) << f;
        ASSERT_LT(w, 1u << 24) << f;
        uint32_t n = 0;
        ASSERT_EQ(SynthWordToFreq(w & 0xFF, (w >> 8) & 0xFF, w >> 16, &n), f);
        ASSERT_EQ(n, w >> 1) << f;
    }
}

TEST(Frequency, SynthesizerWordsAtTheRangeEnds) {
    struct Case {
        uint32_t f, word;
        uint8_t b0, b1, b2;
    };
    for (const Case& c :
         {Case{433000000, 3799737, 0xB9, 0xFA, 0x39}, Case{470000000, 4128625, 0x71, 0xFF, 0x3E}}) {
        EXPECT_EQ(FreqToSynthWord(c.f), c.word);
        EXPECT_EQ(c.word & 0xFF, c.b0);
        EXPECT_EQ((c.word >> 8) & 0xFF, c.b1);
        EXPECT_EQ(c.word >> 16, c.b2);
        EXPECT_EQ(SynthWordToFreq(c.b0, c.b1, c.b2), c.f);
    }
    uint32_t n = 0;
    EXPECT_EQ(SynthWordToFreq(0xB8, 0xFA, 0x39, &n), 433000000u);  // bit 0 ignored
    EXPECT_EQ(n, 1899868u);
    // Decoding always lands on the 2,500 Hz raster, even off the button range.
    EXPECT_EQ(SynthWordToFreq(0xFF, 0xFF, 0xFF) % 2500, 0u);
    EXPECT_EQ(SynthWordToFreq(0x00, 0x00, 0x00) % 2500, 0u);
}

TEST(Frequency, StepsAreRefusedWholeAtTheLimits) {
    struct Case {
        uint32_t f;
        FreqStep step;
        std::optional<uint32_t> want;
    };
    const std::optional<uint32_t> no;
    const Case cases[] = {
        {469000000, kUp3, 470000000},   {469002500, kUp3, no},
        {469500000, kUp3, no},          {469900000, kUp2, 470000000},
        {469902500, kUp2, no},          {469500000, kUp2, 469600000},
        {469997500, kUp1, 470000000},   {470000000, kUp1, no},
        {434000000, kDown3, 433000000}, {433997500, kDown3, no},
        {433100000, kDown2, 433000000}, {433097500, kDown2, no},
        {433050000, kDown2, no},        {433050000, kDown3, no},
        {433050000, kDown1, 433047500}, {433002500, kDown1, 433000000},
        {433000000, kDown1, no},        {433000000, kUp1, 433002500},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(StepFreq(c.f, c.step), c.want) << c.f << " step " << c.step;
    }
    for (FreqStep s : {kUp1, kUp2, kUp3}) EXPECT_FALSE(StepFreq(kFreqMax, s));
    for (FreqStep s : {kDown1, kDown2, kDown3}) EXPECT_FALSE(StepFreq(kFreqMin, s));
}

TEST(Frequency, UnavailableBandIncludesBothEnds) {
    struct Case {
        uint32_t f;
        bool band, programmable;
    };
    for (const Case& c :
         {Case{457087500, false, true}, Case{457090000, true, false}, Case{457110000, true, false},
          Case{457130000, true, false}, Case{457132500, false, true}, Case{432997500, false, false},
          Case{433000000, false, true}, Case{470000000, false, true},
          Case{470002500, false, false}}) {
        EXPECT_EQ(InUnavailableBand(c.f), c.band) << c.f;
        EXPECT_EQ(IsProgrammableFreq(c.f), c.programmable) << c.f;
    }
}

TEST(Frequency, Texts) {
    EXPECT_EQ(FormatFreq(433000000), "433.000 000 MHz");
    EXPECT_EQ(FormatFreq(457092500), "457.092 500 MHz");
    EXPECT_EQ(FormatFreq(0), "000.000 000 MHz");
    EXPECT_EQ(FormatFreq(4294967295u), "4294.967 295 MHz");
    EXPECT_EQ(FreqOffsetText(-44), "-9900");
    EXPECT_EQ(FreqOffsetText(-1), "-225");
    EXPECT_EQ(FreqOffsetText(0), "0");
    EXPECT_EQ(FreqOffsetText(1), "225");
    EXPECT_EQ(FreqOffsetText(44), "9900");
}

}  // namespace
}  // namespace kestrin
