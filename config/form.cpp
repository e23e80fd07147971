#include "config/form.h"

namespace kestrin {

const std::array<MessageInfo, kMsgCount> kMessages = {{
    {"Button", "Button Pressed", "PANIC BUTTON ALARM !!", 54},
    {"Cord", "Pull Cord Removed", "NECKLACE BUTTON ALARM !!", 54},
    {"Reed", "Magnet Wand Touched to Kestrin", "Reed Switch Activated", 22},
    {"BatLow", "Battery Low", "BATTERY LOW !!", 22},
    {"BatShut", "Battery Shutdown", "BATTERY SHUTDOWN !!", 22},
    {"Fall", "Fall Detected Message", "FALL DETECTED !!", 54},
    {"Test", "Test Call", "TEST CALL!!", 22},
    {"Reset", "Reset Message", "DEVICE HAS RESET!", 22},
}};

const std::array<SliderSpec, kSliderCount> kSliders = {{
    {"Freq", -44, 44, 0, -1},
    {"Angle", 0, 100, 0, 63},
    {"FreeFallThresh", 30, 100, 0, 80},
    {"FreeFallTime", 1, 20, 0, 5},
    {"FreeFallTimeout", 1, 25, 0, 10},
    {"ShockThresh", 110, 200, 0, 180},
    {"ShockTime", 1, 20, 0, 5},
    {"ShockTimeout", 1, 200, 0, 100},
    {"StabilityThresh", 100, 150, 0, 105},
    {"StabilityTime", 1, 150, 0, 13},
    {"StabilityTimeout", 1, 300, 0, 200},
    {"ManMove", 2, 22, 8, -1},
    {"ManSamples", 0, 255, 120, -1},
}};

const std::array<SliderId, 10> kPresetOrder = {
    kSliderAngle,         kSliderFreeFallThresh,  kSliderFreeFallTime, kSliderFreeFallTimeout,
    kSliderShockThresh,   kSliderShockTime,       kSliderShockTimeout, kSliderStabilityThresh,
    kSliderStabilityTime, kSliderStabilityTimeout};

const std::vector<std::string> kTypeItems = {"AlphaNumeric", "Numeric"};
const std::vector<std::string> kSpeedItems = {"512", "1200"};
const std::string kSpeed2400Item = "2400";
const std::vector<std::string> kToneItems = {"A", "B", "C", "D"};
const std::vector<std::string> kRepeatTimeItems = {"5", "10", "20", "30", "45", "60"};
const std::vector<std::string> kFallRepeatNumItems = {"0", "1", "2",  "3",  "4",
                                                      "5", "7", "10", "Inf"};
const std::vector<std::string> kSensitivityItems = {"Low", "Medium", "High"};
const std::vector<std::string> kModeItems = {"None", "Fall Detection", "Man Down"};

FormSnapshot StartupForm() {
    FormSnapshot f;
    for (int m = 0; m < kMsgCount; ++m) f.msg[m].text = kMessages[m].defaultText;
    for (int s = 0; s < kSliderCount; ++s) {
        const SliderSpec& def = kSliders[s];
        f.slider[s] = def.preset >= 0 ? def.preset : def.initial;
    }
    return f;
}

}  // namespace kestrin
