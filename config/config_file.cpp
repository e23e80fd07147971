#include "config/config_file.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

#include "config/texts.h"

namespace kestrin {

const char* const kProgrammingSoftware = "1.8.3 14/05/2015";

namespace {

constexpr int kFallTextLen = 22;  // TextCtrl_FallOn / TextCtrl_FallOff
constexpr int kCapCodeLen = 7;
constexpr int kButtonRepeatsMax = 4;
constexpr int kTestHourMax = 24;
constexpr int kTestMinSecMax = 59;

// Slider keys of the Accl section, in the order a new file lists them.
struct SliderKey {
    const char* key;
    SliderId slider;
};
constexpr SliderKey kFallSliderKeys[] = {
    {"FallThresh", kSliderFreeFallThresh},
    {"FallTime", kSliderFreeFallTime},
    {"FallTimeOut", kSliderFreeFallTimeout},
    {"ShockThresh", kSliderShockThresh},
    {"ShockTime", kSliderShockTime},
    {"ShockTimeOut", kSliderShockTimeout},
    {"StableThresh", kSliderStabilityThresh},
    {"StableTime", kSliderStabilityTime},
    {"StableTimeOut", kSliderStabilityTimeout},
    {"Angle", kSliderAngle},
};
constexpr SliderKey kManDownKeys[] = {
    {"ManMove", kSliderManMove},
    {"ManSamples", kSliderManSamples},
};

const char* const kConfigSections[] = {"Button", "Cord", "Reed", "BatLow", "BatShut",
                                       "Fall",   "Accl", "Test", "Reset",  "Freq"};

// Leading decimal number, as the C library reads it: an optional sign, then
// digits up to the first other character; 0 when there are none. Saturates
// instead of overflowing.
int64_t LeadingNumber(const std::string& s) {
    std::size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    int64_t v = 0;
    constexpr int64_t kLimit = INT64_C(1) << 40;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
        if (v < kLimit) v = v * 10 + (s[i] - '0');
    }
    return negative ? -v : v;
}

int Clamped(const std::string& s, int lo, int hi) {
    return static_cast<int>(std::clamp<int64_t>(LeadingNumber(s), lo, hi));
}

int LastIndex(const std::vector<std::string>& items) { return static_cast<int>(items.size()) - 1; }

std::string Cut(std::string s, int maxLen) {
    if (s.size() > static_cast<std::size_t>(maxLen)) s.resize(static_cast<std::size_t>(maxLen));
    return s;
}

// A Cap Code field holds at most seven digits; anything else would only be
// refused at programming time, so it is not carried into the form.
std::string CapCode(const std::string& s) {
    if (s.size() > static_cast<std::size_t>(kCapCodeLen)) return std::string();
    for (char c : s) {
        if (c < '0' || c > '9') return std::string();
    }
    return s;
}

std::string Num(int64_t v) { return std::to_string(v); }
std::string Flag(bool b) { return b ? "1" : "0"; }

// Texts may hold control bytes from a read-back; no INI line can carry a
// line break, so they are escaped (EncodeFileText).
void SetText(IniProfile& p, const char* section, const char* key, const std::string& text) {
    p.Set(section, key, EncodeFileText(text));
}
std::string GetText(const IniProfile& p, const char* section, const char* key) {
    return DecodeFileText(p.Get(section, key));
}

void WriteMessage(const MessageForm& m, const char* section, IniProfile& p) {
    p.Set(section, "Type", Num(m.type));
    p.Set(section, "Speed", Num(m.speed));
    SetText(p, section, "ID", m.id);
    p.Set(section, "Tone", Num(m.tone));
    SetText(p, section, "Text", m.text);
}

void ReadMessage(const IniProfile& p, int index, MessageForm& m) {
    const char* section = kMessages[index].prefix;
    m.type = Clamped(p.Get(section, "Type"), 0, LastIndex(kTypeItems));
    // 2400 baud comes only from a read-back, but a form holding it must
    // survive being saved and opened again; the window adds the item.
    m.speed = Clamped(p.Get(section, "Speed"), 0, kSpeed2400);
    m.id = CapCode(GetText(p, section, "ID"));
    m.tone = Clamped(p.Get(section, "Tone"), 0, LastIndex(kToneItems));
    m.text = Cut(GetText(p, section, "Text"), kMessages[index].maxLen);
}

}  // namespace

