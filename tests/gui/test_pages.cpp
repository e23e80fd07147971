// What the message, fall-detection and frequency pages do when the operator
// changes them: filters and default texts, read-outs, the detection mode, the
// frequency steps and the unavailable band, and which of these count as a
// change to a named file.
#if defined(__WXGTK__)
#include <dlfcn.h>
#endif

#include <functional>
#include <string>
#include <vector>

#include "config/eeprom.h"
#include "gui_test.h"
#include "pages/frequency.h"

using namespace kestrin;

namespace {

class PageTest : public FrameTest {
  protected:
    void SetUp() override {
        FrameTest::SetUp();
        // Counters live in the fixture so that events raised while the window
        // is destroyed cannot reach a finished test's locals.
        frame->Bind(
            wxEVT_RADIOBOX,
            [this](wxCommandEvent& e) {
                ++modeRuns;
                e.Skip();
            },
            Kestrin_ProFrame::ID_RADIOBOX1);
        frame->Bind(
            wxEVT_NOTEBOOK_PAGE_CHANGED,
            [this](wxNotebookEvent& e) {
                ++pageChanges;
                e.Skip();
            },
            Kestrin_ProFrame::ID_NOTEBOOK2);
        frame->Bind(wxEVT_SLIDER, [this](wxCommandEvent& e) {
            sliderEvents.push_back(e.GetId());
            e.Skip();
        });
    }

    // A named file with nothing changed yet, so that marking is visible.
    void Named() { NameFile("/tmp/site.kt9"); }

    // The fall message controls and the two hidden preset controls that
    // follow the detection mode (the ten fall sliders are checked apart).
    std::vector<wxWindow*> ModeListWithoutSliders() const {
        return {frame->Choice_FallType,    frame->Choice_FallSpeed,
                frame->TextCtrl_FallID,    frame->Choice_FallTone,
                frame->TextCtrl_Fall,      frame->CheckBox_FallIncTime,
                frame->Choice_FallRepeat,  frame->Choice_FallRepeatNum,
                frame->Choice_Sensitivity, frame->CheckBox_AdvSettings};
    }

    // Names of the mode-list controls whose enabled state is not the expected.
    std::string WrongEnabledStates(bool others, bool sliders) const {
        std::string wrong;
        for (wxWindow* w : ModeListWithoutSliders())
            if (w->IsEnabled() != others) wrong += std::string(w->GetName().mb_str()) + " ";
        for (SliderId s : kPresetOrder)
            if (frame->SliderAt(s)->IsEnabled() != sliders)
                wrong += std::string("Slider_") + kSliders[s].name + " ";
        return wrong;
    }

    std::vector<std::string> Readouts() const {
        std::vector<std::string> out;
        for (int s = 0; s < kSliderCount; ++s)
            out.push_back(frame->ReadoutAt(s)->GetValue().ToStdString());
        return out;
    }

    // The characters of `chars` whose fate under the text's filter differs
    // from `accept`; empty when the filter behaves.
    static std::string FilterMisses(wxTextCtrl* t, const wxString& chars, bool accept) {
        std::string misses;
        for (wxChar c : chars)
            if (Accepts(t, c) != accept) misses += static_cast<char>(c);
        return misses;
    }

    int modeRuns = 0;
    int pageChanges = 0;
    std::vector<int> sliderEvents;
};

const wxString kNumericChars = "0123456789aAuU []-";
const wxString kNotNumeric = "B!b|zZ.";
wxString AlphaNumericChars() {
    wxString all = " ";
    for (char c = '!'; c <= '~'; ++c)
        if (c != '|') all += c;
    return all;
}
}  // namespace

