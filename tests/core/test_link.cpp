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
        {"", ""},
        {"1", ""},
        {"12345678", "8"},
        {"1234567890", "890"},
        {"12345678901", "8901"},
        // Twelve characters would leave nothing once the last five are gone.
        {"123456789012", "89012"},
        {"1234567890123", "8"},
        {"12345678901234567", "89012"},
        {std::string("\x02INFO: Kestrin1234\x03\0junk", 24), "Kestrin"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(InfoText(Bytes(c.reply.begin(), c.reply.end())), c.text) << c.reply;
}

void OpenSimulatedShoe(FT_HANDLE* shoe) {
    DWORD count = 0;
    ASSERT_EQ(FT_CreateDeviceInfoList(&count), FT_OK);
    ASSERT_EQ(FT_Open(0, shoe), FT_OK);
}

TEST(Link, AReplyLongerThanItsBufferIsReadToItsEndAndTheSurplusDropped) {
    sim::Simulator& sim = sim::InstallSimulatorBackend();
    sim.SetVersionReply(std::string(150, 'V'));
    FT_HANDLE shoe = nullptr;
    ASSERT_NO_FATAL_FAILURE(OpenSimulatedShoe(&shoe));
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

TEST(Link, AReplyEndsWhenItsSilenceHasPassedNotASliceLater) {
    sim::InstallSimulatorBackend();
    FT_HANDLE shoe = nullptr;
    ASSERT_NO_FATAL_FAILURE(OpenSimulatedShoe(&shoe));
    int paused = 0;
    SetPause([&](int ms) { paused += ms; });
    EXPECT_TRUE(ReadReply(shoe, kInfoReplyCapacity, 210, 20).empty());
    SetPause(nullptr);
    EXPECT_EQ(paused, 210);
    FT_Close(shoe);
}

// A line that never falls silent: every read brings a byte.
class ChattyBackend : public AdapterBackend {
  public:
    const char* Name() const override { return "chatty"; }
    FT_STATUS CreateDeviceInfoList(DWORD* n) override { return *n = 0, FT_OK; }
    FT_STATUS GetDeviceInfoDetail(DWORD, DWORD*, DWORD*, DWORD*, DWORD*, void*, void*,
                                  FT_HANDLE*) override {
        return FT_DEVICE_NOT_FOUND;
    }
    FT_STATUS Open(int, FT_HANDLE*) override { return FT_DEVICE_NOT_FOUND; }
    FT_STATUS OpenEx(void*, DWORD, FT_HANDLE*) override { return FT_DEVICE_NOT_FOUND; }
    BOOL GetCommState(FT_HANDLE, FTDCB*) override { return 1; }
    BOOL SetCommState(FT_HANDLE, FTDCB*) override { return 1; }
    FT_STATUS SetTimeouts(FT_HANDLE, ULONG, ULONG) override { return FT_OK; }
    FT_STATUS Read(FT_HANDLE, void* buffer, DWORD, DWORD* got) override {
        *static_cast<uint8_t*>(buffer) = 'x';
        *got = 1;
        ++reads;
        return FT_OK;
    }
    FT_STATUS Write(FT_HANDLE, void*, DWORD n, DWORD* written) override {
        return *written = n, FT_OK;
    }
    FT_STATUS GetStatus(FT_HANDLE, DWORD*, DWORD*, DWORD*) override { return FT_OK; }
    FT_STATUS Purge(FT_HANDLE, ULONG) override { return FT_OK; }
    FT_STATUS Close(FT_HANDLE) override { return FT_OK; }
    static inline int reads = 0;
};

TEST(Link, ALineThatNeverFallsSilentStillEndsTheReply) {
    SetAdapterBackend(std::make_unique<ChattyBackend>());
    int pauses = 0;
    SetPause([&](int) { ++pauses; });
    const Bytes reply = ReadReply(reinterpret_cast<FT_HANDLE>(1), kInfoReplyCapacity);
    SetPause(nullptr);
    EXPECT_EQ(reply.size(), kInfoReplyCapacity);
    EXPECT_LE(ChattyBackend::reads, 4 * 100 + 256);
    EXPECT_GT(pauses, 0);  // the window was kept alive meanwhile
    sim::InstallSimulatorBackend();
}

}  // namespace
}  // namespace kestrin