void WriteFormToProfile(const FormSnapshot& f, IniProfile& p) {
    p.Set("Version", "Programming Software", kProgrammingSoftware);

    WriteMessage(f.msg[kButton], "Button", p);
    p.Set("Button", "Repeats", Num(f.buttonRepeats));
    p.Set("Button", "Time", Num(f.buttonRepeatTime));

    WriteMessage(f.msg[kCord], "Cord", p);
    p.Set("Cord", "Time", Num(f.cordRepeatTime));
    p.Set("Cord", "IncTime", Flag(f.cordIncTime));

    WriteMessage(f.msg[kReed], "Reed", p);
    SetText(p, "Reed", "FallOn", f.fallOn);
    SetText(p, "Reed", "FallOff", f.fallOff);

    WriteMessage(f.msg[kBatLow], "BatLow", p);
    WriteMessage(f.msg[kBatShut], "BatShut", p);

    WriteMessage(f.msg[kFall], "Fall", p);
    p.Set("Fall", "Time", Num(f.fallRepeatTime));
    p.Set("Fall", "RepeatNum", Num(f.fallRepeatNum));
    p.Set("Fall", "IncTime", Flag(f.fallIncTime));

    for (const SliderKey& k : kFallSliderKeys) p.Set("Accl", k.key, Num(f.slider[k.slider]));
    p.Set("Accl", "Enabled", Num(f.mode));

    WriteMessage(f.msg[kTest], "Test", p);
    p.Set("Test", "Hour", Num(f.testHour));
    p.Set("Test", "Min", Num(f.testMin));
    p.Set("Test", "Sec", Num(f.testSec));

    WriteMessage(f.msg[kReset], "Reset", p);

    p.Set("Freq", "Value", Num(f.freq));

    for (const SliderKey& k : kManDownKeys) p.Set("Accl", k.key, Num(f.slider[k.slider]));
}

bool ReadFormFromProfile(const IniProfile& p, FormSnapshot& form, bool readFreq) {
    if (std::none_of(std::begin(kConfigSections), std::end(kConfigSections),
                     [&](const char* s) { return p.HasSection(s); })) {
        return false;
    }

    FormSnapshot f = form;
    for (int m = 0; m < kMsgCount; ++m) ReadMessage(p, m, f.msg[m]);

    f.buttonRepeats = Clamped(p.Get("Button", "Repeats"), 0, kButtonRepeatsMax);
    f.buttonRepeatTime = Clamped(p.Get("Button", "Time"), 0, LastIndex(kRepeatTimeItems));
    f.cordRepeatTime = Clamped(p.Get("Cord", "Time"), 0, LastIndex(kRepeatTimeItems));
    f.cordIncTime = LeadingNumber(p.Get("Cord", "IncTime")) != 0;
    f.fallOn = Cut(GetText(p, "Reed", "FallOn"), kFallTextLen);
    f.fallOff = Cut(GetText(p, "Reed", "FallOff"), kFallTextLen);
    f.fallRepeatTime = Clamped(p.Get("Fall", "Time"), 0, LastIndex(kRepeatTimeItems));
    f.fallRepeatNum = Clamped(p.Get("Fall", "RepeatNum"), 0, LastIndex(kFallRepeatNumItems));
    f.fallIncTime = LeadingNumber(p.Get("Fall", "IncTime")) != 0;

    auto readSlider = [&](const SliderKey& k) {
        const SliderSpec& range = kSliders[k.slider];
        f.slider[k.slider] = Clamped(p.Get("Accl", k.key), range.min, range.max);
    };
    for (const SliderKey& k : kFallSliderKeys) readSlider(k);
    for (const SliderKey& k : kManDownKeys) readSlider(k);
    f.mode = Clamped(p.Get("Accl", "Enabled"), 0, LastIndex(kModeItems));

    f.testHour = Clamped(p.Get("Test", "Hour"), 0, kTestHourMax);
    f.testMin = Clamped(p.Get("Test", "Min"), 0, kTestMinSecMax);
    f.testSec = Clamped(p.Get("Test", "Sec"), 0, kTestMinSecMax);

    if (readFreq) {
        f.freq = static_cast<uint32_t>(
            std::clamp<int64_t>(LeadingNumber(p.Get("Freq", "Value")), 0, UINT32_MAX));
    }

    form = f;
    return true;
}

bool SaveConfigFile(const std::string& path, const FormSnapshot& form, std::string* error) {
    // Start from what is there so that foreign sections and keys survive; a
    // file that exists but cannot be read is not overwritten.
    std::string bytes;
    switch (ReadWholeFile(path, bytes, error)) {
        case ReadResult::kOk:
            break;
        case ReadResult::kMissing:
            if (error) error->clear();
            break;
        case ReadResult::kNotRegular:
            if (error) *error = FileErrorText("Cannot write", path, kNotRegularReason);
            return false;
        default:
            return false;
    }
    IniProfile profile = IniProfile::Parse(std::move(bytes));
    WriteFormToProfile(form, profile);
    return WriteFileAtomically(path, profile.Serialize(), error);
}

bool OpenConfigFile(const std::string& path, FormSnapshot& form, bool readFreq,
                    std::string* error) {
    IniProfile profile;
    if (!ReadProfileFile(path, profile, error)) return false;
    if (!ReadFormFromProfile(profile, form, readFreq)) {
        if (error) {
            *error = "Cannot open \"" + path + "\": it is not a Kestrin TQ9 configuration file";
        }
        return false;
    }
    return true;
}

std::string FileNameOf(const std::string& path) {
    const std::size_t sep = path.find_last_of("/\\");
    return sep == std::string::npos ? path : path.substr(sep + 1);
}

}  // namespace kestrin