TEST_F(PageTest, TypeChoiceSwapsTheFilterAndResetsTheText) {
    const wxString alnum = AlphaNumericChars();
    for (int m = 0; m < kMsgCount; ++m) {
        SCOPED_TRACE(kMessages[m].prefix);
        wxChoice* type = frame->TypeChoice(m);
        wxTextCtrl* text = frame->MessageText(m);
        // The rest of the message, which the handler must leave alone.
        frame->SpeedChoice(m)->SetSelection(0);
        frame->ToneChoice(m)->SetSelection(3);
        frame->IdText(m)->ChangeValue("1234567");
        const bool enabled = type->IsEnabled();  // the fall message waits for a mode

        struct Step {
            int selection;
            bool numeric;
            bool typedFirst;  // false: the text already is what the handler sets
        };
        // A rerun with the same selection resets again, and setting the text
        // it already holds still counts as a change.
        const Step steps[] = {{1, true, true},  {1, true, true},  {1, true, false},
                              {0, false, true}, {0, false, true}, {0, false, false}};
        for (const Step& st : steps) {
            SCOPED_TRACE(testing::Message() << "selection " << st.selection
                                            << (st.typedFirst ? " after typing" : " again"));
            if (st.typedFirst) {
                text->ChangeValue("typed by hand");
                if (m == kReed) {
                    frame->TextCtrl_FallOn->ChangeValue("on by hand");
                    frame->TextCtrl_FallOff->ChangeValue("off by hand");
                }
            }
            Named();
            Choose(type, st.selection);
            EXPECT_EQ(text->GetValue(), st.numeric ? "" : kMessages[m].defaultText);
            EXPECT_TRUE(changeMade);  // through the text it rewrote
            if (st.numeric) {
                EXPECT_EQ(FilterMisses(text, kNumericChars, true), "");
                EXPECT_EQ(FilterMisses(text, kNotNumeric, false), "");
                // A copy: the neighbouring text keeps its own filter.
                EXPECT_EQ(FilterMisses(frame->MessageText((m + 1) % kMsgCount), "B!", true), "");
                EXPECT_NE(text->GetValidator(), &frame->NumericValidator);
            } else {
                EXPECT_EQ(FilterMisses(text, alnum, true), "");
                EXPECT_EQ(FilterMisses(text, "|", false), "");
            }
            if (m == kReed) {
                EXPECT_EQ(frame->TextCtrl_FallOn->GetValue(),
                          st.numeric ? "" : "Fall Detection On!");
                EXPECT_EQ(frame->TextCtrl_FallOff->GetValue(),
                          st.numeric ? "" : "Fall Detection Off!");
                // The fall-detector texts stay alphanumeric either way.
                for (wxTextCtrl* t : {frame->TextCtrl_FallOn, frame->TextCtrl_FallOff}) {
                    EXPECT_EQ(FilterMisses(t, alnum, true), "");
                    EXPECT_EQ(FilterMisses(t, "|", false), "");
                }
            }
        }

        // No selection at all changes nothing and marks nothing.
        text->ChangeValue("kept");
        Named();
        Choose(type, wxNOT_FOUND);
        EXPECT_EQ(text->GetValue(), "kept");
        EXPECT_FALSE(changeMade);
        type->SetSelection(0);

        EXPECT_EQ(frame->SpeedChoice(m)->GetSelection(), 0);
        EXPECT_EQ(frame->ToneChoice(m)->GetSelection(), 3);
        EXPECT_EQ(frame->IdText(m)->GetValue(), "1234567");
        for (wxWindow* w : std::initializer_list<wxWindow*>{type, text, frame->SpeedChoice(m),
                                                            frame->IdText(m), frame->ToneChoice(m)})
            EXPECT_EQ(w->IsEnabled(), enabled) << w->GetName();
    }
}

