// Construction of the configuration pages: every control with its label,
// items, range, initial value, size, filter, length limit and state.
#include "app/Kestrin_ProMain.h"
#include "app/accessible.h"

namespace {

wxArrayString Items(const std::vector<std::string>& items) {
    wxArrayString out;
    for (const std::string& s : items) out.Add(wxString::FromUTF8(s));
    return out;
}

wxChoice* NewChoice(wxWindow* parent, const std::vector<std::string>& items, int selection,
                    const wxSize& size = wxDefaultSize, long id = wxID_ANY) {
    wxChoice* c = new wxChoice(parent, id, wxDefaultPosition, size, Items(items));
    c->SetSelection(selection);
    return c;
}

wxTextCtrl* NewReadout(wxWindow* parent, const wxString& text, const wxSize& size, long style = 0) {
    return new wxTextCtrl(parent, wxID_ANY, text, wxDefaultPosition, size, wxTE_READONLY | style);
}

// GTK cannot draw a spin button 21 pixels high, so only the width is set.
wxSpinCtrl* NewSpin(wxWindow* parent, long id, int min, int max, int initial, const wxSize& size) {
    return new wxSpinCtrl(parent, id, wxString::Format("%d", initial), wxDefaultPosition,
                          wxSize(size.x, -1), wxSP_ARROW_KEYS, min, max, initial);
}

}  // namespace

using F = Kestrin_ProFrame;

// One paging-message block: type, speed, Cap Code and tone in a row, the
// message text below. blockRow receives the horizontal row the block sits in,
// for the controls that stand to its right.
wxStaticBoxSizer* Kestrin_ProFrame::BuildMessageBlock(wxWindow* parent, int m, wxSizer*& blockRow) {
    const kestrin::MessageInfo& info = kestrin::kMessages[m];
    const MessageMembers& mm = kMessageMembers[m];
    wxStaticBoxSizer* box = new wxStaticBoxSizer(wxHORIZONTAL, parent, info.group);
    wxWindow* area = box->GetStaticBox();

    wxBoxSizer* block = new wxBoxSizer(wxVERTICAL);
    wxFlexGridSizer* grid = new wxFlexGridSizer(0, 4, 0, 15);
    this->*mm.type = NewChoice(area, kestrin::kTypeItems, 0, wxSize(120, 21));
    this->*mm.speed = NewChoice(area, kestrin::kSpeedItems, 1);
    wxTextValidator digits(wxFILTER_DIGITS);
    this->*mm.id =
        new wxTextCtrl(area, wxID_ANY, "0100000", wxDefaultPosition, wxSize(61, 21), 0, digits);
    (this->*mm.id)->SetMaxLength(7);
    this->*mm.tone = NewChoice(area, kestrin::kToneItems, 0);
    for (wxWindow* w :
         {static_cast<wxWindow*>(this->*mm.type), static_cast<wxWindow*>(this->*mm.speed),
          static_cast<wxWindow*>(this->*mm.id), static_cast<wxWindow*>(this->*mm.tone)})
        grid->Add(w, 0, wxTOP | wxBOTTOM | wxLEFT | wxALIGN_CENTER_VERTICAL, 5);
    block->Add(grid, 0, wxALL, 0);

    static const int kTextWidth[kestrin::kMsgCount] = {253, 253, 253, 323, 336, 253, 253, 253};
    this->*mm.text = new wxTextCtrl(area, wxID_ANY, info.defaultText, wxDefaultPosition,
                                    wxSize(kTextWidth[m], 21), 0, AlphaNumericValidator);
    (this->*mm.text)->SetMaxLength(info.maxLen);
    block->Add(this->*mm.text, 0, wxALL | wxEXPAND, 5);

    const wxString group = info.group;
    kestrin_ui::SetAccessibleName(this->*mm.type, group + " message type");
    kestrin_ui::SetAccessibleName(this->*mm.speed, group + " baud rate");
    kestrin_ui::SetAccessibleName(this->*mm.id, group + " Cap Code");
    kestrin_ui::SetAccessibleName(this->*mm.tone, group + " beep tone");
    kestrin_ui::SetAccessibleName(this->*mm.text, group + " message text");

    box->Add(block, 0, wxALL | wxALIGN_TOP, 0);
    blockRow = box;
    return box;
}

