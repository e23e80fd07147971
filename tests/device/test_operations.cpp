// The device operations against the simulated shoe, cable and transmitter,
// with the pacing pause replaced: outcomes, progress, and cancel at every
// packet boundary.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

#include "config/encode.h"
#include "config/form.h"
#include "device/link.h"
#include "device/operations.h"
#include "device/payloads.h"
#include "pages/frequency.h"
#include "sim/sim_backend.h"

namespace kestrin {
namespace {

class OperationsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        sim = &sim::InstallSimulatorBackend();
        SetPause([this](int) {
            ++pauses;
            if (onPause) onPause(pauses);
        });
        DWORD n = 0;
        ASSERT_EQ(FT_CreateDeviceInfoList(&n), FT_OK);
        ASSERT_EQ(FT_Open(0, &adapters.shoe), FT_OK);
        char cable[] = "TTL232R-3V3";
        ASSERT_EQ(FT_OpenEx(cable, FT_OPEN_BY_DESCRIPTION, &adapters.cable), FT_OK);
        eeprom_union image{};
        EncodeForm(StartupForm(), cfg, image);
        cfg.freq = 433000000;
        cfg.freqNum = FreqToSynthWord(cfg.freq);
        manDownLvl = image.cfg.ManDownLvl;
        manDownSamples = image.cfg.ManDownSamples;
    }
    void TearDown() override { SetPause(nullptr); }

    Outcome Program(const Progress& progress = nullptr) {
        return ProgramRun(adapters, cfg, manDownLvl, manDownSamples, runCrc, progress, cancel);
    }
    bool SawEndPacket() const {
        for (const Bytes& f : sim->Frames())
            if (f.size() > 3 && f[1] == kTypeRun && f[3] == 'Z') return true;
        return false;
    }

    sim::Simulator* sim = nullptr;
    Adapters adapters;
    Config cfg;
    uint8_t manDownLvl = 0, manDownSamples = 0;
    boost::crc_ccitt_type runCrc{0xFFFF};
    CancelFlag cancel{false};
    int pauses = 0;
    std::function<void(int)> onPause;
};

TEST_F(OperationsTest, ACompletedRunIsFourteenFramesWithProgressPerDataPacket) {
    std::vector<std::pair<int, int>> steps;
    const Outcome o = Program([&](int k, int n) { steps.emplace_back(k, n); });
    EXPECT_TRUE(o.ok());
    EXPECT_EQ(sim->Frames().size(), 14u);
    EXPECT_EQ(sim->RunsApplied(), 1);
    EXPECT_EQ(pauses, 13);  // none after the end packet
    ASSERT_EQ(steps.size(), 12u);
    for (int k = 1; k <= 12; ++k) EXPECT_EQ(steps[k - 1], std::make_pair(k, 12));
    EXPECT_EQ(RunMessage(o), "");
}

TEST_F(OperationsTest, CancelAtEveryBoundaryStopsBeforeTheNextPacketAndNeverEnds) {
    // Pause p follows frame p: the start packet, then data packets 1 to 12.
    for (int after = 0; after <= 12; ++after) {
        SCOPED_TRACE(after);
        SetUp();
        cancel = false;
        pauses = 0;
        onPause = [&](int p) {
            if (p == after + 1) cancel = true;
        };
        const eeprom_union before = sim->Image();
        const Outcome o = Program();
        EXPECT_EQ(o.result, Result::Cancelled);
        EXPECT_EQ(o.packet, after + 1);
        EXPECT_EQ(sim->Frames().size(), static_cast<size_t>(after + 1));
        EXPECT_FALSE(SawEndPacket());
        EXPECT_EQ(sim->RunsApplied(), 0);
        EXPECT_EQ(0, memcmp(sim->Image().raw, before.raw, kImageSize));
        const std::string text = RunMessage(o);
        EXPECT_NE(text.find("cancelled"), std::string::npos) << text;
        EXPECT_NE(text.find("not given a complete configuration"), std::string::npos) << text;
    }
    // Asked before anything went out, nothing goes out.
    SetUp();
    cancel = true;
    const Outcome o = Program();
    EXPECT_EQ(o.result, Result::Cancelled);
    EXPECT_EQ(o.packet, kStartPacket);
    EXPECT_TRUE(sim->Frames().empty());
    EXPECT_NE(RunMessage(o).find("before anything was sent"), std::string::npos);
}

