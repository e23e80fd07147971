#include <gtest/gtest.h>

#include <algorithm>

#include "config/eeprom.h"

namespace kestrin {
namespace {

// The globals as they stand before any test runs: other tests in this binary
// may change them later.
struct StartState {
    Config record;
    eeprom_union image;
};
StartState startState;

class CaptureStartState : public ::testing::Environment {
  public:
    void SetUp() override {
        startState.record = EEPROM;
        startState.image = eeprom;
    }
};
[[maybe_unused]] const auto* const registered =
    ::testing::AddGlobalTestEnvironment(new CaptureStartState);

TEST(Image, SizeAndByteOrder) {
    static_assert(sizeof(eeprom_union) == 512);
    eeprom_union image{};
    image.cfg.BtnRepTmr = 0x06C3;
    EXPECT_EQ(image.raw[417], 0xC3);
    EXPECT_EQ(image.raw[418], 0x06);
    image.raw[449] = 0x34;
    image.raw[450] = 0x12;
    EXPECT_EQ(image.cfg.AxisThreshold, 0x1234);
    image.raw[456] = 0xFE;
    EXPECT_EQ(image.cfg.TxFAdjust, -2);
    // Only the field's own two bytes are written.
    EXPECT_EQ(std::count(image.raw, image.raw + kImageSize, 0), 512 - 5);
}

TEST(Image, GlobalsStartEmpty) {
    const Config& r = startState.record;
    for (const std::string* s :
         {&r.PMsgBtryLow, &r.PMsgBtryShutDown, &r.PMsgButton, &r.PMsgCord, &r.PMsgFall,
          &r.PMsgFallOn, &r.PMsgFallOff, &r.PMsgReedActivated, &r.PMsgTest, &r.PMsgReset})
        EXPECT_TRUE(s->empty());
    for (uint32_t v : {uint32_t{r.BtnRepTmr},
                       uint32_t{r.BtnRepCnt},
                       uint32_t{r.CordRepTmr},
                       uint32_t{r.CordRepTmrInc},
                       uint32_t{r.FallRepNum},
                       uint32_t{r.FallRepTmr},
                       uint32_t{r.FallRepTmrInc},
                       uint32_t{r.TestRepTmr},
                       uint32_t{r.accOn},
                       uint32_t{r.lowerThresh},
                       uint32_t{r.lowerCount},
                       uint32_t{r.lowerTimeout},
                       uint32_t{r.upperThresh},
                       uint32_t{r.upperCount},
                       uint32_t{r.upperTimeout},
                       uint32_t{r.stableThresh},
                       uint32_t{r.stableCount},
                       uint32_t{r.stableTimeout},
                       uint32_t{r.angle},
                       r.freq,
                       r.freqNum})
        EXPECT_EQ(v, 0u);
    const uint8_t* raw = startState.image.raw;
    EXPECT_TRUE(std::all_of(raw, raw + kImageSize, [](uint8_t b) { return b == 0; }));
}

}  // namespace
}  // namespace kestrin