TEST_F(PageTest, SpinsEnableTheirDependents) {
    frame->Choice_ButtonRepeat->SetSelection(3);
    struct RepeatCase {
        int repeats;
        bool enabled;
    };
    for (const RepeatCase& c : {RepeatCase{1, true}, RepeatCase{4, true}, RepeatCase{0, false},
                                RepeatCase{1, true}, RepeatCase{0, false}}) {
        SCOPED_TRACE(c.repeats);
        Named();
        Spin(frame->SpinCtrl_ButtonRepeat, c.repeats);
        EXPECT_EQ(frame->Choice_ButtonRepeat->IsEnabled(), c.enabled);
        EXPECT_EQ(frame->Choice_ButtonRepeat->GetSelection(), 3);
        EXPECT_FALSE(changeMade);
    }

    // Each row changes one field; the order makes every field's binding count.
    struct TestCase {
        const char* what;
        wxSpinCtrl* spin;
        int value;
        bool warned;
    };
    const TestCase cases[] = {
        {"1 s", frame->SpinCtrl_TestSec, 1, true},
        {"0 s", frame->SpinCtrl_TestSec, 0, false},
        {"1 min", frame->SpinCtrl_TestMin, 1, true},
        {"0 min", frame->SpinCtrl_TestMin, 0, false},
        {"1 h", frame->SpinCtrl_TestHour, 1, true},
        {"1 h 59 s", frame->SpinCtrl_TestSec, 59, true},
        {"59 s", frame->SpinCtrl_TestHour, 0, true},
        {"all 0", frame->SpinCtrl_TestSec, 0, false},
        {"24 h", frame->SpinCtrl_TestHour, 24, true},
        {"all 0", frame->SpinCtrl_TestHour, 0, false},
    };
    for (const TestCase& c : cases) {
        SCOPED_TRACE(c.what);
        Named();
        Spin(c.spin, c.value);
        EXPECT_EQ(frame->StaticText_TestCalls->IsEnabled(), c.warned);
        EXPECT_FALSE(changeMade);
    }

    // The handlers above mark nothing, but the toolkit also reports an
    // operator's spin change as a text change of the spin control, and that
    // reaches the change tracking: an edited repeat count or test interval is
    // not lost without the unsaved-changes question.
#if defined(__WXGTK__)
    using SetSpin = void (*)(void*, double);
    const auto setSpin =
        reinterpret_cast<SetSpin>(dlsym(RTLD_DEFAULT, "gtk_spin_button_set_value"));
#else
    const auto setSpin = static_cast<void (*)(void*, double)>(nullptr);
#endif
    if (!setSpin) GTEST_SKIP() << "not the GTK toolkit";
    for (wxSpinCtrl* spin : {frame->SpinCtrl_ButtonRepeat, frame->SpinCtrl_TestHour,
                             frame->SpinCtrl_TestMin, frame->SpinCtrl_TestSec}) {
        SCOPED_TRACE(spin->GetName().ToStdString());
        Named();
        setSpin(spin->GetHandle(), 2);
        EXPECT_EQ(spin->GetValue(), 2);
        EXPECT_TRUE(changeMade);
    }
    EXPECT_TRUE(frame->Choice_ButtonRepeat->IsEnabled());
    EXPECT_TRUE(frame->StaticText_TestCalls->IsEnabled());
}

TEST_F(PageTest, SliderReadoutsAtBothEnds) {
    struct Case {
        SliderId slider;
        int low;
        const char* lowText;
        int high;
        const char* highText;
    };
    const Case cases[] = {
        {kSliderFreq, -44, "-9900", 44, "9900"},
        {kSliderAngle, 0, "0%", 100, "100%"},
        {kSliderFreeFallThresh, 30, "0.30g", 100, "1.00g"},
        {kSliderFreeFallTime, 1, "5ms", 20, "100ms"},
        {kSliderFreeFallTimeout, 1, "10ms", 25, "250ms"},
        {kSliderShockThresh, 110, "1.10g", 200, "2.00g"},
        {kSliderShockTime, 1, "5ms", 20, "100ms"},
        {kSliderShockTimeout, 1, "10ms", 200, "2000ms"},
        {kSliderStabilityThresh, 100, "+0.00g", 150, "+0.50g"},
        {kSliderStabilityTime, 1, "10ms", 150, "1500ms"},
        {kSliderStabilityTimeout, 1, "10ms", 300, "3000ms"},
        {kSliderManMove, 2, "0%", 22, "100%"},
        {kSliderManSamples, 0, "0.0s", 255, "127.5s"},
    };
    for (const Case& c : cases) {
        for (const auto& [position, expected] :
             {std::pair{c.low, c.lowText}, std::pair{c.high, c.highText}}) {
            SCOPED_TRACE(std::string(kSliders[c.slider].name) + " at " + std::to_string(position));
            eeprom.cfg.ManDownLvl = 0xEE;
            eeprom.cfg.ManDownSamples = 0xEE;
            std::vector<std::string> before = Readouts();
            Named();
            Slide(frame->SliderAt(c.slider), position);
            EXPECT_EQ(frame->ReadoutAt(c.slider)->GetValue(), expected);
            // Only this slider's read-out moves.
            before[c.slider] = expected;
            EXPECT_EQ(Readouts(), before);
            EXPECT_TRUE(changeMade);
            EXPECT_EQ(eeprom.cfg.ManDownLvl, c.slider == kSliderManMove ? position : 0xEE);
            EXPECT_EQ(eeprom.cfg.ManDownSamples, c.slider == kSliderManSamples ? position : 0xEE);
        }
    }
    // Steps inside the man-down ranges.
    Slide(frame->Slider_ManMove, 3);
    EXPECT_EQ(frame->TextCtrl_Movement->GetValue(), "5%");
    Slide(frame->Slider_ManSamples, 121);
    EXPECT_EQ(frame->TextCtrl_ManSamples->GetValue(), "60.5s");
}

