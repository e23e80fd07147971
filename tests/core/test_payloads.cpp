#include <gtest/gtest.h>

#include "device/payloads.h"

namespace kestrin {
namespace {

Bytes B(std::initializer_list<int> head, const std::string& record = "", bool end = false) {
    Bytes out;
    for (int v : head) out.push_back(static_cast<uint8_t>(v));
    out.insert(out.end(), record.begin(), record.end());
    if (end) out.push_back(0x80);
    return out;
}

// Every field distinct, so a swapped or misplaced value shows.
Config SampleConfig() {
    Config c;
    c.PMsgButton = "AF0100000APANIC";
    c.PMsgCord = "NN1234567BCORD";
    c.PMsgBtryLow = "AF7654321CLOW";
    c.PMsgBtryShutDown = "";
    c.PMsgFall = "AF0000042DFALL";
    c.PMsgTest = "AN0100000ATEST\x80";  // a stray 0x80 goes out as it is
    c.PMsgReset = "AF123BRESET";
    c.PMsgReedActivated = "NF0200000CREED";
    c.PMsgFallOff = "NF0200000COFF";
    c.PMsgFallOn = "NF0200000CON";
    c.BtnRepTmr = 1731;
    c.BtnRepCnt = 3;
    c.CordRepTmr = 3496;
    c.CordRepTmrInc = 1;
    c.FallRepTmr = 260;
    c.FallRepTmrInc = 1;
    c.FallRepNum = 255;
    c.TestRepTmr = 21322;
    c.accOn = '2';
    c.lowerThresh = 0x0102;
    c.lowerCount = 0x0304;
    c.lowerTimeout = 0x0506;
    c.upperThresh = 0x0708;
    c.upperCount = 0x090A;
    c.upperTimeout = 0x0B0C;
    c.stableThresh = 0x0D0E;
    c.stableCount = 0x0F10;
    c.stableTimeout = 0x1112;
    c.angle = 0x1314;
    c.freq = 433000000;
    c.freqNum = 77;
    return c;
}

TEST(Payloads, TwelvePacketsInTheDeviceLayout) {
    const Config cfg = SampleConfig();
    const auto p = RunPayloads(cfg, 22, 255);
    const Bytes want[kRunPackets] = {
        B({'1', 0xC3, 0x06, 3}, cfg.PMsgButton, true),
        B({'2', 0xA8, 0x0D, 1}, cfg.PMsgCord, true),
        B({'3'}, cfg.PMsgBtryLow, true),
        B({'4'}, "", true),
        B({'5', 0x04, 0x01, 1, 255}, cfg.PMsgFall, true),  // increment before count
        B({'6', 0x4A, 0x53}, cfg.PMsgTest, true),
        B({'7'}, cfg.PMsgReset, true),
        B({'8'}, cfg.PMsgReedActivated, true),
        B({'9'}, cfg.PMsgFallOff, true),
        B({':'}, cfg.PMsgFallOn, true),
        B({'B', 0xB9, 0xFA, 0x39}),
        B({'C',  '2',  0x02, 0x01, 0x04, 0x03, 0x06, 0x05, 0x08, 0x07, 0x0A, 0x09,
           0x0C, 0x0B, 0x0E, 0x0D, 0x10, 0x0F, 0x12, 0x11, 0x14, 0x13, 22,   255}),
    };
    for (int i = 0; i < kRunPackets; ++i) EXPECT_EQ(p[i], want[i]) << "packet " << i + 1;
    EXPECT_EQ(p[11].size(), 24u);
}

TEST(Payloads, SynthesizerWordFollowsTheWorkingFrequency) {
    Config cfg = SampleConfig();
    cfg.freq = 470000000;
    EXPECT_EQ(RunPayloads(cfg, 8, 120)[10], B({'B', 0x71, 0xFF, 0x3E}));
    cfg.freq = 433002500;  // one raster step up: word 2N+1 moves by 2 per 225 Hz cell
    const Bytes p = RunPayloads(cfg, 8, 120)[10];
    ASSERT_EQ(p.size(), 4u);
    EXPECT_EQ(p[1] | (p[2] << 8) | (p[3] << 16), 3799759);
}

}  // namespace
}  // namespace kestrin
