// Windows-1252 both ways: every byte survives, the euro sign has its byte.
#include <gtest/gtest.h>

#include "config/cp1252.h"

namespace kestrin {
namespace {

TEST(Cp1252, EveryByteRoundTripsAndKnownPointsMap) {
    for (int b = 0; b < 256; ++b)
        EXPECT_EQ(UnicodeToCp1252(Cp1252ToUnicode(static_cast<uint8_t>(b))), b) << b;
    EXPECT_EQ(Cp1252ToUnicode(0x80), 0x20ACu);
    EXPECT_EQ(Cp1252ToUnicode(0xE9), 0xE9u);
    EXPECT_EQ(Cp1252ToUnicode(0x81), 0x81u);
    EXPECT_EQ(UnicodeToCp1252(0x2192), -1);  // an arrow has no byte
}

}  // namespace
}  // namespace kestrin
