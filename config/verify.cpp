#include "config/verify.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "config/codes.h"
#include "config/form.h"
#include "pages/frequency.h"
#include "pages/readouts.h"

namespace kestrin {

namespace {

struct Record {
    uint8_t type = 0, speed = 0, tone = 0;
    std::string id, text;
};

// A record of the run: type, speed, seven Id digits, tone, text.
Record FromSent(const std::string& r, std::size_t textLen) {
    Record out;
    auto at = [&](std::size_t i) { return i < r.size() ? static_cast<uint8_t>(r[i]) : 0; };
    out.type = at(0);
    out.speed = at(1);
    out.id = r.size() > kSlotIdOffset ? r.substr(kSlotIdOffset, kSlotIdLen) : std::string();
    out.tone = at(kSlotToneOffset);
    // What the slot can take of it: the transmitter keeps no more.
    out.text = r.size() > kSlotTextOffset ? r.substr(kSlotTextOffset, textLen) : std::string();
    return out;
}

std::string UpToNul(const uint8_t* p, std::size_t n) {
    const void* nul = std::memchr(p, 0, n);
    return std::string(reinterpret_cast<const char*>(p),
                       nul ? static_cast<const uint8_t*>(nul) - p : n);
}

Record FromImage(const eeprom_union& im, SlotPlace s) {
    const uint8_t* p = im.raw + s.offset;
    Record out;
    out.type = p[0];
    out.speed = p[1];
    out.id = std::string(reinterpret_cast<const char*>(p + kSlotIdOffset), kSlotIdLen);
    out.tone = p[kSlotToneOffset];
    out.text = UpToNul(p + kSlotTextOffset, s.textLen);
    return out;
}

std::string Quoted(const std::string& s) { return "\"" + s + "\""; }

std::string CodeName(uint8_t code, const std::vector<std::string>& names, const char* codes) {
    for (std::size_t i = 0; codes[i]; ++i)
        if (code == static_cast<uint8_t>(codes[i]) && i < names.size()) return names[i];
    char buf[16];
    std::snprintf(buf, sizeof buf, "code 0x%02X", code);
    return buf;
}

std::string TypeName(uint8_t c) { return CodeName(c, kTypeItems, "AN"); }
std::string SpeedName(uint8_t c) {
    return CodeName(c, {"512 baud", "1200 baud", "2400 baud"}, "NFV");
}
std::string ToneName(uint8_t c) { return CodeName(c, kToneItems, "ABCD"); }

std::string IdText(const std::string& id) {
    std::string out;
    for (char c : id) out += (c >= '0' && c <= '9') ? std::string(1, c) : "?";
    return out;
}

class Comparison {
  public:
    explicit Comparison(std::vector<Difference>& out) : out_(out) {}

    template <typename T, typename Words>
    void Check(const std::string& setting, T sent, T held, Words words) {
        if (sent != held) out_.push_back({setting, words(sent), words(held)});
    }

    void Record(const std::string& group, const kestrin::Record& s, const kestrin::Record& h) {
        Check(group + ", message type", s.type, h.type, TypeName);
        Check(group + ", baud rate", s.speed, h.speed, SpeedName);
        Check(group + ", Cap Code", s.id, h.id, IdText);
        Check(group + ", tone", s.tone, h.tone, ToneName);
        Check(group + ", message text", s.text, h.text, Quoted);
    }

  private:
    std::vector<Difference>& out_;
};

std::string Seconds(uint16_t ticks) {
    return std::to_string(TicksToSeconds(ticks)) + " s (" + std::to_string(ticks) + " ticks)";
}

std::string Flag(uint8_t v) { return v ? "on" : "off"; }

// The read-out the form would show, with the stored number, because two
// numbers can share a read-out.
std::string Readout(SliderId s, int position, unsigned value) {
    return SliderReadout(s, position) + " (" + std::to_string(value) + ")";
}

std::string TestInterval(uint16_t ticks) {
    const long total = std::lround(ticks * 4.2209);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%ld h %02ld min %02ld s (%u ticks)", total / 3600,
                  total % 3600 / 60, total % 60, ticks);
    return buf;
}

std::string ModeName(unsigned mode) {
    return mode < kModeItems.size() ? kModeItems[mode] : "mode " + std::to_string(mode);
}

std::string Synth(uint32_t word) {
    const uint32_t f =
        SynthWordToFreq(static_cast<uint8_t>(word & 0xFF), static_cast<uint8_t>((word >> 8) & 0xFF),
                        static_cast<uint8_t>((word >> 16) & 0xFF));
    char buf[64];
    std::snprintf(buf, sizeof buf, "%s (word %06X)", FormatFreq(f).c_str(), word & 0xFFFFFF);
    return buf;
}

}  // namespace