TEST_F(PageTest, SensitivityPresetGivesTheSamePositionsForEveryEntry) {
    const char* presetTexts[] = {"63%",  "0.80g",  "25ms",   "100ms", "1.80g",
                                 "25ms", "1000ms", "+0.05g", "130ms", "2000ms"};
    for (int entry = 0; entry < 3; ++entry) {
        SCOPED_TRACE(entry);
        for (SliderId s : kPresetOrder) {
            frame->SliderAt(s)->SetValue(kSliders[s].min);
            frame->ReadoutAt(s)->ChangeValue("stale");
        }
        frame->Slider_ManMove->SetValue(3);
        frame->Slider_ManSamples->SetValue(7);
        const std::vector<std::string> manDownTexts = {
            frame->TextCtrl_Movement->GetValue().ToStdString(),
            frame->TextCtrl_ManSamples->GetValue().ToStdString()};
        Named();
        sliderEvents.clear();
        Choose(frame->Choice_Sensitivity, entry);

        std::vector<int> expectedOrder;
        for (size_t i = 0; i < kPresetOrder.size(); ++i) {
            const SliderId s = kPresetOrder[i];
            expectedOrder.push_back(frame->SliderAt(s)->GetId());
            EXPECT_EQ(frame->SliderAt(s)->GetValue(), kSliders[s].preset) << kSliders[s].name;
            EXPECT_EQ(frame->ReadoutAt(s)->GetValue(), presetTexts[i]) << kSliders[s].name;
        }
        EXPECT_EQ(sliderEvents, expectedOrder);
        EXPECT_EQ(frame->Choice_Sensitivity->GetSelection(), entry);
        EXPECT_TRUE(changeMade);  // through the rewritten read-outs
        // The man-down sliders are not part of the preset.
        EXPECT_EQ(frame->Slider_ManMove->GetValue(), 3);
        EXPECT_EQ(frame->Slider_ManSamples->GetValue(), 7);
        EXPECT_EQ(frame->TextCtrl_Movement->GetValue(), manDownTexts[0]);
        EXPECT_EQ(frame->TextCtrl_ManSamples->GetValue(), manDownTexts[1]);
    }
}

TEST_F(PageTest, ModeFromRadioBoxAndTabsEndsAfterOneRound) {
    struct Step {
        const char* what;
        int mode;
        bool fromTab;
        int modeRuns;  // the operator's run plus the one the page change starts
        int pageChanges;
    };
    const Step steps[] = {
        {"radio None, already shown", 0, false, 1, 0},
        {"radio Man Down", 2, false, 2, 1},
        {"radio Man Down again", 2, false, 1, 0},
        {"radio None", 0, false, 2, 1},
        {"tab Fall Detection", 1, true, 1, 1},
        {"radio Man Down", 2, false, 2, 1},
        {"tab None", 0, true, 1, 1},
        {"tab Man Down", 2, true, 1, 1},
        {"radio Fall Detection", 1, false, 2, 1},
    };
    for (const Step& st : steps) {
        SCOPED_TRACE(st.what);
        Named();
        modeRuns = pageChanges = 0;
        if (st.fromTab)
            frame->Notebook_FallDetect->SetSelection(st.mode);
        else
            SelectMode(st.mode);
        EXPECT_EQ(modeRuns, st.modeRuns);
        EXPECT_EQ(pageChanges, st.pageChanges);
        EXPECT_EQ(frame->RadioBox1->GetSelection(), st.mode);
        EXPECT_EQ(frame->Notebook_FallDetect->GetSelection(), st.mode);
        EXPECT_EQ(WrongEnabledStates(st.mode != 0, st.mode != 0), "");
        EXPECT_TRUE(frame->Slider_ManMove->IsEnabled());
        EXPECT_TRUE(frame->Slider_ManSamples->IsEnabled());
        // Marked by the mode handler itself, whatever the mode.
        EXPECT_TRUE(changeMade);
        EXPECT_EQ(frame->GetTitle(), "site.kt9* Kestrin-Pro Fr");
        EXPECT_TRUE(frame->MenuItem4->IsEnabled());
    }
}

