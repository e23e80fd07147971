// Reply texts and reading a reply to its end.
#include <gtest/gtest.h>

#include "device/link.h"
#include "sim/sim_backend.h"

namespace kestrin {
namespace {

TEST(Link, ShoeVersionIsCharactersFifteenToEighteen) {
    const struct {
        std::string reply, version;
    } cases[] = {
        {"ABCDEFGHIJKLMNOPQRSTU", "PQRS"},
        {"ABCDEFGHIJKLMNOPQ", "PQ"},
        {"ABCDEFGHIJKLMNO", ""},
        {"", ""},
        {std::string("ABCDEFGHIJKLMNOP\0RSTU", 21), "P"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ShoeVersionText(Bytes(c.reply.begin(), c.reply.end())), c.version) << c.reply;
}

TEST(Link, InfoTextDropsSevenLeadingAndFiveTrailingCharacters) {
    const struct {
        std::string reply, text;
    } cases[] = {
        {"\x02INFO: Kestrin TQ91234\x03", "Kestrin TQ9"},
        {"1234567", ""},
        {"1234567890", "890"},
        {"123456789012", ""},
        {std::string("\x02INFO: Kestrin1234\x03\0junk", 24), "Kestrin"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(InfoText(Bytes(c.reply.begin(), c.reply.end())), c.text) << c.reply;
}

TEST(Link, AReplyLongerThanItsBufferIsReadToItsEndAndTheSurplusDropped) {
    sim::Simulator& sim = sim::InstallSimulatorBackend();
    sim.SetVersionReply(std::string(150, 'V'));
    DWORD count = 0;
    ASSERT_EQ(FT_CreateDeviceInfoList(&count), FT_OK);
    FT_HANDLE shoe = nullptr;
    ASSERT_EQ(FT_Open(0, &shoe), FT_OK);
    int paused = 0;
    SetPause([&](int ms) { paused += ms; });
    ASSERT_TRUE(WriteAll(shoe, kVersionQuery));
    const Bytes reply = ReadReply(shoe, kInfoReplyCapacity);
    SetPause(nullptr);
    EXPECT_EQ(reply, Bytes(kInfoReplyCapacity, 'V'));
    EXPECT_EQ(sim.Queued(sim::Simulator::kShoe), 0u);
    EXPECT_GE(paused, 180);  // the silence that ends a reply is waited out
    FT_Close(shoe);
}

}  // namespace
}  // namespace kestrin
