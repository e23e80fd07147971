// The transmitter's 512-byte configuration image and the working record the
// form is encoded into. The image is a device format: every offset binds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace kestrin {

// Little-endian 16-bit field: byte access keeps the image layout independent
// of the host's byte order and alignment.
struct le16 {
    uint8_t b[2];
    operator uint16_t() const { return static_cast<uint16_t>(b[0] | (b[1] << 8)); }
    le16& operator=(uint16_t v) {
        b[0] = static_cast<uint8_t>(v & 0xFF);
        b[1] = static_cast<uint8_t>(v >> 8);
        return *this;
    }
};
static_assert(sizeof(le16) == 2 && alignof(le16) == 1, "le16 must be two plain bytes");

// One message slot: type, speed, 7-digit Id, tone, text area.
#define KESTRIN_SLOT(name, textLen) \
    uint8_t name##Type;             \
    uint8_t name##Speed;            \
    char name##Id[7];               \
    uint8_t name##Tone;             \
    char name##Msg[textLen]

#pragma pack(push, 1)
struct cfgStUnpacked {
    KESTRIN_SLOT(PMsgAccelerometerOFF, 22);
    KESTRIN_SLOT(PMsgAccelerometerON, 22);
    KESTRIN_SLOT(PMsgBtryLow, 22);
    KESTRIN_SLOT(PMsgBtryShutDown, 22);
    KESTRIN_SLOT(PMsgButton, 54);
    KESTRIN_SLOT(PMsgCord, 54);
    KESTRIN_SLOT(PMsgFall, 54);
    KESTRIN_SLOT(PMsgReedActivated, 22);
    KESTRIN_SLOT(PMsgReset, 22);
    KESTRIN_SLOT(PMsgTest, 22);
    uint8_t BtnRepCnt;
    le16 BtnRepTmr;
    le16 CordRepTmr;
    uint8_t CordRepTmrInc;
    uint8_t FallRepCnt;
    le16 FallRepTmr;
    uint8_t FallRepTmrInc;
    uint8_t RstMsgEnable;
    uint8_t RstMsgSuppress;
    le16 TestRepTmr;
    uint8_t Lis302Allowed;
    le16 LowerThreshold;
    le16 LowerSamples;
    le16 LowerSampleTimeout;
    le16 UpperThreshold;
    le16 UpperSamples;
    le16 UpperSampleTimeout;
    le16 StableThreshold;
    le16 StableSamples;
    le16 StableSampleTimeout;
    le16 AxisThreshold;
    uint8_t TxF0;
    uint8_t TxF1;
    uint8_t TxF2;
    uint8_t ManDownLvl;
    uint8_t ManDownSamples;
    int8_t TxFAdjust;
    le16 BtryDiff;
    le16 BtryLevel;
    uint8_t BtryMsgRepCnt;
    le16 BtryMsgRepTmr;
    uint8_t BtryTxCntLimit;
    uint8_t PreambleCnt;
    uint8_t PostambleCnt;
};
#pragma pack(pop)
#undef KESTRIN_SLOT

constexpr std::size_t kImageSize = 512;

union eeprom_union {
    uint8_t raw[kImageSize];
    cfgStUnpacked cfg;
};
static_assert(sizeof(eeprom_union) == kImageSize, "the image is 512 bytes");
static_assert(sizeof(cfgStUnpacked) == 467, "fields end at offset 467");

