#include <gtest/gtest.h>

#include "config/encode.h"

namespace kestrin {
namespace {

struct Encoded {
    Config cfg;
    eeprom_union image{};
};

Encoded Encode(const FormSnapshot& form) {
    Encoded e;
    EncodeForm(form, e.cfg, e.image);
    return e;
}

TEST(Encode, MessageRecordPieces) {
    FormSnapshot form = StartupForm();
    MessageForm& b = form.msg[kButton];
    b.type = 1;
    b.speed = 1;
    b.id = "0100000";
    b.tone = 1;
    b.text = "PANIC BUTTON ALARM !!";
    EXPECT_EQ(Encode(form).cfg.PMsgButton, "NF0100000BPANIC BUTTON ALARM !!");
    EXPECT_EQ(Encode(form).cfg.PMsgButton.size(), 31u);

    struct Case {
        int type, speed;
        const char* id;
        int tone;
        std::string text;
        std::string record;
    };
    for (const Case& c : std::initializer_list<Case>{
             // A short Cap Code keeps the tone at position 9 and the text at 10.
             {0, 1, "123", 0, "HELP", "AF0000123AHELP"},
             {0, 0, "", 3, "x", "AN0000000Dx"},
             {1, 0, "2097151", 2, "", "NN2097151C"},
             // 2400 baud only ever comes from a read-back and must survive it.
             {0, kSpeed2400, "0100000", 0, "", "AV0100000A"},
             // 8-bit text, the run's end marker byte included, goes as it is.
             {0, 1, "0100000", 0, "caf\xE9\x80", "AF0100000Acaf\xE9\x80"},
         }) {
        MessageForm& m = form.msg[kBatLow];
        m = {c.type, c.speed, c.id, c.tone, c.text};
        EXPECT_EQ(Encode(form).cfg.PMsgBtryLow, c.record) << c.id << "/" << c.text;
    }
    // The form keeps the Cap Code as typed.
    EXPECT_EQ(form.msg[kBatLow].id, "0100000");
}

TEST(Encode, EveryMessageGoesToItsRecord) {
    FormSnapshot form = StartupForm();
    for (int m = 0; m < kMsgCount; ++m) {
        form.msg[m].id = std::to_string(m + 1);
        form.msg[m].tone = m % 4;
    }
    const Config cfg = Encode(form).cfg;
    const std::pair<const std::string*, Msg> records[] = {{&cfg.PMsgButton, kButton},
                                                          {&cfg.PMsgCord, kCord},
                                                          {&cfg.PMsgReedActivated, kReed},
                                                          {&cfg.PMsgBtryLow, kBatLow},
                                                          {&cfg.PMsgBtryShutDown, kBatShut},
                                                          {&cfg.PMsgFall, kFall},
                                                          {&cfg.PMsgTest, kTest},
                                                          {&cfg.PMsgReset, kReset}};
    for (const auto& [record, m] : records) {
        const std::string expected =
            std::string("AF000000") + char('1' + m) + "ABCD"[m % 4] + kMessages[m].defaultText;
        EXPECT_EQ(*record, expected) << kMessages[m].prefix;
    }
}

TEST(Encode, OverlongTextIsCutToItsSlot) {
    FormSnapshot form = StartupForm();
    form.msg[kButton].text = std::string(60, 'b');
    form.msg[kTest].text = std::string(30, 't');
    form.fallOn = std::string(25, 'o');
    const Config cfg = Encode(form).cfg;
    EXPECT_EQ(cfg.PMsgButton.size(), 10u + 54u);
    EXPECT_EQ(cfg.PMsgTest.size(), 10u + 22u);
    EXPECT_EQ(cfg.PMsgFallOn.size(), 10u + 22u);
}

TEST(Encode, FallOnOffFollowTheMagnetWandSettings) {
    FormSnapshot form = StartupForm();
    EXPECT_EQ(Encode(form).cfg.PMsgFallOn, "AF0100000AFall Detection On!");
    EXPECT_EQ(Encode(form).cfg.PMsgFallOff, "AF0100000AFall Detection Off!");

    form.msg[kReed] = {1, 0, "42", 3, "wand text not used"};
    form.fallOff = "";
    const Config cfg = Encode(form).cfg;
    EXPECT_EQ(cfg.PMsgFallOn, "NN0000042DFall Detection On!");
    EXPECT_EQ(cfg.PMsgFallOff, "NN0000042D");
}

TEST(Encode, RepeatsAndFlags) {
    FormSnapshot form = StartupForm();
    const uint16_t ticks[] = {260, 554, 1143, 1731, 2613, 3496};
    for (int i = 0; i < 6; ++i) {
        form.buttonRepeatTime = i;
        form.cordRepeatTime = (i + 1) % 6;
        form.fallRepeatTime = (i + 2) % 6;
        const Config cfg = Encode(form).cfg;
        EXPECT_EQ(cfg.BtnRepTmr, ticks[i]);
        EXPECT_EQ(cfg.CordRepTmr, ticks[(i + 1) % 6]);
        EXPECT_EQ(cfg.FallRepTmr, ticks[(i + 2) % 6]);
    }

    form.buttonRepeats = 0;
    EXPECT_EQ(Encode(form).cfg.BtnRepCnt, 1);
    form.buttonRepeats = 4;
    EXPECT_EQ(Encode(form).cfg.BtnRepCnt, 5);

    form.cordIncTime = true;
    form.fallIncTime = false;
    Config cfg = Encode(form).cfg;
    EXPECT_EQ(cfg.CordRepTmrInc, 1);
    EXPECT_EQ(cfg.FallRepTmrInc, 0);
    form.cordIncTime = false;
    form.fallIncTime = true;
    cfg = Encode(form).cfg;
    EXPECT_EQ(cfg.CordRepTmrInc, 0);
    EXPECT_EQ(cfg.FallRepTmrInc, 1);

    const uint8_t fallCodes[] = {1, 2, 3, 4, 5, 6, 8, 11, 255};
    for (int i = 0; i < 9; ++i) {
        form.fallRepeatNum = i;
        EXPECT_EQ(Encode(form).cfg.FallRepNum, fallCodes[i]) << i;
    }
    // An index off the list leaves the field as it was.
    cfg.FallRepNum = 8;
    form.fallRepeatNum = 9;
    eeprom_union image{};
    EncodeForm(form, cfg, image);
    EXPECT_EQ(cfg.FallRepNum, 8);
}

TEST(Encode, TestCallAndMode) {
    FormSnapshot form = StartupForm();
    EXPECT_EQ(Encode(form).cfg.TestRepTmr, 0);
    form.testHour = 1;
    EXPECT_EQ(Encode(form).cfg.TestRepTmr, 852);
    form.testHour = 24;
    form.testMin = 59;
    form.testSec = 59;
    EXPECT_EQ(Encode(form).cfg.TestRepTmr, 21322);

    for (int mode = 0; mode <= 2; ++mode) {
        form.mode = mode;
        EXPECT_EQ(Encode(form).cfg.accOn, '0' + mode);
    }
}

TEST(Encode, FallDetectionSettings) {
    FormSnapshot form = StartupForm();
    form.slider[kSliderFreeFallThresh] = 30;
    form.slider[kSliderShockThresh] = 200;
    form.slider[kSliderStabilityThresh] = 100;
    form.slider[kSliderFreeFallTime] = 3;
    form.slider[kSliderFreeFallTimeout] = 25;
    form.slider[kSliderShockTime] = 20;
    form.slider[kSliderShockTimeout] = 200;
    form.slider[kSliderStabilityTime] = 150;
    form.slider[kSliderStabilityTimeout] = 300;
    form.slider[kSliderAngle] = 45;
    form.slider[kSliderManMove] = 22;
    form.slider[kSliderManSamples] = 255;
    const Encoded e = Encode(form);
    const Config& c = e.cfg;
    EXPECT_EQ(c.lowerThresh, 368);
    EXPECT_EQ(c.upperThresh, 16384);
    EXPECT_EQ(c.stableThresh, 4096);
    EXPECT_EQ(c.lowerCount, 6);
    EXPECT_EQ(c.lowerTimeout, 100);
    EXPECT_EQ(c.upperCount, 40);
    EXPECT_EQ(c.upperTimeout, 800);
    EXPECT_EQ(c.stableCount, 600);
    EXPECT_EQ(c.stableTimeout, 1200);
    EXPECT_EQ(c.angle, 29);
    EXPECT_EQ(e.image.cfg.ManDownLvl, 22);
    EXPECT_EQ(e.image.cfg.ManDownSamples, 255);
}

TEST(Encode, LeavesFrequencyAndTheRestOfTheImageAlone) {
    const FormSnapshot form = StartupForm();
    Config cfg;
    cfg.freq = 455000000;
    cfg.freqNum = 12345;
    cfg.PMsgButton = std::string(80, 'x');
    eeprom_union image;
    for (auto& b : image.raw) b = 0xA5;
    EncodeForm(form, cfg, image);
    EXPECT_EQ(cfg.freq, 455000000u);
    EXPECT_EQ(cfg.freqNum, 12345u);
    EXPECT_EQ(cfg.PMsgButton, "AF0100000APANIC BUTTON ALARM !!");
    EXPECT_EQ(image.cfg.ManDownLvl, 8);
    EXPECT_EQ(image.cfg.ManDownSamples, 120);
    for (std::size_t i = 0; i < kImageSize; ++i) {
        if (i == offsetof(cfgStUnpacked, ManDownLvl) ||
            i == offsetof(cfgStUnpacked, ManDownSamples))
            continue;
        ASSERT_EQ(image.raw[i], 0xA5) << "byte " << i;
    }
}

}  // namespace
}  // namespace kestrin
