// Start-up state, change tracking, the unsaved-changes question and the
// character filters of the main window.
#include <functional>

#include "app/ui_hooks.h"
#include "config/eeprom.h"
#include "gui_test.h"

using namespace kestrin;

namespace {
std::vector<std::string> ItemsOf(wxChoice* c) {
    std::vector<std::string> out;
    for (unsigned i = 0; i < c->GetCount(); ++i) out.push_back(c->GetString(i).ToStdString());
    return out;
}
}  // namespace

TEST_F(FrameTest, StartupStateMatchesTheConstruction) {
    EXPECT_EQ(frame->GetTitle(), "Kestrin-Pro Fr");
    EXPECT_FALSE(frame->MenuItem4->IsEnabled());
    EXPECT_EQ(frame->GetClientSize(), wxSize(966, 580));
    EXPECT_EQ(frame->TextCtrl_FileName->GetValue(), "");
    EXPECT_EQ(frame->StaticText_Version->GetLabel(), "Version: 1.8.3");
    EXPECT_EQ(frame->TextCtrl_Connectionstatus->GetValue(), "DISCONNECTED");
    EXPECT_EQ(frame->TextCtrl_Connectionstatus->GetBackgroundColour(), wxColour(255, 4, 4));
    EXPECT_EQ(EEPROM.freq, 433000000u);
    EXPECT_EQ(frame->TextCtrl_Freq->GetValue(), "433.000 000 MHz");
    EXPECT_EQ(frame->Gauge_Transfer->GetRange(), 63);

    const char* pages[] = {"Info",    "Messages",        "Fall detection",
                           "Testing", "Frequency Setup", "Engineering"};
    ASSERT_EQ(frame->Notebook1->GetPageCount(), 6u);
    for (size_t i = 0; i < 6; ++i) EXPECT_EQ(frame->Notebook1->GetPageText(i), pages[i]);
    EXPECT_EQ(frame->Notebook1->GetSelection(), 0);

    for (int m = 0; m < kMsgCount; ++m) {
        SCOPED_TRACE(kMessages[m].prefix);
        EXPECT_EQ(ItemsOf(frame->TypeChoice(m)), kTypeItems);
        EXPECT_EQ(frame->TypeChoice(m)->GetSelection(), 0);
        EXPECT_EQ(ItemsOf(frame->SpeedChoice(m)), kSpeedItems);
        EXPECT_EQ(frame->SpeedChoice(m)->GetSelection(), 1);
        EXPECT_EQ(ItemsOf(frame->ToneChoice(m)), kToneItems);
        EXPECT_EQ(frame->ToneChoice(m)->GetSelection(), 0);
        EXPECT_EQ(frame->IdText(m)->GetValue(), "0100000");
        EXPECT_EQ(frame->MessageText(m)->GetValue(), kMessages[m].defaultText);
        const bool fall = m == kFall;
        EXPECT_EQ(frame->TypeChoice(m)->IsEnabled(), !fall);
        EXPECT_EQ(frame->MessageText(m)->IsEnabled(), !fall);
        EXPECT_EQ(frame->IdText(m)->IsEnabled(), !fall);
    }
    EXPECT_EQ(ItemsOf(frame->Choice_FallRepeatNum),
              (std::vector<std::string>{"0", "1", "2", "3", "4", "5", "7", "10", "Inf"}));
    for (wxChoice* c :
         {frame->Choice_ButtonRepeat, frame->Choice_CordRepeat, frame->Choice_FallRepeat}) {
        EXPECT_EQ(ItemsOf(c), kRepeatTimeItems);
        EXPECT_EQ(c->GetSelection(), 1);
    }
    EXPECT_EQ(frame->Choice_Sensitivity->GetStringSelection(), "Medium");
    EXPECT_TRUE(frame->CheckBox_CordIncTime->GetValue());
    EXPECT_TRUE(frame->CheckBox_FallIncTime->GetValue());
    EXPECT_EQ(frame->RadioBox1->GetSelection(), 0);
    EXPECT_EQ(frame->Notebook_FallDetect->GetSelection(), 0);

    struct Range {
        wxSpinCtrl* spin;
        int min, max;
    };
    for (const Range& r :
         {Range{frame->SpinCtrl_ButtonRepeat, 0, 4}, Range{frame->SpinCtrl_TestHour, 0, 24},
          Range{frame->SpinCtrl_TestMin, 0, 59}, Range{frame->SpinCtrl_TestSec, 0, 59}}) {
        EXPECT_EQ(r.spin->GetMin(), r.min);
        EXPECT_EQ(r.spin->GetMax(), r.max);
        EXPECT_EQ(r.spin->GetValue(), 0);
    }
    const FormSnapshot start = StartupForm();
    for (int s = 0; s < kSliderCount; ++s) {
        SCOPED_TRACE(kSliders[s].name);
        EXPECT_EQ(frame->SliderAt(s)->GetMin(), kSliders[s].min);
        EXPECT_EQ(frame->SliderAt(s)->GetMax(), kSliders[s].max);
        EXPECT_EQ(frame->SliderAt(s)->GetValue(), start.slider[s]);
        const bool fallSlider = kSliders[s].preset >= 0;
        EXPECT_EQ(frame->SliderAt(s)->IsEnabled(), !fallSlider);
    }
    const std::pair<wxTextCtrl*, const char*> readouts[] = {
        {frame->TextCtrl_FreeFallThresh, "0.80g"},
        {frame->TextCtrl_FreeFallTime, "25ms"},
        {frame->TextCtrl_FreeFallTimeout, "100ms"},
        {frame->TextCtrl_ShockThresh, "1.80g"},
        {frame->TextCtrl_ShockTime, "25ms"},
        {frame->TextCtrl_ShockTimeout, "1000ms"},
        {frame->TextCtrl_StabilityThresh, "+0.05g"},
        {frame->TextCtrl_StabilityTime, "130ms"},
        {frame->TextCtrl_StabilityTimeout, "2000ms"},
        {frame->TextCtrl_Angle, "63%"},
        {frame->TextCtrl_Movement, "30%"},
        {frame->TextCtrl_ManSamples, "60.0s"},
        {frame->TextCtrl_FreqOffset, "0"}};
    for (const auto& [ctrl, text] : readouts) EXPECT_EQ(ctrl->GetValue(), text);

    // Enabled and shown states that differ from the default.
    const std::pair<wxWindow*, bool> enabled[] = {
        {frame->Choice_ButtonRepeat, false},  {frame->Choice_FallRepeatNum, false},
        {frame->Choice_FallRepeat, false},    {frame->CheckBox_FallIncTime, false},
        {frame->StaticText_TestCalls, false}, {frame->Choice_Sensitivity, false},
        {frame->CheckBox_AdvSettings, false}, {frame->Button_Program, false},
        {frame->Gauge_Transfer, false},       {frame->Choice_CordRepeat, true},
        {frame->Slider_ManMove, true},        {frame->Button_Status, true}};
    for (const auto& [w, on] : enabled) EXPECT_EQ(w->IsEnabled(), on) << w->GetName();
    const std::pair<wxWindow*, bool> shown[] = {
        {frame->Button_Read, false},         {frame->Gauge_Transfer, false},
        {frame->CheckBox_EnableFall, false}, {frame->StaticText15, false},
        {frame->Choice_Sensitivity, false},  {frame->CheckBox_AdvSettings, false},
        {frame->StaticText_FreqUnav, false}, {frame->Button_Space, false},
        {frame->Button_Preamble2400, false}, {frame->Button_FreqProgram, false},
        {frame->Slider_Freq, false},         {frame->Button_Cali, false},
        {frame->Button_Status, true},        {frame->Button_Reset, true},
        {frame->TextCtrl_Freq, true},        {frame->Button_Program, true}};
    for (const auto& [w, on] : shown) EXPECT_EQ(w->IsShown(), on) << w->GetName();

    // Menu texts: label, tab, accelerator; help strings.
    EXPECT_EQ(frame->MenuItem4->GetItemLabel(), "Save\tCtrl-S");
    EXPECT_EQ(frame->MenuItem4->GetHelp(), "Save the configuration");
    EXPECT_EQ(frame->MenuItem5->GetHelp(), "Save the configuration to...");
}