TEST_F(PageTest, EnableFallAndAdvancedSettingsDecideTheSliders) {
    struct Step {
        const char* what;
        std::function<void()> act;
        bool others, sliders, marks;
    };
    const Step steps[] = {
        {"enable fall", [&] { Check(frame->CheckBox_EnableFall, true); }, true, false, false},
        {"advanced on", [&] { Check(frame->CheckBox_AdvSettings, true); }, true, true, false},
        // With fall detection enabled the advanced box has the last word.
        {"mode None", [&] { SelectMode(0); }, false, true, true},
        {"advanced off", [&] { Check(frame->CheckBox_AdvSettings, false); }, false, false, false},
        {"mode Man Down", [&] { SelectMode(2); }, true, false, true},
        {"disable fall", [&] { Check(frame->CheckBox_EnableFall, false); }, false, false, false},
        {"advanced on alone", [&] { Check(frame->CheckBox_AdvSettings, true); }, false, true,
         false},
        {"mode Fall Detection, box unticked", [&] { SelectMode(1); }, true, true, true},
    };
    for (const Step& st : steps) {
        SCOPED_TRACE(st.what);
        Named();
        st.act();
        EXPECT_EQ(WrongEnabledStates(st.others, st.sliders), "");
        EXPECT_TRUE(frame->Slider_ManMove->IsEnabled());
        EXPECT_EQ(changeMade, st.marks);
    }
}

TEST_F(PageTest, FrequencyStepsAtAndBesideEveryLimit) {
    struct Case {
        const char* button;
        wxButton* Kestrin_ProFrame::*member;
        uint32_t from, to;  // to == from: refused
    };
    using F = Kestrin_ProFrame;
    const Case cases[] = {
        {"+++", &F::Button_FreqUp3, 469000000, 470000000},
        {"+++", &F::Button_FreqUp3, 469002500, 469002500},
        {"+++", &F::Button_FreqUp3, 469500000, 469500000},
        {"+++", &F::Button_FreqUp3, 433000000, 434000000},
        {"++", &F::Button_FreqUp2, 469900000, 470000000},
        {"++", &F::Button_FreqUp2, 469902500, 469902500},
        {"++", &F::Button_FreqUp2, 469500000, 469600000},
        {"+", &F::Button_FreqUp1, 469997500, 470000000},
        {"+", &F::Button_FreqUp1, 470000000, 470000000},
        {"+", &F::Button_FreqUp1, 433000000, 433002500},
        {"---", &F::Button_FreqDown3, 434000000, 433000000},
        {"---", &F::Button_FreqDown3, 433997500, 433997500},
        {"---", &F::Button_FreqDown3, 433000000, 433000000},
        {"--", &F::Button_FreqDown2, 433100000, 433000000},
        {"--", &F::Button_FreqDown2, 433097500, 433097500},
        {"--", &F::Button_FreqDown2, 433050000, 433050000},
        {"-", &F::Button_FreqDown1, 433002500, 433000000},
        {"-", &F::Button_FreqDown1, 433000000, 433000000},
        {"-", &F::Button_FreqDown1, 433050000, 433047500},
        {"-", &F::Button_FreqDown1, 470000000, 469997500},
    };
    connected = true;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.button) + " from " + std::to_string(c.from));
        const bool steps = c.to != c.from;
        EEPROM.freq = c.from;
        frame->TextCtrl_Freq->ChangeValue("untouched");
        frame->Button_Program->Disable();
        Named();
        Click(frame->*c.member);
        EXPECT_EQ(EEPROM.freq, c.to);
        EXPECT_EQ(frame->TextCtrl_Freq->GetValue(), steps ? FormatFreq(c.to) : "untouched");
        EXPECT_EQ(changeMade, steps);
        // The band check runs after a refused step too.
        EXPECT_TRUE(frame->Button_Program->IsEnabled());
        EXPECT_FALSE(frame->StaticText_FreqUnav->IsShown());
    }
    // Every up button is refused at the top, every down button at the bottom.
    for (const auto& [f, buttons] :
         {std::pair{470000000u, std::vector<wxButton*>{frame->Button_FreqUp3, frame->Button_FreqUp2,
                                                       frame->Button_FreqUp1}},
          std::pair{433000000u,
                    std::vector<wxButton*>{frame->Button_FreqDown3, frame->Button_FreqDown2,
                                           frame->Button_FreqDown1}}}) {
        EEPROM.freq = f;
        for (wxButton* b : buttons) {
            Click(b);
            EXPECT_EQ(EEPROM.freq, f) << b->GetLabel();
        }
    }
}