void Kestrin_ProFrame::BuildMessagesPage() {
    Panel2 = new wxPanel(Notebook1, wxID_ANY);
    wxBoxSizer* page = new wxBoxSizer(wxVERTICAL);
    wxSizer* row = nullptr;

    // "Button Pressed" with its repeat count and time.
    wxStaticBoxSizer* button = BuildMessageBlock(Panel2, kestrin::kButton, row);
    wxWindow* area = button->GetStaticBox();
    wxFlexGridSizer* repeats = new wxFlexGridSizer(2, 3, 0, 0);
    StaticText16 = new wxStaticText(area, wxID_ANY, "Number of Repeats");
    SpinCtrl_ButtonRepeat = NewSpin(area, ID_SPINCTRL5, 0, 4, 0, wxSize(48, 21));
    StaticText17 =
        new wxStaticText(area, wxID_ANY, "Repeat Time", wxDefaultPosition, wxSize(73, 13));
    Choice_ButtonRepeat = NewChoice(area, kestrin::kRepeatTimeItems, 1, wxSize(49, 21));
    Choice_ButtonRepeat->Disable();
    StaticText2 = new wxStaticText(area, wxID_ANY, "Secs");
    repeats->Add(StaticText16, 0, wxALL | wxALIGN_CENTER_VERTICAL, 5);
    repeats->Add(SpinCtrl_ButtonRepeat, 0, wxALL | wxALIGN_CENTER_VERTICAL, 5);
    repeats->AddSpacer(0);
    repeats->Add(StaticText17, 0, wxALL | wxALIGN_CENTER_VERTICAL, 5);
    repeats->Add(Choice_ButtonRepeat, 0, wxALL | wxALIGN_CENTER_VERTICAL, 5);
    repeats->Add(StaticText2, 0, wxALL | wxALIGN_CENTER_VERTICAL, 5);
    row->Add(repeats, 0, wxALL | wxALIGN_CENTER_VERTICAL, 5);
    page->Add(button, 0, wxALL | wxEXPAND, 5);

    // "Pull Cord Removed" with its repeat time and increasing interval.
    wxStaticBoxSizer* cord = BuildMessageBlock(Panel2, kestrin::kCord, row);
    area = cord->GetStaticBox();
    wxBoxSizer* cordExtra = new wxBoxSizer(wxVERTICAL);
    wxBoxSizer* cordTime = new wxBoxSizer(wxHORIZONTAL);
    StaticText7 =
        new wxStaticText(area, wxID_ANY, "Repeat Time", wxDefaultPosition, wxSize(73, 13));
    Choice_CordRepeat = NewChoice(area, kestrin::kRepeatTimeItems, 1, wxSize(41, 21));
    cordTime->Add(StaticText7, 0, wxALL | wxALIGN_CENTER_VERTICAL, 5);
    cordTime->Add(Choice_CordRepeat, 0, wxALL | wxALIGN_CENTER_VERTICAL, 5);
    CheckBox_CordIncTime = new wxCheckBox(area, ID_CHECKBOX1, "Increase time per repeat");
    CheckBox_CordIncTime->SetValue(true);
    cordExtra->Add(cordTime, 0, wxALL, 0);
    cordExtra->Add(CheckBox_CordIncTime, 0, wxALL, 5);
    row->Add(cordExtra, 0, wxALL | wxALIGN_CENTER_VERTICAL, 5);
    page->Add(cord, 0, wxALL | wxEXPAND, 5);

    // "Magnet Wand Touched to Kestrin" with the fall detector's two messages.
    wxStaticBoxSizer* reed = BuildMessageBlock(Panel2, kestrin::kReed, row);
    area = reed->GetStaticBox();
    wxStaticBoxSizer* detector = new wxStaticBoxSizer(wxVERTICAL, area, "Fall detector");
    wxWindow* detArea = detector->GetStaticBox();
    wxFlexGridSizer* detGrid = new wxFlexGridSizer(2, 2, 0, 0);
    StaticText8 = new wxStaticText(detArea, wxID_ANY, "Activated");
    TextCtrl_FallOn = new wxTextCtrl(detArea, wxID_ANY, "Fall Detection On!", wxDefaultPosition,
                                     wxSize(299, 21), 0, AlphaNumericValidator);
    TextCtrl_FallOn->SetMaxLength(22);
    StaticText9 = new wxStaticText(detArea, wxID_ANY, "Disabled");
    TextCtrl_FallOff = new wxTextCtrl(detArea, wxID_ANY, "Fall Detection Off!", wxDefaultPosition,
                                      wxDefaultSize, 0, AlphaNumericValidator);
    TextCtrl_FallOff->SetMaxLength(22);
    detGrid->AddGrowableCol(1);
    detGrid->Add(StaticText8, 0, wxALL | wxALIGN_CENTER_VERTICAL, 5);
    detGrid->Add(TextCtrl_FallOn, 0, wxALL | wxEXPAND, 5);
    detGrid->Add(StaticText9, 0, wxALL | wxALIGN_CENTER_VERTICAL, 5);
    detGrid->Add(TextCtrl_FallOff, 0, wxALL | wxEXPAND, 5);
    detector->Add(detGrid, 1, wxALL | wxEXPAND, 0);
    row->Add(detector, 1, wxALL | wxEXPAND, 5);
    page->Add(reed, 0, wxALL | wxEXPAND, 5);

    // "Battery Low" and "Battery Shutdown" side by side.
    wxBoxSizer* battery = new wxBoxSizer(wxHORIZONTAL);
    battery->Add(BuildMessageBlock(Panel2, kestrin::kBatLow, row), 1, wxALL | wxEXPAND, 5);
    battery->Add(BuildMessageBlock(Panel2, kestrin::kBatShut, row), 1, wxALL | wxEXPAND, 5);
    page->Add(battery, 0, wxALL | wxEXPAND, 0);

    Panel2->SetSizer(page);
}