TEST_F(FrameTest, ChangeTrackingFollowsTheNamedFile) {
    // Without a file name nothing is tracked.
    frame->TextCtrl_Button->SetValue("X");
    EXPECT_EQ(frame->GetTitle(), "Kestrin-Pro Fr");
    EXPECT_FALSE(frame->MenuItem4->IsEnabled());
    EXPECT_FALSE(changeMade);

    NameFile("/home/op/site.kt9");
    EXPECT_EQ(frame->GetTitle(), "site.kt9 Kestrin-Pro Fr");
    frame->TextCtrl_Button->AppendText("Y");
    EXPECT_EQ(frame->GetTitle(), "site.kt9* Kestrin-Pro Fr");
    EXPECT_TRUE(frame->MenuItem4->IsEnabled());
    EXPECT_TRUE(changeMade);
}

TEST_F(FrameTest, WhichNotificationsMarkAChange) {
    struct Case {
        const char* what;
        std::function<void()> act;
        bool marks;
    };
    const Case cases[] = {
        {"tone choice", [&] { Choose(frame->Choice_CordTone, 2); }, true},
        {"speed choice", [&] { Choose(frame->Choice_ReedSpeed, 0); }, true},
        {"cord increase box", [&] { Check(frame->CheckBox_CordIncTime, false); }, true},
        {"type choice rewrites text", [&] { Choose(frame->Choice_BatLowType, 1); }, true},
        {"man-down slider rewrites read-out", [&] { Slide(frame->Slider_ManMove, 3); }, true},
        {"mode radio box", [&] { SelectMode(2); }, true},
        {"repeat spin", [&] { Spin(frame->SpinCtrl_ButtonRepeat, 2); }, false},
        {"test-call spin", [&] { Spin(frame->SpinCtrl_TestMin, 5); }, false},
        {"advanced settings box", [&] { Check(frame->CheckBox_AdvSettings, true); }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        NameFile("C:\\sites\\site.kt9");
        c.act();
        EXPECT_EQ(changeMade, c.marks);
        EXPECT_EQ(frame->GetTitle(),
                  c.marks ? "site.kt9* Kestrin-Pro Fr" : "site.kt9 Kestrin-Pro Fr");
    }
}

TEST_F(FrameTest, FileNameIsThePartAfterTheLastSeparator) {
    EXPECT_EQ(kestrin_ui::FileNameOf("/home/op/site.kt9"), "site.kt9");
    EXPECT_EQ(kestrin_ui::FileNameOf("C:\\Sites\\a\\b.kt9"), "b.kt9");
    EXPECT_EQ(kestrin_ui::FileNameOf("site.kt9"), "site.kt9");
}

TEST_F(FrameTest, TextsConvertByteForByte) {
    std::string all;
    for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
    EXPECT_EQ(kestrin_ui::Narrow(kestrin_ui::Widen(all)), all);
    // Pasted text Windows-1252 cannot hold keeps the rest.
    EXPECT_EQ(kestrin_ui::Narrow(wxString::FromUTF8("HELP \xE2\x86\x92 NOW \xE2\x82\xAC")),
              "HELP ? NOW \x80");
    EXPECT_EQ(kestrin_ui::BuildStamp("Jun  4 2025", "15:13:48"), "Jun 4 2025 - 15:13:48");
}

TEST_F(FrameTest, QuitAsksOnlyAboutANamedChangedFile) {
    // Unnamed: closes at once, edited or not.
    frame->TextCtrl_Button->SetValue("edited");
    EXPECT_TRUE(frame->Close(false));
    EXPECT_TRUE(boxes.empty());
    frame = nullptr;
}

TEST_F(FrameTest, UnsavedChangesQuestionHonoursEachAnswer) {
    int saves = 0;
    frame->Bind(
        wxEVT_MENU, [&](wxCommandEvent&) { ++saves; }, Kestrin_ProFrame::idMenuSave);

    NameFile("/tmp/site.kt9");
    frame->TextCtrl_Button->AppendText("!");
    // Cancel: the window stays, nothing changes.
    answers = {wxCANCEL};
    Menu(Kestrin_ProFrame::idMenuQuit);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Save changes to site.kt9?");
    EXPECT_EQ(boxes[0].caption, "Please confirm");
    EXPECT_EQ(boxes[0].style, wxYES_NO | wxCANCEL | wxICON_QUESTION);
    EXPECT_TRUE(boxes[0].hasParent);
    EXPECT_FALSE(frame->IsBeingDeleted());
    EXPECT_EQ(frame->GetTitle(), "site.kt9* Kestrin-Pro Fr");
    EXPECT_TRUE(changeMade);
    EXPECT_EQ(saves, 0);

    // Yes with a save that does not complete: the window stays.
    answers = {wxYES};
    Menu(Kestrin_ProFrame::idMenuQuit);
    EXPECT_EQ(saves, 1);
    EXPECT_FALSE(frame->IsBeingDeleted());

    // The close box asks the same question; No closes without saving.
    answers = {wxNO};
    EXPECT_TRUE(frame->Close(false));
    EXPECT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[2].text, "Save changes to site.kt9?");
    EXPECT_EQ(saves, 1);
    frame = nullptr;
}

