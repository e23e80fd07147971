#include "config/encode.h"

#include "config/codes.h"

namespace kestrin {

namespace {

// Type, speed, seven Id digits, tone, text. The text is cut to its slot's text
// area: a text set from a file can be longer than the control lets one type,
// and on the transmitter it would run into the next slot.
std::string Record(const MessageForm& m, const std::string& text, std::size_t textLen) {
    std::string r;
    r += TypeCode(m.type);
    r += SpeedCode(m.speed);
    r += CapCodeField(m.id);
    r += ToneCode(m.tone);
    r.append(text, 0, textLen);
    return r;
}

std::string Record(const FormSnapshot& form, Msg m) {
    return Record(form.msg[m], form.msg[m].text, static_cast<std::size_t>(kMessages[m].maxLen));
}

}  // namespace

void EncodeForm(const FormSnapshot& form, Config& cfg, eeprom_union& image) {
    const std::array<int, kSliderCount>& p = form.slider;

    cfg.PMsgButton = Record(form, kButton);
    cfg.BtnRepTmr = RepeatTicks(form.buttonRepeatTime);
    cfg.BtnRepCnt = static_cast<uint8_t>(form.buttonRepeats + 1);
    cfg.PMsgCord = Record(form, kCord);
    cfg.CordRepTmr = RepeatTicks(form.cordRepeatTime);
    cfg.CordRepTmrInc = FlagByte(form.cordIncTime);
    cfg.PMsgReedActivated = Record(form, kReed);
    cfg.PMsgBtryLow = Record(form, kBatLow);
    cfg.PMsgBtryShutDown = Record(form, kBatShut);
    cfg.PMsgReset = Record(form, kReset);
    cfg.PMsgTest = Record(form, kTest);
    cfg.PMsgFall = Record(form, kFall);
    if (const auto code = FallRepeatCode(form.fallRepeatNum)) cfg.FallRepNum = *code;
    cfg.FallRepTmr = RepeatTicks(form.fallRepeatTime);
    cfg.FallRepTmrInc = FlagByte(form.fallIncTime);
    // The on/off announcements have no settings of their own: they go out with
    // the magnet-wand message's.
    cfg.PMsgFallOn = Record(form.msg[kReed], form.fallOn, slot::AccelerometerON.textLen);
    cfg.PMsgFallOff = Record(form.msg[kReed], form.fallOff, slot::AccelerometerOFF.textLen);
    cfg.TestRepTmr = TestCallTicks(form.testHour, form.testMin, form.testSec);
    cfg.accOn = static_cast<uint8_t>(ModeDigit(form.mode));

    cfg.lowerThresh = ThresholdValue(p[kSliderFreeFallThresh]);
    cfg.lowerCount = DurationValue(kSliderFreeFallTime, p[kSliderFreeFallTime]);
    cfg.lowerTimeout = DurationValue(kSliderFreeFallTimeout, p[kSliderFreeFallTimeout]);
    cfg.upperThresh = ThresholdValue(p[kSliderShockThresh]);
    cfg.upperCount = DurationValue(kSliderShockTime, p[kSliderShockTime]);
    cfg.upperTimeout = DurationValue(kSliderShockTimeout, p[kSliderShockTimeout]);
    cfg.stableThresh = ThresholdValue(p[kSliderStabilityThresh]);
    cfg.stableCount = DurationValue(kSliderStabilityTime, p[kSliderStabilityTime]);
    cfg.stableTimeout = DurationValue(kSliderStabilityTimeout, p[kSliderStabilityTimeout]);
    cfg.angle = AngleValue(p[kSliderAngle]);

    image.cfg.ManDownLvl = static_cast<uint8_t>(p[kSliderManMove]);
    image.cfg.ManDownSamples = static_cast<uint8_t>(p[kSliderManSamples]);
}

}  // namespace kestrin