#define KESTRIN_AT(field, off) \
    static_assert(offsetof(cfgStUnpacked, field) == (off), #field " is at offset " #off)
#define KESTRIN_SLOT_AT(name, off)     \
    KESTRIN_AT(name##Type, (off));      \
    KESTRIN_AT(name##Speed, (off) + 1); \
    KESTRIN_AT(name##Id, (off) + 2);    \
    KESTRIN_AT(name##Tone, (off) + 9);  \
    KESTRIN_AT(name##Msg, (off) + 10)
KESTRIN_SLOT_AT(PMsgAccelerometerOFF, 0);
KESTRIN_SLOT_AT(PMsgAccelerometerON, 32);
KESTRIN_SLOT_AT(PMsgBtryLow, 64);
KESTRIN_SLOT_AT(PMsgBtryShutDown, 96);
KESTRIN_SLOT_AT(PMsgButton, 128);
KESTRIN_SLOT_AT(PMsgCord, 192);
KESTRIN_SLOT_AT(PMsgFall, 256);
KESTRIN_SLOT_AT(PMsgReedActivated, 320);
KESTRIN_SLOT_AT(PMsgReset, 352);
KESTRIN_SLOT_AT(PMsgTest, 384);
KESTRIN_AT(BtnRepCnt, 416);
KESTRIN_AT(BtnRepTmr, 417);
KESTRIN_AT(CordRepTmr, 419);
KESTRIN_AT(CordRepTmrInc, 421);
KESTRIN_AT(FallRepCnt, 422);
KESTRIN_AT(FallRepTmr, 423);
KESTRIN_AT(FallRepTmrInc, 425);
KESTRIN_AT(RstMsgEnable, 426);
KESTRIN_AT(RstMsgSuppress, 427);
KESTRIN_AT(TestRepTmr, 428);
KESTRIN_AT(Lis302Allowed, 430);
KESTRIN_AT(LowerThreshold, 431);
KESTRIN_AT(LowerSamples, 433);
KESTRIN_AT(LowerSampleTimeout, 435);
KESTRIN_AT(UpperThreshold, 437);
KESTRIN_AT(UpperSamples, 439);
KESTRIN_AT(UpperSampleTimeout, 441);
KESTRIN_AT(StableThreshold, 443);
KESTRIN_AT(StableSamples, 445);
KESTRIN_AT(StableSampleTimeout, 447);
KESTRIN_AT(AxisThreshold, 449);
KESTRIN_AT(TxF0, 451);
KESTRIN_AT(TxF1, 452);
KESTRIN_AT(TxF2, 453);
KESTRIN_AT(ManDownLvl, 454);
KESTRIN_AT(ManDownSamples, 455);
KESTRIN_AT(TxFAdjust, 456);
KESTRIN_AT(BtryDiff, 457);
KESTRIN_AT(BtryLevel, 459);
KESTRIN_AT(BtryMsgRepCnt, 461);
KESTRIN_AT(BtryMsgRepTmr, 462);
KESTRIN_AT(BtryTxCntLimit, 464);
KESTRIN_AT(PreambleCnt, 465);
KESTRIN_AT(PostambleCnt, 466);
#undef KESTRIN_SLOT_AT
#undef KESTRIN_AT

// Where each message slot lies in the image, for code that walks all ten.
struct SlotPlace {
    std::size_t offset;
    std::size_t textLen;
};
namespace slot {
constexpr SlotPlace AccelerometerOFF{0, 22}, AccelerometerON{32, 22}, BtryLow{64, 22},
    BtryShutDown{96, 22}, Button{128, 54}, Cord{192, 54}, Fall{256, 54}, ReedActivated{320, 22},
    Reset{352, 22}, Test{384, 22};
}  // namespace slot
constexpr std::size_t kSlotIdOffset = 2, kSlotIdLen = 7, kSlotToneOffset = 9, kSlotTextOffset = 10;

// The working record: message records as ready-made byte strings (type,
// speed, 7 Id digits, tone, text; no padding, no terminator) and the numeric
// settings in device units.
struct Config {
    std::string PMsgBtryLow;
    std::string PMsgBtryShutDown;
    std::string PMsgButton;
    std::string PMsgCord;
    std::string PMsgFall;
    std::string PMsgFallOn;
    std::string PMsgFallOff;
    std::string PMsgReedActivated;
    std::string PMsgTest;
    std::string PMsgReset;
    uint16_t BtnRepTmr = 0;
    uint8_t BtnRepCnt = 0;
    uint16_t CordRepTmr = 0;
    uint8_t CordRepTmrInc = 0;
    uint8_t FallRepNum = 0;
    uint16_t FallRepTmr = 0;
    uint8_t FallRepTmrInc = 0;
    uint16_t TestRepTmr = 0;
    uint8_t accOn = 0;
    uint16_t lowerThresh = 0, lowerCount = 0, lowerTimeout = 0;
    uint16_t upperThresh = 0, upperCount = 0, upperTimeout = 0;
    uint16_t stableThresh = 0, stableCount = 0, stableTimeout = 0;
    uint16_t angle = 0;
    uint32_t freq = 0;
    uint32_t freqNum = 0;
};
using cfgSt2 = Config;

}  // namespace kestrin

// Process-wide working record and device image.
extern kestrin::Config EEPROM;
extern kestrin::eeprom_union eeprom;
