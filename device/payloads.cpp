#include "device/payloads.h"

#include "pages/frequency.h"

namespace kestrin {

namespace {

constexpr uint8_t kRecordEnd = 0x80;

void Put16(Bytes& out, uint16_t v) {
    out.push_back(static_cast<uint8_t>(v & 0xFF));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void PutRecord(Bytes& out, const std::string& record) {
    out.insert(out.end(), record.begin(), record.end());
    out.push_back(kRecordEnd);
}

}  // namespace

std::array<Bytes, kRunPackets> RunPayloads(const Config& cfg, uint8_t manDownLvl,
                                           uint8_t manDownSamples) {
    std::array<Bytes, kRunPackets> p;

    p[0] = {'1'};
    Put16(p[0], cfg.BtnRepTmr);
    p[0].push_back(cfg.BtnRepCnt);
    PutRecord(p[0], cfg.PMsgButton);

    p[1] = {'2'};
    Put16(p[1], cfg.CordRepTmr);
    p[1].push_back(cfg.CordRepTmrInc);
    PutRecord(p[1], cfg.PMsgCord);

    p[2] = {'3'};
    PutRecord(p[2], cfg.PMsgBtryLow);

    p[3] = {'4'};
    PutRecord(p[3], cfg.PMsgBtryShutDown);

    // The device expects the increment flag ahead of the count here.
    p[4] = {'5'};
    Put16(p[4], cfg.FallRepTmr);
    p[4].push_back(cfg.FallRepTmrInc);
    p[4].push_back(cfg.FallRepNum);
    PutRecord(p[4], cfg.PMsgFall);

    p[5] = {'6'};
    Put16(p[5], cfg.TestRepTmr);
    PutRecord(p[5], cfg.PMsgTest);

    p[6] = {'7'};
    PutRecord(p[6], cfg.PMsgReset);

    p[7] = {'8'};
    PutRecord(p[7], cfg.PMsgReedActivated);

    p[8] = {'9'};
    PutRecord(p[8], cfg.PMsgFallOff);

    p[9] = {':'};
    PutRecord(p[9], cfg.PMsgFallOn);

    const uint32_t word = FreqToSynthWord(cfg.freq);
    p[10] = {'B', static_cast<uint8_t>(word & 0xFF), static_cast<uint8_t>((word >> 8) & 0xFF),
             static_cast<uint8_t>((word >> 16) & 0xFF)};

    p[11] = {'C', cfg.accOn};
    for (uint16_t v :
         {cfg.lowerThresh, cfg.lowerCount, cfg.lowerTimeout, cfg.upperThresh, cfg.upperCount,
          cfg.upperTimeout, cfg.stableThresh, cfg.stableCount, cfg.stableTimeout, cfg.angle})
        Put16(p[11], v);
    p[11].push_back(manDownLvl);
    p[11].push_back(manDownSamples);

    return p;
}

}  // namespace kestrin