void Kestrin_ProFrame::BuildFallPage() {
    Panel3 = new wxPanel(Notebook1, wxID_ANY);
    wxBoxSizer* page = new wxBoxSizer(wxVERTICAL);
    wxSizer* row = nullptr;

    wxStaticBoxSizer* fall = BuildMessageBlock(Panel3, kestrin::kFall, row);
    wxWindow* area = fall->GetStaticBox();
    wxFlexGridSizer* repeats = new wxFlexGridSizer(2, 3, 0, 10);
    StaticText6 = new wxStaticText(area, wxID_ANY, "Number of Repeats");
    Choice_FallRepeatNum = NewChoice(area, kestrin::kFallRepeatNumItems, 0, wxSize(41, 21));
    StaticText3 =
        new wxStaticText(area, wxID_ANY, "Repeat Time", wxDefaultPosition, wxSize(73, 13));
    Choice_FallRepeat = NewChoice(area, kestrin::kRepeatTimeItems, 1, wxSize(41, 21));
    CheckBox_FallIncTime = new wxCheckBox(area, ID_CHECKBOX3, "Increase time per repeat");
    CheckBox_FallIncTime->SetValue(true);
    const int cell = wxTOP | wxBOTTOM | wxRIGHT | wxALIGN_CENTER_VERTICAL;
    repeats->Add(StaticText6, 0, cell, 5);
    repeats->Add(Choice_FallRepeatNum, 0, cell, 5);
    repeats->Add(121, 21, 0);
    repeats->Add(StaticText3, 0, cell, 5);
    repeats->Add(Choice_FallRepeat, 0, cell, 5);
    repeats->Add(CheckBox_FallIncTime, 0, cell, 5);
    row->Add(repeats, 0, wxALL | wxALIGN_CENTER_VERTICAL, 5);
    page->Add(fall, 0, wxALL | wxEXPAND, 5);

    wxStaticBoxSizer* settings = new wxStaticBoxSizer(wxVERTICAL, Panel3, "Settings");
    area = settings->GetStaticBox();
    wxBoxSizer* modeRow = new wxBoxSizer(wxHORIZONTAL);
    RadioBox1 = new wxRadioBox(
        area, ID_RADIOBOX1, wxEmptyString, wxDefaultPosition, wxDefaultSize,
        [] {
            wxArrayString a;
            for (const std::string& s : kestrin::kModeItems) a.Add(s);
            return a;
        }(),
        3, wxRA_SPECIFY_COLS);
    RadioBox1->SetSelection(0);
    CheckBox_EnableFall = new wxCheckBox(area, ID_CHECKBOX4, "Enable Fall Detection");
    CheckBox_EnableFall->Hide();
    StaticText15 = new wxStaticText(area, wxID_ANY, "Sensitivity");
    StaticText15->Hide();
    Choice_Sensitivity = NewChoice(area, kestrin::kSensitivityItems, 1, wxDefaultSize, ID_CHOICE28);
    Choice_Sensitivity->Hide();
    CheckBox_AdvSettings = new wxCheckBox(area, ID_CHECKBOX5, "Enable Advanced Settings");
    CheckBox_AdvSettings->Hide();
    modeRow->Add(RadioBox1, 0, wxALL | wxALIGN_CENTER_VERTICAL, 5);
    modeRow->Add(CheckBox_EnableFall, 0, wxALL | wxALIGN_CENTER_VERTICAL, 5);
    modeRow->AddStretchSpacer(1);
    modeRow->Add(StaticText15, 0, wxALL | wxALIGN_CENTER_VERTICAL, 5);
    modeRow->Add(Choice_Sensitivity, 0, wxALL | wxALIGN_CENTER_VERTICAL, 5);
    modeRow->Add(CheckBox_AdvSettings, 0, wxALL | wxALIGN_CENTER_VERTICAL, 5);
    settings->Add(modeRow, 0, wxALL | wxEXPAND, 0);

    Notebook_FallDetect = new wxNotebook(area, ID_NOTEBOOK2);
    Panel12 = new wxPanel(Notebook_FallDetect, wxID_ANY);
    // Empty, so it would take the focus itself, even before it was ever shown.
    Panel12->SetCanFocus(false);

    // "Fall Detection" sub-page: three grids of label/read-out over sliders,
    // and the vertical tilt slider on the right.
    Panel8 = new wxPanel(Notebook_FallDetect, wxID_ANY);
    wxBoxSizer* fallSub = new wxBoxSizer(wxHORIZONTAL);
    wxBoxSizer* groups = new wxBoxSizer(wxVERTICAL);
    struct Cell {
        wxStaticText* F::*label;
        const char* text;
        int labelWidth;
        int readoutWidth;
        kestrin::SliderId slider;
        const char* placeholder;
    };
    struct Group {
        const char* title;
        Cell cells[3];
    };
    const Group kGroups[] = {
        {"Freefall Detection",
         {{&F::StaticText18, "Threshold", -1, 62, kestrin::kSliderFreeFallThresh, "0.999g"},
          {&F::StaticText19, "Time Beneath", 75, 52, kestrin::kSliderFreeFallTime, "200ms"},
          {&F::StaticText20, "Timeout", -1, 52, kestrin::kSliderFreeFallTimeout, "Text"}}},
        {"Shock Detection",
         {{&F::StaticText21, "Threshold", -1, 62, kestrin::kSliderShockThresh, "Text"},
          {&F::StaticText22, "Time Above", 75, 52, kestrin::kSliderShockTime, "Text"},
          {&F::StaticText23, "Timeout", -1, 52, kestrin::kSliderShockTimeout, "Text"}}},
        {"Stability",
         {{&F::StaticText24, "Threshold", -1, 62, kestrin::kSliderStabilityThresh, "Text"},
          {&F::StaticText25, "Time Stable", 75, 52, kestrin::kSliderStabilityTime, "Text"},
          {&F::StaticText26, "Timeout", -1, 52, kestrin::kSliderStabilityTimeout, "Text"}}},
    };
    for (const Group& g : kGroups) {
        wxStaticBoxSizer* box = new wxStaticBoxSizer(wxVERTICAL, Panel8, g.title);
        wxWindow* boxArea = box->GetStaticBox();
        wxFlexGridSizer* grid = new wxFlexGridSizer(2, 3, 0, 0);
        for (const Cell& c : g.cells) {
            wxBoxSizer* cell = new wxBoxSizer(wxHORIZONTAL);
            this->*c.label = new wxStaticText(boxArea, wxID_ANY, c.text, wxDefaultPosition,
                                              wxSize(c.labelWidth, -1));
            const SliderMembers& sm = kSliderMembers[c.slider];
            this->*sm.readout = NewReadout(boxArea, c.placeholder, wxSize(c.readoutWidth, 21));
            kestrin_ui::SetAccessibleName(this->*sm.readout,
                                          wxString(g.title) + " " + c.text + " value");
            cell->Add(this->*c.label, 0, wxALL | wxALIGN_CENTER_VERTICAL, 5);
            cell->Add(this->*sm.readout, 0, wxALL | wxALIGN_CENTER_VERTICAL, 5);
            cell->AddStretchSpacer(1);
            grid->Add(cell, 1, wxALL | wxEXPAND, 0);
        }
        for (const Cell& c : g.cells) {
            const kestrin::SliderSpec& def = kestrin::kSliders[c.slider];
            const SliderMembers& sm = kSliderMembers[c.slider];
            this->*sm.slider =
                new wxSlider(boxArea, *sm.id, std::max(def.initial, def.min), def.min, def.max);
            kestrin_ui::SetAccessibleName(this->*sm.slider, wxString(g.title) + " " + c.text);
            grid->Add(this->*sm.slider, 1, wxALL | wxEXPAND, 5);
        }
        grid->AddGrowableCol(0);
        grid->AddGrowableCol(1);
        grid->AddGrowableCol(2);
        box->Add(grid, 1, wxALL | wxEXPAND, 0);
        groups->Add(box, 0, wxALL | wxEXPAND, 5);
    }
    fallSub->Add(groups, 1, wxALL | wxEXPAND, 0);
    wxStaticBoxSizer* tilt = new wxStaticBoxSizer(wxVERTICAL, Panel8, "Tilt");
    wxWindow* tiltArea = tilt->GetStaticBox();
    TextCtrl_Angle = NewReadout(tiltArea, "Text", wxSize(50, 21), wxTE_CENTRE);
    Slider_Angle = new wxSlider(tiltArea, ID_SLIDER2, 0, 0, 100, wxDefaultPosition, wxDefaultSize,
                                wxSL_VERTICAL | wxSL_INVERSE | wxSL_AUTOTICKS);
    Slider_Angle->SetTickFreq(10);
    tilt->Add(TextCtrl_Angle, 0, wxALL | wxALIGN_CENTER_HORIZONTAL, 5);
    tilt->Add(Slider_Angle, 1, wxALL | wxALIGN_CENTER_HORIZONTAL, 5);
    fallSub->Add(tilt, 0, wxALL | wxEXPAND, 5);
    Panel8->SetSizer(fallSub);

    // "Man Down" sub-page.
    Panel11 = new wxPanel(Notebook_FallDetect, wxID_ANY);
    wxBoxSizer* manSub = new wxBoxSizer(wxVERTICAL);
    const struct {
        const char* title;
        kestrin::SliderId slider;
        const char* text;
    } kManDown[] = {{"Movement Required to Prevent Alarm", kestrin::kSliderManMove, "30%"},
                    {"Stationary Timeout", kestrin::kSliderManSamples, "60.0s"}};
    for (const auto& md : kManDown) {
        wxStaticBoxSizer* box = new wxStaticBoxSizer(wxHORIZONTAL, Panel11, md.title);
        wxWindow* boxArea = box->GetStaticBox();
        const kestrin::SliderSpec& def = kestrin::kSliders[md.slider];
        const SliderMembers& sm = kSliderMembers[md.slider];
        this->*sm.slider = new wxSlider(boxArea, *sm.id, def.initial, def.min, def.max);
        this->*sm.readout = NewReadout(boxArea, md.text, wxSize(89, 21));
        kestrin_ui::SetAccessibleName(this->*sm.slider, md.title);
        kestrin_ui::SetAccessibleName(this->*sm.readout, wxString(md.title) + " value");
        box->Add(this->*sm.slider, 1, wxALL | wxALIGN_CENTER_VERTICAL, 5);
        box->Add(this->*sm.readout, 0, wxALL | wxALIGN_CENTER_VERTICAL, 5);
        manSub->Add(box, 0, wxALL | wxEXPAND, 5);
    }
    Panel11->SetSizer(manSub);

    Notebook_FallDetect->AddPage(Panel12, "None", true);
    Notebook_FallDetect->AddPage(Panel8, "Fall Detection");
    Notebook_FallDetect->AddPage(Panel11, "Man Down");
    settings->Add(Notebook_FallDetect, 1, wxALL | wxEXPAND, 5);
    page->Add(settings, 1, wxALL | wxEXPAND, 5);

    // Everything that follows the detection mode starts as "None" has it.
    EnableModeList(false);

    Panel3->SetSizer(page);
}

