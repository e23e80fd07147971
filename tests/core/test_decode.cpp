#include <gtest/gtest.h>

#include <cstring>

#include "config/decode.h"
#include "config/encode.h"
#include "pages/frequency.h"

namespace kestrin {
namespace {

// Writes a message record into its slot as the transmitter keeps it: the
// record's bytes, then filler up to the end of the text area.
void PutRecord(eeprom_union& image, SlotPlace place, const std::string& record,
               uint8_t filler = 0) {
    const std::size_t size = kSlotTextOffset + place.textLen;
    ASSERT_LE(record.size(), size);
    std::memset(image.raw + place.offset, filler, size);
    std::memcpy(image.raw + place.offset, record.data(), record.size());
}

void PutFreq(eeprom_union& image, uint32_t hz) {
    const uint32_t w = FreqToSynthWord(hz);
    image.cfg.TxF0 = static_cast<uint8_t>(w);
    image.cfg.TxF1 = static_cast<uint8_t>(w >> 8);
    image.cfg.TxF2 = static_cast<uint8_t>(w >> 16);
}

// What the transmitter holds after a programming run of cfg (and a tuning
// correction command for the given position).
eeprom_union Programmed(const Config& cfg, const eeprom_union& manDown, int correction) {
    eeprom_union image{};
    PutRecord(image, slot::AccelerometerOFF, cfg.PMsgFallOff);
    PutRecord(image, slot::AccelerometerON, cfg.PMsgFallOn);
    PutRecord(image, slot::BtryLow, cfg.PMsgBtryLow);
    PutRecord(image, slot::BtryShutDown, cfg.PMsgBtryShutDown);
    PutRecord(image, slot::Button, cfg.PMsgButton);
    PutRecord(image, slot::Cord, cfg.PMsgCord);
    PutRecord(image, slot::Fall, cfg.PMsgFall);
    PutRecord(image, slot::ReedActivated, cfg.PMsgReedActivated);
    PutRecord(image, slot::Reset, cfg.PMsgReset);
    PutRecord(image, slot::Test, cfg.PMsgTest);
    cfgStUnpacked& c = image.cfg;
    c.BtnRepCnt = cfg.BtnRepCnt;
    c.BtnRepTmr = cfg.BtnRepTmr;
    c.CordRepTmr = cfg.CordRepTmr;
    c.CordRepTmrInc = cfg.CordRepTmrInc;
    c.FallRepCnt = cfg.FallRepNum;
    c.FallRepTmr = cfg.FallRepTmr;
    c.FallRepTmrInc = cfg.FallRepTmrInc;
    c.TestRepTmr = cfg.TestRepTmr;
    c.Lis302Allowed = static_cast<uint8_t>(cfg.accOn - '0');
    c.LowerThreshold = cfg.lowerThresh;
    c.LowerSamples = cfg.lowerCount;
    c.LowerSampleTimeout = cfg.lowerTimeout;
    c.UpperThreshold = cfg.upperThresh;
    c.UpperSamples = cfg.upperCount;
    c.UpperSampleTimeout = cfg.upperTimeout;
    c.StableThreshold = cfg.stableThresh;
    c.StableSamples = cfg.stableCount;
    c.StableSampleTimeout = cfg.stableTimeout;
    c.AxisThreshold = cfg.angle;
    PutFreq(image, cfg.freq);
    c.ManDownLvl = manDown.cfg.ManDownLvl;
    c.ManDownSamples = manDown.cfg.ManDownSamples;
    c.TxFAdjust = static_cast<int8_t>(correction);
    return image;
}

TEST(Decode, HandBuiltImage) {
    eeprom_union image{};
    PutRecord(image, slot::AccelerometerOFF, "ZZ9999999Zoff text");
    PutRecord(image, slot::AccelerometerON, "ZZ9999999Zon text");
    PutRecord(image, slot::Button, "NF0100000BPANIC");
    PutRecord(image, slot::Cord, "AV0000123D" + std::string(54, 'c'));  // full area, no NUL
    PutRecord(image, slot::Fall, "xN2097151Efall");                     // unknown type and tone
    PutRecord(image, slot::BtryLow, std::string("AN12\0\0\0\0\0A", 10),
              0xFF);  // short Id, 0xFF filler
    cfgStUnpacked& c = image.cfg;
    c.BtnRepCnt = 1;
    c.BtnRepTmr = 3496;
    c.CordRepTmr = 1000;  // 18 s: not a choice
    c.CordRepTmrInc = 1;
    c.FallRepCnt = 11;
    c.FallRepTmr = 2613;
    c.FallRepTmrInc = 0;
    c.Lis302Allowed = 2;
    c.LowerThreshold = 4096;
    c.LowerSamples = 11;
    c.LowerSampleTimeout = 43;
    c.UpperThreshold = 16384;
    c.UpperSamples = 8;
    c.UpperSampleTimeout = 400;
    c.StableThreshold = 4515;
    c.StableSamples = 52;
    c.StableSampleTimeout = 800;
    c.AxisThreshold = 32;
    PutFreq(image, 455002500);
    c.ManDownLvl = 12;
    c.ManDownSamples = 200;
    image.raw[offsetof(cfgStUnpacked, TxFAdjust)] = 0xFF;

    FormSnapshot form = StartupForm();
    form.testHour = 3;
    form.testMin = 4;
    form.testSec = 5;
    DecodeImage(image, form);

    EXPECT_EQ(form.fallOff, "off text");
    EXPECT_EQ(form.fallOn, "on text");
    const MessageForm& button = form.msg[kButton];
    EXPECT_EQ(button.text, "PANIC");
    EXPECT_EQ(button.id, "0100000");
    EXPECT_EQ(button.type, 1);
    EXPECT_EQ(button.speed, 1);
    EXPECT_EQ(button.tone, 1);
    const MessageForm& cord = form.msg[kCord];
    EXPECT_EQ(cord.text, std::string(54, 'c'));
    EXPECT_EQ(cord.speed, kSpeed2400);
    EXPECT_EQ(cord.tone, 3);
    EXPECT_EQ(form.msg[kFall].type, 0);
    EXPECT_EQ(form.msg[kFall].tone, 0);
    EXPECT_EQ(form.msg[kFall].id, "2097151");
    const MessageForm& batLow = form.msg[kBatLow];
    EXPECT_EQ(batLow.id, "12");
    EXPECT_EQ(batLow.speed, 0);
    EXPECT_EQ(batLow.text, std::string(22, '\xFF'));  // filler is the device's; shown as it is
    // An all-zero slot decodes to empty texts and first entries.
    EXPECT_EQ(form.msg[kTest].text, "");
    EXPECT_EQ(form.msg[kTest].id, "");
    EXPECT_EQ(form.msg[kTest].speed, 0);

    EXPECT_EQ(form.buttonRepeats, 0);
    EXPECT_EQ(form.buttonRepeatTime, 5);
    EXPECT_EQ(form.cordRepeatTime, 0);
    EXPECT_EQ(form.fallRepeatTime, 4);
    EXPECT_TRUE(form.cordIncTime);
    EXPECT_FALSE(form.fallIncTime);
    EXPECT_EQ(form.fallRepeatNum, 7);
    EXPECT_EQ(form.mode, 2);

    EXPECT_EQ(form.slider[kSliderFreeFallThresh], 100);
    EXPECT_EQ(form.slider[kSliderShockThresh], 200);
    EXPECT_EQ(form.slider[kSliderStabilityThresh], 105);
    EXPECT_EQ(form.slider[kSliderFreeFallTime], 5);
    EXPECT_EQ(form.slider[kSliderFreeFallTimeout], 10);
    EXPECT_EQ(form.slider[kSliderShockTime], 4);
    EXPECT_EQ(form.slider[kSliderShockTimeout], 100);
    EXPECT_EQ(form.slider[kSliderStabilityTime], 13);
    EXPECT_EQ(form.slider[kSliderStabilityTimeout], 200);
    EXPECT_EQ(form.slider[kSliderAngle], 50);
    EXPECT_EQ(form.slider[kSliderFreq], -1);
    EXPECT_EQ(form.slider[kSliderManMove], 12);
    EXPECT_EQ(form.slider[kSliderManSamples], 200);
    EXPECT_EQ(form.freq, 455002500u);

    // The test-call time is not in the image.
    EXPECT_EQ(form.testHour, 3);
    EXPECT_EQ(form.testMin, 4);
    EXPECT_EQ(form.testSec, 5);
}

TEST(Decode, RepeatCountCodes) {
    struct Case {
        uint8_t fallRepCnt;
        int index;
    };
    for (const Case& c : std::initializer_list<Case>{
             {1, 0}, {6, 5}, {8, 6}, {11, 7}, {255, 8}, {0, 0}, {7, 0}, {12, 0}}) {
        eeprom_union image{};
        image.cfg.FallRepCnt = c.fallRepCnt;
        FormSnapshot form = StartupForm();
        form.fallRepeatNum = 3;
        DecodeImage(image, form);
        EXPECT_EQ(form.fallRepeatNum, c.index) << int(c.fallRepCnt);
    }
}

TEST(Decode, ValuesBeyondTheControlsAreBroughtWithinThem) {
    eeprom_union image;
    std::memset(image.raw, 0xFF, sizeof image.raw);
    image.cfg.TxFAdjust = 100;
    FormSnapshot form = StartupForm();
    DecodeImage(image, form);
    for (int s = 0; s < kSliderCount; ++s) {
        EXPECT_GE(form.slider[s], kSliders[s].min) << kSliders[s].name;
        EXPECT_LE(form.slider[s], kSliders[s].max) << kSliders[s].name;
    }
    EXPECT_EQ(form.slider[kSliderFreq], 44);
    EXPECT_EQ(form.slider[kSliderManMove], 22);
    EXPECT_EQ(form.buttonRepeats, 4);  // 255 transmissions
    EXPECT_EQ(form.mode, 0);

    std::memset(image.raw, 0, sizeof image.raw);
    image.cfg.TxFAdjust = -128;
    DecodeImage(image, form);
    for (int s = 0; s < kSliderCount; ++s)
        EXPECT_EQ(form.slider[s], kSliders[s].min) << kSliders[s].name;
    EXPECT_EQ(form.buttonRepeats, 0);  // BtnRepCnt 0
}

TEST(Decode, EncodedFormComesBack) {
    FormSnapshot form = StartupForm();
    for (int m = 0; m < kMsgCount; ++m) {
        MessageForm& msg = form.msg[m];
        msg.type = m % 2;
        msg.speed = (m + 1) % 3;
        msg.id = std::to_string(2000000 + 11111 * m);
        msg.tone = (m + 2) % 4;
        msg.text = std::string(kMessages[m].maxLen - m, static_cast<char>('a' + m));
    }
    form.msg[kReed].text = "Wand \xE9";
    form.fallOn = "On \x80";
    form.fallOff = std::string(22, 'f');
    form.buttonRepeats = 3;
    form.buttonRepeatTime = 5;
    form.cordRepeatTime = 0;
    form.cordIncTime = false;
    form.fallRepeatTime = 3;
    form.fallRepeatNum = 8;
    form.fallIncTime = true;
    form.mode = 1;
    form.freq = 469997500;
    const std::array<int, kSliderCount> positions = {-44, 50,  30,  20,  1, 199, 1,
                                                     200, 150, 150, 300, 2, 0};
    form.slider = positions;
    form.testHour = 2;

    Config cfg;
    cfg.freq = form.freq;
    eeprom_union manDown{};
    EncodeForm(form, cfg, manDown);
    FormSnapshot back = StartupForm();
    DecodeImage(Programmed(cfg, manDown, form.slider[kSliderFreq]), back);

    for (int m = 0; m < kMsgCount; ++m) {
        const MessageForm &a = form.msg[m], &b = back.msg[m];
        EXPECT_EQ(b.type, a.type) << m;
        EXPECT_EQ(b.speed, a.speed) << m;
        EXPECT_EQ(b.id, a.id) << m;
        EXPECT_EQ(b.tone, a.tone) << m;
        EXPECT_EQ(b.text, a.text) << m;
    }
    EXPECT_EQ(back.fallOn, form.fallOn);
    EXPECT_EQ(back.fallOff, form.fallOff);
    EXPECT_EQ(back.buttonRepeats, form.buttonRepeats);
    EXPECT_EQ(back.buttonRepeatTime, form.buttonRepeatTime);
    EXPECT_EQ(back.cordRepeatTime, form.cordRepeatTime);
    EXPECT_EQ(back.cordIncTime, form.cordIncTime);
    EXPECT_EQ(back.fallRepeatTime, form.fallRepeatTime);
    EXPECT_EQ(back.fallRepeatNum, form.fallRepeatNum);
    EXPECT_EQ(back.fallIncTime, form.fallIncTime);
    EXPECT_EQ(back.mode, form.mode);
    EXPECT_EQ(back.freq, form.freq);
    EXPECT_EQ(back.slider, form.slider);
    EXPECT_EQ(back.testHour, 0);  // not read back
}

}  // namespace
}  // namespace kestrin
