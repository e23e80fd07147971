#include "config/describe.h"

#include <cstdio>

#include "pages/frequency.h"
#include "pages/readouts.h"

namespace kestrin {

namespace {

std::string Item(const std::vector<std::string>& items, int index) {
    return index >= 0 && static_cast<std::size_t>(index) < items.size()
               ? items[index]
               : "item " + std::to_string(index);
}

std::string Message(const MessageForm& m) {
    const std::string speed = m.speed == kSpeed2400 ? kSpeed2400Item : Item(kSpeedItems, m.speed);
    return Item(kTypeItems, m.type) + ", " + speed + " baud, Cap Code " + m.id + ", tone " +
           Item(kToneItems, m.tone) + ", \"" + m.text + "\"";
}

std::string Seconds(int index) { return Item(kRepeatTimeItems, index) + " s"; }
std::string OnOff(bool on) { return on ? "on" : "off"; }

}  // namespace

std::vector<SettingLine> DescribeForm(const FormSnapshot& f) {
    std::vector<SettingLine> out;
    std::string page;
    const auto add = [&](const std::string& setting, const std::string& value) {
        out.push_back({page, setting, value});
    };
    const auto message = [&](Msg m) { add(kMessages[m].group, Message(f.msg[m])); };
    const std::string button = kMessages[kButton].group, cord = kMessages[kCord].group,
                      fall = kMessages[kFall].group, test = kMessages[kTest].group;

    page = "Messages";
    message(kButton);
    add(button + ", Number of Repeats", std::to_string(f.buttonRepeats));
    add(button + ", Repeat Time", Seconds(f.buttonRepeatTime));
    message(kCord);
    add(cord + ", Repeat Time", Seconds(f.cordRepeatTime));
    add(cord + ", Increase time per repeat", OnOff(f.cordIncTime));
    message(kReed);
    add("Fall detector, Activated", "\"" + f.fallOn + "\"");
    add("Fall detector, Disabled", "\"" + f.fallOff + "\"");
    message(kBatLow);
    message(kBatShut);

    page = "Fall detection";
    message(kFall);
    add(fall + ", Number of Repeats", Item(kFallRepeatNumItems, f.fallRepeatNum));
    add(fall + ", Repeat Time", Seconds(f.fallRepeatTime));
    add(fall + ", Increase time per repeat", OnOff(f.fallIncTime));
    add("Detection mode", Item(kModeItems, f.mode));
    const struct {
        const char* setting;
        SliderId slider;
    } sliders[] = {
        {"Freefall Detection, Threshold", kSliderFreeFallThresh},
        {"Freefall Detection, Time Beneath", kSliderFreeFallTime},
        {"Freefall Detection, Timeout", kSliderFreeFallTimeout},
        {"Shock Detection, Threshold", kSliderShockThresh},
        {"Shock Detection, Time Above", kSliderShockTime},
        {"Shock Detection, Timeout", kSliderShockTimeout},
        {"Stability, Threshold", kSliderStabilityThresh},
        {"Stability, Time Stable", kSliderStabilityTime},
        {"Stability, Timeout", kSliderStabilityTimeout},
        {"Tilt", kSliderAngle},
        {"Man Down, Movement Required to Prevent Alarm", kSliderManMove},
        {"Man Down, Stationary Timeout", kSliderManSamples},
    };
    for (const auto& s : sliders) add(s.setting, SliderReadout(s.slider, f.slider[s.slider]));

    page = "Testing";
    message(kTest);
    char interval[64];
    std::snprintf(interval, sizeof interval, "%d h %02d min %02d s", f.testHour, f.testMin,
                  f.testSec);
    add(test + ", Repeat Time", interval);
    message(kReset);

    // The tuning correction is left out: no configuration file holds it and
    // a programming run does not send it.
    page = "Frequency Setup";
    add("Frequency", FormatFreq(f.freq));
    return out;
}

std::vector<SettingChange> CompareForms(const FormSnapshot& a, const FormSnapshot& b) {
    const std::vector<SettingLine> x = DescribeForm(a), y = DescribeForm(b);
    std::vector<SettingChange> out;
    for (std::size_t i = 0; i < x.size() && i < y.size(); ++i)
        if (x[i].value != y[i].value) out.push_back({x[i].setting, x[i].value, y[i].value});
    return out;
}

}  // namespace kestrin
