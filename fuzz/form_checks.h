// What every control of the form can hold, and equality of two forms.
#pragma once

#include "config/form.h"
#include "fuzz/check.h"

namespace fuzz {

inline bool InRange(int v, int lo, int hi) { return v >= lo && v <= hi; }

inline void CheckForm(const kestrin::FormSnapshot& f) {
    using namespace kestrin;
    for (int m = 0; m < kMsgCount; ++m) {
        const MessageForm& msg = f.msg[m];
        FUZZ_CHECK(InRange(msg.type, 0, static_cast<int>(kTypeItems.size()) - 1));
        FUZZ_CHECK(InRange(msg.speed, 0, kSpeed2400));
        FUZZ_CHECK(InRange(msg.tone, 0, static_cast<int>(kToneItems.size()) - 1));
        FUZZ_CHECK(msg.id.size() <= 7);
        FUZZ_CHECK(msg.text.size() <= static_cast<std::size_t>(kMessages[m].maxLen));
    }
    FUZZ_CHECK(f.fallOn.size() <= 22 && f.fallOff.size() <= 22);
    FUZZ_CHECK(InRange(f.buttonRepeats, 0, 4));
    const int lastTime = static_cast<int>(kRepeatTimeItems.size()) - 1;
    FUZZ_CHECK(InRange(f.buttonRepeatTime, 0, lastTime));
    FUZZ_CHECK(InRange(f.cordRepeatTime, 0, lastTime));
    FUZZ_CHECK(InRange(f.fallRepeatTime, 0, lastTime));
    FUZZ_CHECK(InRange(f.fallRepeatNum, 0, static_cast<int>(kFallRepeatNumItems.size()) - 1));
    FUZZ_CHECK(InRange(f.testHour, 0, 24) && InRange(f.testMin, 0, 59) &&
               InRange(f.testSec, 0, 59));
    for (int s = 0; s < kSliderCount; ++s)
        FUZZ_CHECK(InRange(f.slider[s], kSliders[s].min, kSliders[s].max));
    FUZZ_CHECK(InRange(f.mode, 0, static_cast<int>(kModeItems.size()) - 1));
}

// Equal in everything a configuration file stores (all but the
// frequency-correction slider).
inline bool SameForm(const kestrin::FormSnapshot& a, const kestrin::FormSnapshot& b) {
    for (int s = 0; s < kestrin::kSliderCount; ++s) {
        if (s != kestrin::kSliderFreq && a.slider[s] != b.slider[s]) return false;
    }
    for (int m = 0; m < kestrin::kMsgCount; ++m) {
        const auto &x = a.msg[m], &y = b.msg[m];
        if (x.type != y.type || x.speed != y.speed || x.id != y.id || x.tone != y.tone ||
            x.text != y.text)
            return false;
    }
    return a.fallOn == b.fallOn && a.fallOff == b.fallOff && a.buttonRepeats == b.buttonRepeats &&
           a.buttonRepeatTime == b.buttonRepeatTime && a.cordRepeatTime == b.cordRepeatTime &&
           a.cordIncTime == b.cordIncTime && a.fallRepeatTime == b.fallRepeatTime &&
           a.fallRepeatNum == b.fallRepeatNum && a.fallIncTime == b.fallIncTime &&
           a.testHour == b.testHour && a.testMin == b.testMin && a.testSec == b.testSec &&
           a.mode == b.mode && a.freq == b.freq;
}

}  // namespace fuzz