TEST_F(FrameTest, AboutShowsVersionAndBuildTime) {
    Menu(Kestrin_ProFrame::idMenuAbout);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Version Information");
    EXPECT_EQ(boxes[0].text.rfind("Version: 1.8.3\nCompiled on: ", 0), 0u);
    EXPECT_NE(boxes[0].text.find(" - "), std::string::npos);
    EXPECT_FALSE(boxes[0].hasParent);
}

TEST_F(FrameTest, CharacterFiltersAcceptAndRefuse) {
    wxTextCtrl* text = frame->TextCtrl_Button;
    for (wxChar c : wxString("aZ09 !~{}[]-,.\"'")) EXPECT_TRUE(Accepts(text, c)) << char(c);
    EXPECT_FALSE(Accepts(text, '|'));
    EXPECT_FALSE(Accepts(text, wxChar(0xE9)));

    for (wxChar c : wxString("0123456789")) EXPECT_TRUE(Accepts(frame->TextCtrl_ButtonID, c));
    for (wxChar c : wxString("a -")) EXPECT_FALSE(Accepts(frame->TextCtrl_ButtonID, c));

    Choose(frame->Choice_ButtonType, 1);  // numeric filter swapped in
    for (wxChar c : wxString("0123456789aAuU []-")) EXPECT_TRUE(Accepts(text, c)) << char(c);
    for (wxChar c : wxString("B!b|")) EXPECT_FALSE(Accepts(text, c)) << char(c);
}