TEST_F(PageTest, UnavailableBandEdgesWithShoeConnectedAndNot) {
    struct Edge {
        uint32_t f;
        const char* text;
        bool inBand;
    };
    const Edge edges[] = {{457087500, "457.087 500 MHz", false},
                          {457090000, "457.090 000 MHz", true},
                          {457130000, "457.130 000 MHz", true},
                          {457132500, "457.132 500 MHz", false}};
    EXPECT_EQ(frame->StaticText_FreqUnav->GetLabel(),
              "Due to hardware limitations this frequency is unavaliable");
    for (const Edge& e : edges) {
        for (bool up : {true, false}) {
            for (bool shoe : {true, false}) {
                for (bool programWas : {true, false}) {
                    SCOPED_TRACE(std::string(e.text) + (up ? " by +" : " by -") +
                                 (shoe ? ", connected" : ", disconnected") +
                                 (programWas ? ", Program was on" : ", Program was off"));
                    connected = shoe;
                    EEPROM.freq = up ? e.f - 2500 : e.f + 2500;
                    frame->Button_Program->Enable(programWas);
                    frame->StaticText_FreqUnav->Show(!e.inBand);
                    Click(up ? frame->Button_FreqUp1 : frame->Button_FreqDown1);
                    EXPECT_EQ(EEPROM.freq, e.f);
                    EXPECT_EQ(frame->TextCtrl_Freq->GetValue(), e.text);
                    EXPECT_EQ(frame->StaticText_FreqUnav->IsShown(), e.inBand);
                    const bool programNow = e.inBand ? false : (shoe || programWas);
                    EXPECT_EQ(frame->Button_Program->IsEnabled(), programNow);
                }
            }
        }
    }
}

TEST_F(PageTest, TuningCorrectionSliderAndItsButtons) {
    struct Case {
        const char* what;
        int from;
        std::function<void()> act;
        int to;
        const char* text;  // nullptr: not rewritten
    };
    const Case cases[] = {
        {"slide to 1", 0, [&] { Slide(frame->Slider_Freq, 1); }, 1, "225"},
        {"slide to -44", 0, [&] { Slide(frame->Slider_Freq, -44); }, -44, "-9900"},
        {"slide to 44", 0, [&] { Slide(frame->Slider_Freq, 44); }, 44, "9900"},
        {"slide to 0", 5, [&] { Slide(frame->Slider_Freq, 0); }, 0, "0"},
        {"< from 0", 0, [&] { Click(frame->Button_FreqDec); }, -1, "-225"},
        {"< from -43", -43, [&] { Click(frame->Button_FreqDec); }, -44, "-9900"},
        {"< at -44", -44, [&] { Click(frame->Button_FreqDec); }, -44, nullptr},
        {"> from 43", 43, [&] { Click(frame->Button_FreqInc); }, 44, "9900"},
        {"> at 44", 44, [&] { Click(frame->Button_FreqInc); }, 44, nullptr},
        {"> from -44", -44, [&] { Click(frame->Button_FreqInc); }, -43, "-9675"},
        {"ShowFreqOffset", -44, [&] { frame->ShowFreqOffset(); }, -44, "-9900"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        frame->Slider_Freq->SetValue(c.from);
        frame->TextCtrl_FreqOffset->ChangeValue("untouched");
        Named();
        c.act();
        EXPECT_EQ(frame->Slider_Freq->GetValue(), c.to);
        EXPECT_EQ(frame->TextCtrl_FreqOffset->GetValue(), c.text ? c.text : "untouched");
        EXPECT_EQ(changeMade, c.text != nullptr);  // only through the read-out
    }
    // The working frequency is not the correction's business.
    EXPECT_EQ(EEPROM.freq, 433000000u);
}