void Kestrin_ProFrame::BuildTestingPage() {
    Panel4 = new wxPanel(Notebook1, wxID_ANY);
    wxBoxSizer* page = new wxBoxSizer(wxVERTICAL);
    wxSizer* row = nullptr;

    wxStaticBoxSizer* test = BuildMessageBlock(Panel4, kestrin::kTest, row);
    wxWindow* area = test->GetStaticBox();
    wxBoxSizer* interval = new wxBoxSizer(wxVERTICAL);
    wxFlexGridSizer* grid = new wxFlexGridSizer(2, 4, 0, 0);
    StaticText29 = new wxStaticText(area, wxID_ANY, "Hours");
    StaticText30 = new wxStaticText(area, wxID_ANY, "Mins");
    StaticText31 = new wxStaticText(area, wxID_ANY, "Secs");
    StaticText10 = new wxStaticText(area, wxID_ANY, "Repeat Time");
    SpinCtrl_TestHour = NewSpin(area, ID_SPINCTRL2, 0, 24, 0, wxSize(46, 21));
    SpinCtrl_TestMin = NewSpin(area, ID_SPINCTRL1, 0, 59, 0, wxSize(46, 21));
    SpinCtrl_TestSec = NewSpin(area, ID_SPINCTRL4, 0, 59, 0, wxSize(46, 21));
    grid->Add(0, 4, 0);
    grid->Add(StaticText29, 0, wxALL | wxALIGN_CENTER_HORIZONTAL, 5);
    grid->Add(StaticText30, 0, wxALL | wxALIGN_CENTER_HORIZONTAL, 5);
    grid->Add(StaticText31, 0, wxALL | wxALIGN_CENTER_HORIZONTAL, 5);
    grid->Add(StaticText10, 0, wxALL | wxALIGN_CENTER_VERTICAL, 5);
    grid->Add(SpinCtrl_TestHour, 0, wxALL, 5);
    grid->Add(SpinCtrl_TestMin, 0, wxALL, 5);
    grid->Add(SpinCtrl_TestSec, 0, wxALL, 5);
    interval->Add(grid, 0, wxALL, 0);
    StaticText_TestCalls =
        new wxStaticText(area, wxID_ANY, "Enabling test calls will reduce battery life");
    StaticText_TestCalls->Disable();
    interval->Add(StaticText_TestCalls, 0, wxALL, 5);
    row->Add(interval, 0, wxALL | wxALIGN_CENTER_VERTICAL, 5);
    page->Add(test, 0, wxALL | wxEXPAND, 5);

    page->Add(BuildMessageBlock(Panel4, kestrin::kReset, row), 0, wxALL | wxEXPAND, 5);
    Panel4->SetSizer(page);
}