std::vector<Difference> CompareWithImage(const Config& sent, uint8_t manDownLvl,
                                         uint8_t manDownSamples, const eeprom_union& held) {
    std::vector<Difference> out;
    Comparison c(out);
    const cfgStUnpacked& h = held.cfg;

    struct Slot {
        const std::string* record;
        SlotPlace place;
        std::string group;
    };
    const Slot slots[] = {
        {&sent.PMsgButton, slot::Button, kMessages[kButton].group},
        {&sent.PMsgCord, slot::Cord, kMessages[kCord].group},
        {&sent.PMsgReedActivated, slot::ReedActivated, kMessages[kReed].group},
        {&sent.PMsgBtryLow, slot::BtryLow, kMessages[kBatLow].group},
        {&sent.PMsgBtryShutDown, slot::BtryShutDown, kMessages[kBatShut].group},
        {&sent.PMsgFall, slot::Fall, kMessages[kFall].group},
        {&sent.PMsgTest, slot::Test, kMessages[kTest].group},
        {&sent.PMsgReset, slot::Reset, kMessages[kReset].group},
        // The form offers only the texts of these two; the rest of the
        // record still travels and is stored.
        {&sent.PMsgFallOn, slot::AccelerometerON, "Fall detector Activated"},
        {&sent.PMsgFallOff, slot::AccelerometerOFF, "Fall detector Disabled"},
    };
    for (const Slot& s : slots)
        c.Record(s.group, FromSent(*s.record, s.place.textLen), FromImage(held, s.place));

    const std::string button = kMessages[kButton].group, cord = kMessages[kCord].group,
                      fall = kMessages[kFall].group;
    c.Check(button + ", Number of Repeats", static_cast<int>(sent.BtnRepCnt) - 1,
            static_cast<int>(h.BtnRepCnt) - 1, [](int v) { return std::to_string(v); });
    c.Check<uint16_t>(button + ", Repeat Time", sent.BtnRepTmr, h.BtnRepTmr, Seconds);
    c.Check<uint16_t>(cord + ", Repeat Time", sent.CordRepTmr, h.CordRepTmr, Seconds);
    c.Check<uint8_t>(cord + ", Increase time per repeat", sent.CordRepTmrInc, h.CordRepTmrInc,
                     Flag);
    c.Check<unsigned>(fall + ", Number of Repeats", sent.FallRepNum, h.FallRepCnt, [](unsigned v) {
        const int i = FallRepeatIndex(static_cast<uint8_t>(v));
        return FallRepeatCode(i) == v ? kFallRepeatNumItems[i] + " (" + std::to_string(v) + ")"
                                      : "code " + std::to_string(v);
    });
    c.Check<uint16_t>(fall + ", Repeat Time", sent.FallRepTmr, h.FallRepTmr, Seconds);
    c.Check<uint8_t>(fall + ", Increase time per repeat", sent.FallRepTmrInc, h.FallRepTmrInc,
                     Flag);
    c.Check<uint16_t>(std::string(kMessages[kTest].group) + ", Repeat Time", sent.TestRepTmr,
                      h.TestRepTmr, TestInterval);

    // Sent as the digit '0'..'2', stored as the number 0..2.
    const unsigned sentMode = sent.accOn >= '0' ? static_cast<unsigned>(sent.accOn - '0') : 255u;
    c.Check<unsigned>("Detection mode", sentMode, h.Lis302Allowed, ModeName);

    struct Value {
        const char* setting;
        SliderId slider;
        uint16_t sent, held;
    };
    const Value values[] = {
        {"Freefall Detection, Threshold", kSliderFreeFallThresh, sent.lowerThresh,
         h.LowerThreshold},
        {"Freefall Detection, Time Beneath", kSliderFreeFallTime, sent.lowerCount, h.LowerSamples},
        {"Freefall Detection, Timeout", kSliderFreeFallTimeout, sent.lowerTimeout,
         h.LowerSampleTimeout},
        {"Shock Detection, Threshold", kSliderShockThresh, sent.upperThresh, h.UpperThreshold},
        {"Shock Detection, Time Above", kSliderShockTime, sent.upperCount, h.UpperSamples},
        {"Shock Detection, Timeout", kSliderShockTimeout, sent.upperTimeout, h.UpperSampleTimeout},
        {"Stability, Threshold", kSliderStabilityThresh, sent.stableThresh, h.StableThreshold},
        {"Stability, Time Stable", kSliderStabilityTime, sent.stableCount, h.StableSamples},
        {"Stability, Timeout", kSliderStabilityTimeout, sent.stableTimeout, h.StableSampleTimeout},
        {"Tilt", kSliderAngle, sent.angle, h.AxisThreshold},
    };
    for (const Value& v : values) {
        const SliderId s = v.slider;
        c.Check<uint16_t>(v.setting, v.sent, v.held, [s](uint16_t x) {
            int position = 0;
            if (s == kSliderAngle)
                position = AnglePosition(x);
            else if (s == kSliderFreeFallThresh || s == kSliderShockThresh ||
                     s == kSliderStabilityThresh)
                position = ThresholdPosition(x);
            else
                position = DurationPosition(s, x);
            return Readout(s, position, x);
        });
    }

    const uint32_t heldWord = h.TxF0 | (h.TxF1 << 8) | (h.TxF2 << 16);
    c.Check<uint32_t>("Frequency", sent.freqNum & 0xFFFFFF, heldWord, Synth);
    c.Check<uint8_t>("Man Down, Movement Required to Prevent Alarm", manDownLvl, h.ManDownLvl,
                     [](uint8_t v) { return Readout(kSliderManMove, v, v); });
    c.Check<uint8_t>("Man Down, Stationary Timeout", manDownSamples, h.ManDownSamples,
                     [](uint8_t v) { return Readout(kSliderManSamples, v, v); });
    return out;
}

std::string DifferenceLine(const Difference& d) {
    return d.setting + ": sent " + d.sent + ", transmitter holds " + d.held;
}

std::vector<std::string> DifferenceLines(const std::vector<Difference>& all, std::size_t maxLines) {
    std::vector<std::string> lines;
    const std::size_t shown = all.size() <= maxLines ? all.size() : maxLines - 1;
    for (std::size_t i = 0; i < shown; ++i) lines.push_back(DifferenceLine(all[i]));
    if (shown < all.size()) lines.push_back("and " + std::to_string(all.size() - shown) + " more");
    return lines;
}

}  // namespace kestrin