TEST_F(FrameTest, LengthLimitsStopTyping) {
    struct Case {
        wxTextCtrl* ctrl;
        size_t limit;
    };
    for (const Case& c : {Case{frame->TextCtrl_ButtonID, 7}, Case{frame->TextCtrl_Button, 54},
                          Case{frame->TextCtrl_Cord, 54}, Case{frame->TextCtrl_Fall, 54},
                          Case{frame->TextCtrl_Reed, 22}, Case{frame->TextCtrl_BatLow, 22},
                          Case{frame->TextCtrl_Reset, 22}, Case{frame->TextCtrl_FallOn, 22},
                          Case{frame->TextCtrl_FallOff, 22}}) {
        c.ctrl->Enable();
        c.ctrl->Clear();
        for (size_t i = 0; i < c.limit + 3; ++i) c.ctrl->WriteText("1");
        EXPECT_EQ(c.ctrl->GetValue().length(), c.limit);
    }
}

TEST_F(FrameTest, SubNotebookTabSelectsTheModeOnce) {
    int runs = 0;
    frame->Bind(
        wxEVT_RADIOBOX,
        [&](wxCommandEvent& e) {
            ++runs;
            e.Skip();
        },
        Kestrin_ProFrame::ID_RADIOBOX1);
    frame->Notebook_FallDetect->SetSelection(2);
    EXPECT_EQ(frame->RadioBox1->GetSelection(), 2);
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(frame->Slider_FreeFallThresh->IsEnabled());
}
