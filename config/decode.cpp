#include "config/decode.h"

#include <algorithm>
#include <cstring>

#include "config/codes.h"
#include "pages/frequency.h"

namespace kestrin {

namespace {

// A fixed-size text field shown up to its first NUL; a full field has none.
std::string UpToNul(const uint8_t* bytes, std::size_t len) {
    const void* nul = std::memchr(bytes, 0, len);
    const std::size_t n = nul ? static_cast<const uint8_t*>(nul) - bytes : len;
    return std::string(reinterpret_cast<const char*>(bytes), n);
}

std::string SlotText(const eeprom_union& image, SlotPlace place) {
    return UpToNul(image.raw + place.offset + kSlotTextOffset, place.textLen);
}

void DecodeMessage(const eeprom_union& image, SlotPlace place, MessageForm& m) {
    const uint8_t* rec = image.raw + place.offset;
    m.text = SlotText(image, place);
    m.id = UpToNul(rec + kSlotIdOffset, kSlotIdLen);
    m.type = TypeIndex(rec[0]);
    m.speed = SpeedIndex(rec[1]);
    m.tone = ToneIndex(rec[kSlotToneOffset]);
}

void SetSlider(FormSnapshot& form, SliderId s, int position) {
    form.slider[s] = std::clamp(position, kSliders[s].min, kSliders[s].max);
}

}  // namespace

void DecodeImage(const eeprom_union& image, FormSnapshot& form) {
    const cfgStUnpacked& c = image.cfg;

    form.fallOff = SlotText(image, slot::AccelerometerOFF);
    form.fallOn = SlotText(image, slot::AccelerometerON);
    DecodeMessage(image, slot::BtryLow, form.msg[kBatLow]);
    DecodeMessage(image, slot::BtryShutDown, form.msg[kBatShut]);
    DecodeMessage(image, slot::Button, form.msg[kButton]);
    DecodeMessage(image, slot::Cord, form.msg[kCord]);
    DecodeMessage(image, slot::Fall, form.msg[kFall]);
    DecodeMessage(image, slot::ReedActivated, form.msg[kReed]);
    DecodeMessage(image, slot::Reset, form.msg[kReset]);
    DecodeMessage(image, slot::Test, form.msg[kTest]);

    form.buttonRepeats = std::clamp(c.BtnRepCnt - 1, 0, 4);
    form.buttonRepeatTime = RepeatIndexFromTicks(c.BtnRepTmr);
    form.cordRepeatTime = RepeatIndexFromTicks(c.CordRepTmr);
    form.fallRepeatTime = RepeatIndexFromTicks(c.FallRepTmr);
    form.cordIncTime = FlagSet(c.CordRepTmrInc);
    form.fallRepeatNum = FallRepeatIndex(c.FallRepCnt);
    form.fallIncTime = FlagSet(c.FallRepTmrInc);

    SetSlider(form, kSliderFreeFallThresh, ThresholdPosition(c.LowerThreshold));
    SetSlider(form, kSliderShockThresh, ThresholdPosition(c.UpperThreshold));
    SetSlider(form, kSliderStabilityThresh, ThresholdPosition(c.StableThreshold));
    SetSlider(form, kSliderAngle, AnglePosition(c.AxisThreshold));
    SetSlider(form, kSliderFreeFallTime, DurationPosition(kSliderFreeFallTime, c.LowerSamples));
    SetSlider(form, kSliderFreeFallTimeout,
              DurationPosition(kSliderFreeFallTimeout, c.LowerSampleTimeout));
    SetSlider(form, kSliderShockTime, DurationPosition(kSliderShockTime, c.UpperSamples));
    SetSlider(form, kSliderShockTimeout,
              DurationPosition(kSliderShockTimeout, c.UpperSampleTimeout));
    SetSlider(form, kSliderStabilityTime, DurationPosition(kSliderStabilityTime, c.StableSamples));
    SetSlider(form, kSliderStabilityTimeout,
              DurationPosition(kSliderStabilityTimeout, c.StableSampleTimeout));

    form.mode = ModeIndex(c.Lis302Allowed);
    form.freq = SynthWordToFreq(c.TxF0, c.TxF1, c.TxF2);
    SetSlider(form, kSliderFreq, c.TxFAdjust);
    SetSlider(form, kSliderManMove, c.ManDownLvl);
    SetSlider(form, kSliderManSamples, c.ManDownSamples);
}

}  // namespace kestrin