void Kestrin_ProFrame::BuildFrequencyPage() {
    Panel5 = new wxPanel(Notebook1, wxID_ANY);
    wxBoxSizer* page = new wxBoxSizer(wxVERTICAL);

    StaticBoxSizer_Testing = new wxStaticBoxSizer(wxHORIZONTAL, Panel5, "Testing");
    wxWindow* area = StaticBoxSizer_Testing->GetStaticBox();
    Button_Space = new wxButton(area, wxID_ANY, "Space");
    Button_Mark = new wxButton(area, wxID_ANY, "Mark");
    Button_Preamble512 = new wxButton(area, wxID_ANY, "Preamble 512");
    Button_Preamble1200 = new wxButton(area, wxID_ANY, "Preamble 1200");
    Button_Preamble2400 = new wxButton(area, wxID_ANY, "Preamble 2400");
    Button_Preamble2400->Hide();
    StaticBoxSizer_Testing->Add(Button_Space, 0, wxALL, 5);
    StaticBoxSizer_Testing->Add(Button_Mark, 0, wxALL, 5);
    StaticBoxSizer_Testing->Add(205, 20, 0);
    StaticBoxSizer_Testing->Add(Button_Preamble512, 0, wxALL, 5);
    StaticBoxSizer_Testing->Add(Button_Preamble1200, 0, wxALL, 5);
    StaticBoxSizer_Testing->Add(Button_Preamble2400, 0, wxALL, 5);
    page->Add(StaticBoxSizer_Testing, 0, wxALL | wxEXPAND, 5);

    wxStaticBoxSizer* freq = new wxStaticBoxSizer(wxHORIZONTAL, Panel5, "Frequency");
    area = freq->GetStaticBox();
    wxBoxSizer* stepper = new wxBoxSizer(wxVERTICAL);
    wxBoxSizer* ups = new wxBoxSizer(wxHORIZONTAL);
    Button_FreqUp3 = new wxButton(area, wxID_ANY, "+++");
    Button_FreqUp2 = new wxButton(area, wxID_ANY, "++");
    Button_FreqUp1 = new wxButton(area, wxID_ANY, "+");
    for (wxButton* b : {Button_FreqUp3, Button_FreqUp2, Button_FreqUp1}) ups->Add(b, 0, wxALL, 5);
    TextCtrl_Freq = NewReadout(area, "433.000 000 MHz", wxDefaultSize, wxTE_CENTRE);
    wxBoxSizer* downs = new wxBoxSizer(wxHORIZONTAL);
    Button_FreqDown3 = new wxButton(area, wxID_ANY, "---");
    Button_FreqDown2 = new wxButton(area, wxID_ANY, "--");
    Button_FreqDown1 = new wxButton(area, wxID_ANY, "-");
    for (wxButton* b : {Button_FreqDown3, Button_FreqDown2, Button_FreqDown1})
        downs->Add(b, 0, wxALL, 5);
    stepper->Add(ups, 0, wxALL | wxALIGN_CENTER_HORIZONTAL, 0);
    stepper->Add(TextCtrl_Freq, 0, wxALL | wxEXPAND, 5);
    stepper->Add(downs, 0, wxALL | wxALIGN_CENTER_HORIZONTAL, 0);
    freq->Add(stepper, 0, wxALL | wxALIGN_CENTER_VERTICAL, 5);
    freq->AddStretchSpacer(1);
    wxBoxSizer* notes = new wxBoxSizer(wxVERTICAL);
    StaticText_FreqUnav = new wxStaticText(
        area, wxID_ANY, "Due to hardware limitations this frequency is unavaliable");
    StaticText_FreqUnav->Hide();
    StaticText11 = new wxStaticText(
        area, wxID_ANY, "Users are reminded to comply with their region's frequency regulations");
    notes->Add(StaticText_FreqUnav, 0, wxALL, 5);
    notes->AddStretchSpacer(1);
    notes->Add(StaticText11, 0, wxALL, 5);
    freq->Add(notes, 0, wxALL | wxEXPAND, 5);
    page->Add(freq, 0, wxALL | wxEXPAND, 5);

    StaticBoxSizer_Tuning = new wxStaticBoxSizer(wxHORIZONTAL, Panel5, "Tuning");
    area = StaticBoxSizer_Tuning->GetStaticBox();
    Button_FreqDec = new wxButton(area, wxID_ANY, "<");
    Slider_Freq = new wxSlider(area, ID_SLIDER1, 0, -44, 44, wxDefaultPosition, wxSize(184, 24));
    Button_FreqInc = new wxButton(area, wxID_ANY, ">");
    StaticText13 = new wxStaticText(area, wxID_ANY, "Correction");
    TextCtrl_FreqOffset = NewReadout(area, "0", wxSize(59, 21), wxTE_RIGHT);
    StaticText14 = new wxStaticText(area, wxID_ANY, "Hz");
    Button_FreqProgram = new wxButton(area, wxID_ANY, "Send Tuning Parameters");
    StaticBoxSizer_Tuning->Add(Button_FreqDec, 0, wxALL | wxALIGN_CENTER_VERTICAL, 5);
    StaticBoxSizer_Tuning->Add(Slider_Freq, 0, wxALL | wxALIGN_CENTER_VERTICAL, 5);
    StaticBoxSizer_Tuning->Add(Button_FreqInc, 0, wxALL | wxALIGN_CENTER_VERTICAL, 5);
    StaticBoxSizer_Tuning->Add(13, 20, 0);
    StaticBoxSizer_Tuning->Add(StaticText13, 0, wxALL | wxALIGN_CENTER_VERTICAL, 5);
    StaticBoxSizer_Tuning->Add(TextCtrl_FreqOffset, 0, wxALL | wxALIGN_CENTER_VERTICAL, 5);
    StaticBoxSizer_Tuning->Add(StaticText14, 0, wxALL | wxALIGN_CENTER_VERTICAL, 5);
    StaticBoxSizer_Tuning->Add(7, 20, 0);
    StaticBoxSizer_Tuning->Add(Button_FreqProgram, 0, wxALL | wxALIGN_CENTER_VERTICAL, 5);
    page->Add(StaticBoxSizer_Tuning, 0, wxALL | wxEXPAND, 5);

    Panel5->SetSizer(page);
}

