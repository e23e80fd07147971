// A plain snapshot of every value the form holds. Encoding, configuration
// files, the report and the read-back all speak this; the window only copies
// it to and from its controls.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace kestrin {

// The eight paging-message blocks, in the order the form shows them.
enum Msg : int { kButton, kCord, kReed, kBatLow, kBatShut, kFall, kTest, kReset, kMsgCount };

struct MessageInfo {
    const char* prefix;       // member prefix and configuration-file section
    const char* group;        // group box label
    const char* defaultText;  // text restored for "AlphaNumeric"
    int maxLen;               // text length limit
};
extern const std::array<MessageInfo, kMsgCount> kMessages;

// The thirteen sliders, in identifier order (ID_SLIDER1 .. ID_SLIDER13), which
// is also the order the loaders replay their notifications in.
enum SliderId : int {
    kSliderFreq,
    kSliderAngle,
    kSliderFreeFallThresh,
    kSliderFreeFallTime,
    kSliderFreeFallTimeout,
    kSliderShockThresh,
    kSliderShockTime,
    kSliderShockTimeout,
    kSliderStabilityThresh,
    kSliderStabilityTime,
    kSliderStabilityTimeout,
    kSliderManMove,
    kSliderManSamples,
    kSliderCount
};

struct SliderSpec {
    const char* name;  // member name without "Slider_"
    int min, max;
    int initial;  // value given at construction (may lie below min)
    int preset;   // sensitivity preset position, or -1 when not a fall slider
};
extern const std::array<SliderSpec, kSliderCount> kSliders;

// The ten fall sliders in the order the sensitivity preset refreshes them.
extern const std::array<SliderId, 10> kPresetOrder;

// Item texts of the choices and the radio box.
extern const std::vector<std::string> kTypeItems;        // "AlphaNumeric", "Numeric"
extern const std::vector<std::string> kSpeedItems;       // "512", "1200"
extern const std::string kSpeed2400Item;                 // shown only for a read-back code V
extern const std::vector<std::string> kToneItems;        // "A".."D"
extern const std::vector<std::string> kRepeatTimeItems;  // "5".."60" seconds
extern const std::vector<std::string> kFallRepeatNumItems;  // "0".."10","Inf"
extern const std::vector<std::string> kSensitivityItems;    // "Low","Medium","High"
extern const std::vector<std::string> kModeItems;  // "None","Fall Detection","Man Down"

constexpr int kSpeed2400 = 2;  // speed index of code V

struct MessageForm {
    int type = 0;   // 0 AlphaNumeric, 1 Numeric
    int speed = 1;  // 0 "512", 1 "1200", 2 "2400" (only ever from a read-back)
    std::string id = "0100000";  // Cap Code text as typed
    int tone = 0;                // 0..3 = A..D
    std::string text;            // 8-bit (Windows-1252) text as typed
};

struct FormSnapshot {
    std::array<MessageForm, kMsgCount> msg;
    std::string fallOn = "Fall Detection On!";
    std::string fallOff = "Fall Detection Off!";
    int buttonRepeats = 0;     // SpinCtrl_ButtonRepeat, 0..4
    int buttonRepeatTime = 1;  // Choice_ButtonRepeat index
    int cordRepeatTime = 1;    // Choice_CordRepeat index
    bool cordIncTime = true;
    int fallRepeatTime = 1;  // Choice_FallRepeat index
    int fallRepeatNum = 0;   // Choice_FallRepeatNum index
    bool fallIncTime = true;
    int testHour = 0, testMin = 0, testSec = 0;
    std::array<int, kSliderCount> slider{};  // positions
    int mode = 0;                            // RadioBox1: 0 None, 1 Fall Detection, 2 Man Down
    uint32_t freq = 433000000;               // working frequency, Hz
};

// The form as the window shows it once built: construction values plus the
// sensitivity preset.
FormSnapshot StartupForm();

}  // namespace kestrin
