#include <gtest/gtest.h>

#include "config/codes.h"

namespace kestrin {
namespace {

TEST(Codes, MessageCodesBothWays) {
    const char* types = "AN";
    const char* speeds = "NFV";
    const char* tones = "ABCD";
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(TypeCode(i), types[i]);
        EXPECT_EQ(TypeIndex(types[i]), i);
    }
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(SpeedCode(i), speeds[i]);
        EXPECT_EQ(SpeedIndex(speeds[i]), i);
    }
    EXPECT_EQ(SpeedIndex('V'), kSpeed2400);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(ToneCode(i), tones[i]);
        EXPECT_EQ(ToneIndex(tones[i]), i);
    }
    // Unknown bytes select the first entry; so do indices off the table.
    for (uint8_t junk : {0x00, 0x42, 0x61, 0xFF}) {
        EXPECT_EQ(TypeIndex(junk), 0) << int(junk);
        EXPECT_EQ(SpeedIndex(junk), 0) << int(junk);
    }
    EXPECT_EQ(ToneIndex('E'), 0);
    EXPECT_EQ(TypeCode(2), 'A');
    EXPECT_EQ(SpeedCode(-1), 'N');
    EXPECT_EQ(ToneCode(4), 'A');
}

TEST(Codes, RepeatIntervalBothWays) {
    const uint16_t ticks[] = {260, 554, 1143, 1731, 2613, 3496};
    const int seconds[] = {5, 10, 20, 30, 45, 60};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(RepeatSeconds(i), seconds[i]);
        EXPECT_EQ(RepeatTicks(i), ticks[i]);
        EXPECT_EQ(TicksToSeconds(ticks[i]), seconds[i]);
        EXPECT_EQ(RepeatIndexFromTicks(ticks[i]), i);
    }
    // Ticks whose seconds are not a choice, and a value that rounds onto one.
    EXPECT_EQ(TicksToSeconds(1000), 18);
    EXPECT_EQ(RepeatIndexFromTicks(1000), 0);
    EXPECT_EQ(RepeatIndexFromTicks(0), 0);
    EXPECT_EQ(RepeatIndexFromTicks(65535), 0);
    EXPECT_EQ(RepeatIndexFromTicks(3500), 5);
    EXPECT_EQ(SecondsToTicks(0), 0);  // negative before truncation: held at 0
}

TEST(Codes, FallRepeatCount) {
    const uint8_t codes[] = {1, 2, 3, 4, 5, 6, 8, 11, 255};
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(FallRepeatCode(i), codes[i]);
        EXPECT_EQ(FallRepeatIndex(codes[i]), i);
    }
    EXPECT_FALSE(FallRepeatCode(-1));
    EXPECT_FALSE(FallRepeatCode(9));
    for (uint8_t other : {0, 7, 9, 10, 12, 254}) EXPECT_EQ(FallRepeatIndex(other), 0) << int(other);
}

TEST(Codes, FlagsModeAndTestCall) {
    EXPECT_EQ(FlagByte(true), 1);
    EXPECT_EQ(FlagByte(false), 0);
    EXPECT_TRUE(FlagSet(0x80));
    EXPECT_FALSE(FlagSet(0));

    EXPECT_EQ(ModeDigit(0), '0');
    EXPECT_EQ(ModeDigit(2), '2');
    EXPECT_EQ(ModeDigit(3), '0');
    for (int v = 0; v <= 2; ++v) EXPECT_EQ(ModeIndex(v), v);
    EXPECT_EQ(ModeIndex(3), 0);
    EXPECT_EQ(ModeIndex('1'), 0);

    EXPECT_EQ(TestCallTicks(0, 0, 0), 0);
    EXPECT_EQ(TestCallTicks(1, 0, 0), 852);
    EXPECT_EQ(TestCallTicks(0, 0, 4), 0);
    EXPECT_EQ(TestCallTicks(0, 0, 5), 1);
    EXPECT_EQ(TestCallTicks(24, 59, 59), 21322);
}