void Kestrin_ProFrame::BuildEngineeringPage() {
    Panel6 = new wxPanel(Notebook1, wxID_ANY);
    wxBoxSizer* page = new wxBoxSizer(wxVERTICAL);
    page->Add(20, 29, 0);
    Button_Status = new wxButton(Panel6, wxID_ANY, "Transmit Status Information");
    Button_Cali = new wxButton(Panel6, wxID_ANY, "Redo Tumble Calibration");
    Button_Reset = new wxButton(Panel6, wxID_ANY, "Reset Kestrin");
    for (wxButton* b : {Button_Status, Button_Cali, Button_Reset})
        page->Add(b, 0, wxALL | wxALIGN_CENTER_HORIZONTAL, 5);
    Panel6->SetSizer(page);
}

void Kestrin_ProFrame::NameControls() {
    const wxString button = kestrin::kMessages[kestrin::kButton].group;
    const wxString cord = kestrin::kMessages[kestrin::kCord].group;
    const wxString fall = kestrin::kMessages[kestrin::kFall].group;
    const std::pair<wxWindow*, wxString> names[] = {
        {TextCtrl_Info, "Transmitter information"},
        {TextCtrl_FileName, "Configuration File Name"},
        {TextCtrl_ShoeVersion, "Programming Shoe Version"},
        {BitmapButton_Logo, "Kestrin Alarm Systems web page"},
        {TextCtrl_Connectionstatus, "Connection status"},
        {Gauge_Transfer, "Programming progress"},
        {SpinCtrl_ButtonRepeat, button + " Number of Repeats"},
        {Choice_ButtonRepeat, button + " Repeat Time"},
        {Choice_CordRepeat, cord + " Repeat Time"},
        {CheckBox_CordIncTime, cord + " Increase time per repeat"},
        {TextCtrl_FallOn, "Fall detector Activated message text"},
        {TextCtrl_FallOff, "Fall detector Disabled message text"},
        {Choice_FallRepeatNum, fall + " Number of Repeats"},
        {Choice_FallRepeat, fall + " Repeat Time"},
        {CheckBox_FallIncTime, fall + " Increase time per repeat"},
        {Choice_Sensitivity, "Sensitivity"},
        {Slider_Angle, "Tilt"},
        {TextCtrl_Angle, "Tilt value"},
        {SpinCtrl_TestHour, "Test Call Repeat Time Hours"},
        {SpinCtrl_TestMin, "Test Call Repeat Time Mins"},
        {SpinCtrl_TestSec, "Test Call Repeat Time Secs"},
        {TextCtrl_Freq, "Frequency"},
        {Button_FreqUp3, "Frequency up 1 MHz"},
        {Button_FreqUp2, "Frequency up 100 kHz"},
        {Button_FreqUp1, "Frequency up 2.5 kHz"},
        {Button_FreqDown3, "Frequency down 1 MHz"},
        {Button_FreqDown2, "Frequency down 100 kHz"},
        {Button_FreqDown1, "Frequency down 2.5 kHz"},
        {Slider_Freq, "Tuning Correction"},
        {TextCtrl_FreqOffset, "Tuning Correction in Hz"},
        {Button_FreqDec, "Tuning Correction down"},
        {Button_FreqInc, "Tuning Correction up"},
    };
    for (const auto& [control, name] : names) kestrin_ui::SetAccessibleName(control, name);
}