TEST_F(OperationsTest, FailuresNameThePacketAndTheCause) {
    struct Case {
        const char* what;
        std::function<void(sim::Simulator&)> fault;
        Result result;
        int packet;
        const char* words;
    };
    const Case cases[] = {
        {"shoe takes only short writes", [](sim::Simulator& s) { s.faults().shortWriteLimit = 10; },
         Result::WriteFailed, 1, "stopped taking data at packet 1 of 12"},
        {"shoe refuses everything", [](sim::Simulator& s) { s.faults().failWrites = true; },
         Result::WriteFailed, kStartPacket, "at the start packet"},
        {"shoe unplugged after five writes",
         [](sim::Simulator& s) { s.faults().unplugShoeAfterWrites = 5; }, Result::ShoeUnplugged, 5,
         "unplugged at packet 5 of 12"},
        {"shoe unplugged before the end packet",
         [](sim::Simulator& s) { s.faults().unplugShoeAfterWrites = 13; }, Result::ShoeUnplugged,
         kEndPacket, "unplugged at the end packet"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        c.fault(*sim);
        const Outcome o = Program();
        EXPECT_EQ(o.result, c.result);
        EXPECT_EQ(o.packet, c.packet);
        EXPECT_NE(RunMessage(o).find(c.words), std::string::npos) << RunMessage(o);
        EXPECT_EQ(sim->RunsApplied(), 0);
    }
}

TEST_F(OperationsTest, ReadBackOutcomes) {
    struct Case {
        const char* what;
        std::function<void(sim::Simulator&)> fault;
        std::function<void()> onPause;
        Result result;
        int packet;
        bool infoArrived;
    };
    const Case cases[] = {
        {"healthy", nullptr, nullptr, Result::Completed, 0, true},
        {"silent transmitter", [](sim::Simulator& s) { s.faults().transmitterSilent = true; },
         nullptr, Result::NoReply, 1, false},
        {"image cut short", [](sim::Simulator& s) { s.faults().cutReplyAfter = 300; }, nullptr,
         Result::IncompleteReply, 2, true},
        {"shoe gone", [](sim::Simulator& s) { s.faults().failWrites = true; }, nullptr,
         Result::WriteFailed, 1, false},
        {"cancelled between the requests", nullptr, [this] { cancel = true; }, Result::Cancelled, 2,
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        cancel = false;
        if (c.fault) c.fault(*sim);
        onPause = [&](int) {
            if (c.onPause) c.onPause();
        };
        std::vector<int> steps;
        const ReadBackResult r = ReadBack(
            adapters, runCrc, [&](int k, int) { steps.push_back(k); }, cancel);
        EXPECT_EQ(r.outcome.result, c.result);
        if (!r.outcome.ok()) {
            EXPECT_EQ(r.outcome.packet, c.packet);
        }
        EXPECT_EQ(r.infoArrived, c.infoArrived);
        EXPECT_EQ(r.image.has_value(), r.outcome.ok());
        if (r.outcome.ok()) {
            EXPECT_EQ(steps, (std::vector<int>{1, 2}));
            EXPECT_EQ(0, memcmp(r.image->data(), sim->Image().raw, kImageSize));
            EXPECT_EQ(r.infoText, "Kestrin TQ9 firmware 3.1 serial 000123");
        }
        EXPECT_EQ(ReadMessage(r.outcome).empty(), r.outcome.ok());
    }
    EXPECT_EQ(ReadMessage({Result::NoReply, 1}),
              "No connection established\nCheck Kestrin's power and probe");
}

TEST_F(OperationsTest, ACommandIsOnePacket) {
    EXPECT_TRUE(SendCommand(adapters, {'R'}, runCrc).ok());
    ASSERT_EQ(sim->Frames().size(), 1u);
    EXPECT_EQ(Stuff(sim->Frames()[0]), (Bytes{0x01, 0x33, 0x02, 0x52, 0x72, 0x54, 0x03}));
    EXPECT_EQ(sim->Commands(), std::vector<std::string>{"R"});
    sim->faults().failWrites = true;
    const Outcome o = SendCommand(adapters, {'S'}, runCrc);
    EXPECT_EQ(o.result, Result::WriteFailed);
    EXPECT_EQ(CommandMessage(o),
              "The command was not sent: the programming shoe is not taking data.");
}

}  // namespace
}  // namespace kestrin