TEST(Codes, SliderConversions) {
    struct Case {
        int position;
        uint16_t threshold;
    };
    for (const Case& c : std::initializer_list<Case>{{30, 368},
                                                     {50, 1024},
                                                     {80, 2621},
                                                     {100, 4096},
                                                     {105, 4515},
                                                     {150, 9216},
                                                     {180, 13271},
                                                     {200, 16384}}) {
        EXPECT_EQ(ThresholdValue(c.position), c.threshold) << c.position;
        EXPECT_EQ(ThresholdPosition(c.threshold), c.position) << c.position;
    }
    EXPECT_EQ(ThresholdPosition(0), 0);
    // Every position the threshold sliders offer survives a read-back.
    for (int p = 30; p <= 200; ++p) EXPECT_EQ(ThresholdPosition(ThresholdValue(p)), p) << p;

    EXPECT_EQ(AngleValue(50), 32);
    EXPECT_EQ(AngleValue(45), 29);  // 28.8
    EXPECT_EQ(AngleValue(63), 40);  // 40.32
    EXPECT_EQ(AngleValue(100), 64);
    EXPECT_EQ(AnglePosition(32), 50);
    EXPECT_EQ(AnglePosition(29), 45);  // 45.3125
    EXPECT_EQ(AnglePosition(40), 63);  // 62.5, away from zero
    // Every angle position comes back to within the step of one device unit.
    for (int p = 0; p <= 100; ++p) EXPECT_NEAR(AnglePosition(AngleValue(p)), p, 1) << p;

    struct Dur {
        SliderId slider;
        int factor;
    };
    for (const Dur& d : std::initializer_list<Dur>{{kSliderFreeFallTime, 2},
                                                   {kSliderShockTime, 2},
                                                   {kSliderFreeFallTimeout, 4},
                                                   {kSliderShockTimeout, 4},
                                                   {kSliderStabilityTime, 4},
                                                   {kSliderStabilityTimeout, 4}}) {
        EXPECT_EQ(DurationValue(d.slider, 7), 7 * d.factor) << d.slider;
        EXPECT_EQ(DurationPosition(d.slider, 7 * d.factor + d.factor - 1), 7) << d.slider;
    }
}

TEST(Codes, CapCodeRanges) {
    for (int32_t ok : {0, 100000, 2007663, 2007672, 2045055, 2045064, 2097151})
        EXPECT_TRUE(CapCodeAccepted(ok)) << ok;
    for (int32_t bad : {-1, 2007664, 2007671, 2045056, 2045063, 2097152, 9999999, INT32_MIN})
        EXPECT_FALSE(CapCodeAccepted(bad)) << bad;
}

TEST(Codes, CapCodeParse) {
    struct Case {
        const char* text;
        std::optional<int32_t> value;
    };
    for (const Case& c : std::initializer_list<Case>{
             {"0100000", 100000},
             {"  123xyz", 123},
             {"\t+42", 42},
             {"-7", -7},
             {"2147483647", 2147483647},
             {"-2147483648", INT32_MIN},
             {"000000000000000000009", 9},
             {"", std::nullopt},
             {"   ", std::nullopt},
             {"abc", std::nullopt},
             {"-", std::nullopt},
             {"+ 1", std::nullopt},
             {"2147483648", std::nullopt},
             {"-2147483649", std::nullopt},
             {"99999999999", std::nullopt},
             {"99999999999999999999999999", std::nullopt},
         }) {
        EXPECT_EQ(ParseCapCode(c.text), c.value) << '"' << c.text << '"';
    }
}

TEST(Codes, AllCapCodesAcceptedChecksEveryField) {
    FormSnapshot form = StartupForm();
    EXPECT_TRUE(AllCapCodesAccepted(form));
    for (const char* bad : {"", "2007664", "2097152"}) {
        form.msg[kReset].id = bad;
        EXPECT_FALSE(AllCapCodesAccepted(form)) << bad;
    }
}

TEST(Codes, CapCodeFieldIsAlwaysSevenDigits) {
    struct Case {
        const char* typed;
        const char* field;
    };
    for (const Case& c : std::initializer_list<Case>{{"0100000", "0100000"},
                                                     {"123", "0000123"},
                                                     {"0", "0000000"},
                                                     {" 2097151", "2097151"},
                                                     {"9999999", "9999999"},
                                                     {"", "0000000"},
                                                     {"-12", "0000000"},
                                                     {"12a", "0000012"}}) {
        EXPECT_EQ(CapCodeField(c.typed), c.field) << '"' << c.typed << '"';
    }
}

}  // namespace
}  // namespace kestrin
