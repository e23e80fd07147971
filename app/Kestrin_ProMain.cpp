// Main window: construction order, bindings, change tracking, Quit, About.
#include "app/Kestrin_ProMain.h"

#include <wx/font.h>
#include <wx/msgdlg.h>
#include <wx/settings.h>
#include <wx/utils.h>

#include "app/compact_style.h"
#include "app/data_files.h"
#include "app/running_operation.h"
#include "app/ui_hooks.h"
#include "config/eeprom.h"

wxString filePath;
wxString fileName;
bool changeMade = false;
bool connected = false;
FT_HANDLE ftHandle = nullptr;
bool connectedRead = false;
FT_HANDLE ftHandleRead = nullptr;

const wxString kTitle = "Kestrin-Pro Fr";
const wxString kVersionText = "Version: 1.8.3";

namespace {
const char* const kMakerPage = "https://www.kestrin-alarms.example/";
const char* const kMakerNotice = " - (c) Kestrin Alarm Systems";
// The sizes the form gives its controls were drawn for a smaller default font
// than GTK's; a control is never made smaller than it needs to show its text.
void GrowToNaturalSizes(wxWindow* parent) {
    for (wxWindow* w : parent->GetChildren()) {
        if (w->IsTopLevel()) continue;
        if (!wxDynamicCast(w, wxPanel) && !wxDynamicCast(w, wxNotebook) &&
            !wxDynamicCast(w, wxStaticBox)) {
            const wxSize now = w->GetSize(), best = w->GetBestSize();
            w->SetMinSize(wxSize(std::max(now.x, best.x), std::max(now.y, best.y)));
        }
        GrowToNaturalSizes(w);
    }
}
}  // namespace

const long Kestrin_ProFrame::ID_NOTEBOOK1 = wxNewId();
const long Kestrin_ProFrame::ID_NOTEBOOK2 = wxNewId();
const long Kestrin_ProFrame::ID_SLIDER1 = wxNewId();
const long Kestrin_ProFrame::ID_SLIDER2 = wxNewId();
const long Kestrin_ProFrame::ID_SLIDER3 = wxNewId();
const long Kestrin_ProFrame::ID_SLIDER4 = wxNewId();
const long Kestrin_ProFrame::ID_SLIDER5 = wxNewId();
const long Kestrin_ProFrame::ID_SLIDER6 = wxNewId();
const long Kestrin_ProFrame::ID_SLIDER7 = wxNewId();
const long Kestrin_ProFrame::ID_SLIDER8 = wxNewId();
const long Kestrin_ProFrame::ID_SLIDER9 = wxNewId();
const long Kestrin_ProFrame::ID_SLIDER10 = wxNewId();
const long Kestrin_ProFrame::ID_SLIDER11 = wxNewId();
const long Kestrin_ProFrame::ID_SLIDER12 = wxNewId();
const long Kestrin_ProFrame::ID_SLIDER13 = wxNewId();
const long Kestrin_ProFrame::ID_SPINCTRL1 = wxNewId();
const long Kestrin_ProFrame::ID_SPINCTRL2 = wxNewId();
const long Kestrin_ProFrame::ID_SPINCTRL4 = wxNewId();
const long Kestrin_ProFrame::ID_SPINCTRL5 = wxNewId();
const long Kestrin_ProFrame::ID_CHOICE28 = wxNewId();
const long Kestrin_ProFrame::ID_RADIOBOX1 = wxNewId();
const long Kestrin_ProFrame::ID_CHECKBOX1 = wxNewId();
const long Kestrin_ProFrame::ID_CHECKBOX3 = wxNewId();
const long Kestrin_ProFrame::ID_CHECKBOX4 = wxNewId();
const long Kestrin_ProFrame::ID_CHECKBOX5 = wxNewId();
const long Kestrin_ProFrame::ID_TIMER1 = wxNewId();
const long Kestrin_ProFrame::idMenuNew = wxNewId();
const long Kestrin_ProFrame::idMenuOpen = wxNewId();
const long Kestrin_ProFrame::idMenuSave = wxNewId();
const long Kestrin_ProFrame::idMenuSaveAs = wxNewId();
const long Kestrin_ProFrame::idMenuText = wxNewId();
const long Kestrin_ProFrame::idMenuQuit = wxNewId();
const long Kestrin_ProFrame::idMenuAbout = wxNewId();

using F = Kestrin_ProFrame;

const std::array<F::MessageMembers, kestrin::kMsgCount> F::kMessageMembers = {{
    {&F::Choice_ButtonType, &F::Choice_ButtonSpeed, &F::TextCtrl_ButtonID, &F::Choice_ButtonTone,
     &F::TextCtrl_Button},
    {&F::Choice_CordType, &F::Choice_CordSpeed, &F::TextCtrl_CordID, &F::Choice_CordTone,
     &F::TextCtrl_Cord},
    {&F::Choice_ReedType, &F::Choice_ReedSpeed, &F::TextCtrl_ReedID, &F::Choice_ReedTone,
     &F::TextCtrl_Reed},
    {&F::Choice_BatLowType, &F::Choice_BatLowSpeed, &F::TextCtrl_BatLowID, &F::Choice_BatLowTone,
     &F::TextCtrl_BatLow},
    {&F::Choice_BatShutType, &F::Choice_BatShutSpeed, &F::TextCtrl_BatShutID,
     &F::Choice_BatShutTone, &F::TextCtrl_BatShut},
    {&F::Choice_FallType, &F::Choice_FallSpeed, &F::TextCtrl_FallID, &F::Choice_FallTone,
     &F::TextCtrl_Fall},
    {&F::Choice_TestType, &F::Choice_TestSpeed, &F::TextCtrl_TestID, &F::Choice_TestTone,
     &F::TextCtrl_Test},
    {&F::Choice_ResetType, &F::Choice_ResetSpeed, &F::TextCtrl_ResetID, &F::Choice_ResetTone,
     &F::TextCtrl_Reset},
}};

const std::array<F::SliderMembers, kestrin::kSliderCount> F::kSliderMembers = {{
    {&F::Slider_Freq, &F::TextCtrl_FreqOffset, &F::ID_SLIDER1},
    {&F::Slider_Angle, &F::TextCtrl_Angle, &F::ID_SLIDER2},
    {&F::Slider_FreeFallThresh, &F::TextCtrl_FreeFallThresh, &F::ID_SLIDER3},
    {&F::Slider_FreeFallTime, &F::TextCtrl_FreeFallTime, &F::ID_SLIDER4},
    {&F::Slider_FreeFallTimeout, &F::TextCtrl_FreeFallTimeout, &F::ID_SLIDER5},
    {&F::Slider_ShockThresh, &F::TextCtrl_ShockThresh, &F::ID_SLIDER6},
    {&F::Slider_ShockTime, &F::TextCtrl_ShockTime, &F::ID_SLIDER7},
    {&F::Slider_ShockTimeout, &F::TextCtrl_ShockTimeout, &F::ID_SLIDER8},
    {&F::Slider_StabilityThresh, &F::TextCtrl_StabilityThresh, &F::ID_SLIDER9},
    {&F::Slider_StabilityTime, &F::TextCtrl_StabilityTime, &F::ID_SLIDER10},
    {&F::Slider_StabilityTimeout, &F::TextCtrl_StabilityTimeout, &F::ID_SLIDER11},
    {&F::Slider_ManMove, &F::TextCtrl_Movement, &F::ID_SLIDER12},
    {&F::Slider_ManSamples, &F::TextCtrl_ManSamples, &F::ID_SLIDER13},
}};

Kestrin_ProFrame::Kestrin_ProFrame(wxWindow* parent, wxWindowID id)
    : AlphaNumericValidator(wxFILTER_INCLUDE_CHAR_LIST),
      NumericValidator(wxFILTER_INCLUDE_CHAR_LIST) {
    // 1-2. Character lists and the two validator templates.
    wxArrayString IncludeAN;
    for (char c = '!'; c <= '~'; ++c) IncludeAN.Add(wxString(c == '|' ? ' ' : c));
    AlphaNumericValidator.SetIncludes(IncludeAN);
    wxArrayString IncludeN;
    for (const char* s :
         {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "a", "A", "u", "U", " ", "]", "[", "-"})
        IncludeN.Add(s);
    NumericValidator.SetIncludes(IncludeN);

    // 3. Frame-wide change tracking first, so every later binding wins.
    Bind(wxEVT_TEXT, &F::On_Change, this);
    Bind(wxEVT_SLIDER, &F::On_Change, this);
    Bind(wxEVT_CHOICE, &F::On_Change, this);
    Bind(wxEVT_CHECKBOX, &F::On_Change, this);
    Bind(wxEVT_RADIOBOX, &F::On_Change, this);

    // 4. The frame.
    kestrin_ui::ApplyCompactStyle();
    Create(parent, id, wxEmptyString, wxDefaultPosition, wxDefaultSize,
           wxDEFAULT_FRAME_STYLE | wxCLIP_CHILDREN);
    SetClientSize(wxSize(966, 580));
    // The form was laid out for an 8-point dialog font; GTK's larger default
    // would push the message blocks past the window's width.
    SetFont(wxFont(8, wxFONTFAMILY_SWISS, wxFONTSTYLE_NORMAL, wxFONTWEIGHT_NORMAL));

    // 5-7. Left area with header and notebook, pages, right-hand column.
    wxBoxSizer* top = new wxBoxSizer(wxHORIZONTAL);
    BuildHeaderAndInfo(top);
    BuildMessagesPage();
    BuildFallPage();
    BuildTestingPage();
    BuildFrequencyPage();
    BuildEngineeringPage();
    Notebook1->AddPage(Panel1, "Info", true);
    Notebook1->AddPage(Panel2, "Messages");
    Notebook1->AddPage(Panel3, "Fall detection");
    Notebook1->AddPage(Panel4, "Testing");
    Notebook1->AddPage(Panel5, "Frequency Setup");
    Notebook1->AddPage(Panel6, "Engineering");
    BuildRightColumn(top);

    // 8. Menus. The menu bar takes its height from the client area on GTK,
    // so the client size is set again to keep 966 x 580 for the form.
    BuildMenus();
    SetClientSize(wxSize(966, 580));

    // 9. The connection monitor's clock.
    Timer1.SetOwner(this, ID_TIMER1);
    Timer1.Start(1000, false);

    // 10. File dialogs, reused for the life of the window.
    FileDialog_Save = new wxFileDialog(this, "Save Configuration File", wxEmptyString,
                                       wxEmptyString, "Kestrin-Tq9 (*.kt9)|*.kt9", wxFD_SAVE);
    FileDialog_Open = new wxFileDialog(this, "Open Configuration File", wxEmptyString,
                                       wxEmptyString, "Kestrin-Tq9 (*.kt9)|*.kt9", wxFD_OPEN);
    FileDialog_Text = new wxFileDialog(this, "Save Text File", wxEmptyString, wxEmptyString,
                                       "Text File (*.txt)|*.txt", wxFD_SAVE);

    // 11. Lay out.
    GrowToNaturalSizes(this);
    // Seven digits need far less than a default entry; without this the two
    // battery blocks do not fit side by side.
    for (int m = 0; m < kestrin::kMsgCount; ++m) {
        const int width = IdText(m)->GetTextExtent("00000000").x + 16;
        IdText(m)->SetMinSize(wxSize(std::max(61, width), IdText(m)->GetMinSize().y));
    }
    SetSizer(top);
    Layout();
    // Pages not shown yet still get a real size, so GTK never has to place
    // their controls in a zero-sized page.
    for (wxNotebook* book : {Notebook1, Notebook_FallDetect}) {
        const wxSize pageSize = book->GetCurrentPage()->GetSize();
        for (size_t i = 0; i < book->GetPageCount(); ++i) {
            book->GetPage(i)->SetSize(pageSize);
            book->GetPage(i)->Layout();
        }
    }

    // 12. Control bindings.
    BindControls();

    // 13. Sensitivity preset, through the handler as the operator would run it.
    RaiseCommand(wxEVT_CHOICE, ID_CHOICE28, Choice_Sensitivity->GetSelection());

    // 14-16.
    StaticText_Version->SetLabel(kVersionText);
    SetTitle(kTitle);
    EEPROM.freq = 433000000;

    // 17. Groups that are built but not offered.
    Panel5->GetSizer()->Hide(StaticBoxSizer_Testing, true);
    Panel5->GetSizer()->Hide(StaticBoxSizer_Tuning, true);
    Panel5->Layout();
    Button_Cali->Hide();
    Panel6->Layout();
}

Kestrin_ProFrame::~Kestrin_ProFrame() {
    Timer1.Stop();
    operation.reset();
}

void Kestrin_ProFrame::BuildHeaderAndInfo(wxBoxSizer* top) {
    Panel10 = new wxPanel(this, wxID_ANY);
    wxBoxSizer* left = new wxBoxSizer(wxVERTICAL);
    Panel7 = new wxPanel(Panel10, wxID_ANY);
    wxBoxSizer* header = new wxBoxSizer(wxHORIZONTAL);
    StaticText1 = new wxStaticText(Panel7, wxID_ANY,
                                   wxString("Kestrin TQ9 Configuration Utility") + kMakerNotice);
    StaticText1->SetFont(
        wxFont(12, wxFONTFAMILY_SWISS, wxFONTSTYLE_NORMAL, wxFONTWEIGHT_BOLD, false, "System"));
    header->Add(StaticText1, 1, wxALL | wxALIGN_CENTER_VERTICAL, 5);
    Panel7->SetSizer(header);
    left->Add(Panel7, 0, wxALL | wxEXPAND, 0);

    Notebook1 = new wxNotebook(Panel10, ID_NOTEBOOK1);
    left->Add(Notebook1, 1, wxALL | wxEXPAND, 5);
    Panel10->SetSizer(left);
    top->Add(Panel10, 1, wxALL | wxEXPAND, 0);

    // "Info" page.
    Panel1 = new wxPanel(Notebook1, wxID_ANY);
    wxBoxSizer* info = new wxBoxSizer(wxVERTICAL);
    wxBoxSizer* row1 = new wxBoxSizer(wxHORIZONTAL);
    StaticBitmap1 = new wxStaticBitmap(Panel1, wxID_ANY, kestrin_ui::LoadDataBitmap("Info.bmp"),
                                       wxDefaultPosition, wxDefaultSize, wxSIMPLE_BORDER);
    row1->Add(StaticBitmap1, 0, wxALL | wxALIGN_TOP, 5);
    TextCtrl_Info = new wxTextCtrl(Panel1, wxID_ANY, wxEmptyString, wxDefaultPosition,
                                   wxSize(230, 269), wxTE_MULTILINE | wxTE_READONLY);
    row1->Add(TextCtrl_Info, 1, wxALL | wxEXPAND, 5);
    info->Add(row1, 1, wxALL | wxEXPAND, 0);

    wxFlexGridSizer* row2 = new wxFlexGridSizer(3, 2, 2, 0);
    StaticText4 = new wxStaticText(Panel1, wxID_ANY, "Configuration File Name", wxDefaultPosition,
                                   wxSize(150, -1));
    TextCtrl_FileName = new wxTextCtrl(Panel1, wxID_ANY, wxEmptyString, wxDefaultPosition,
                                       wxSize(227, 21), wxTE_READONLY);
    StaticText5 = new wxStaticText(Panel1, wxID_ANY, "Programming Shoe Version");
    TextCtrl_ShoeVersion = new wxTextCtrl(Panel1, wxID_ANY, wxEmptyString, wxDefaultPosition,
                                          wxDefaultSize, wxTE_READONLY);
    row2->Add(StaticText4, 0, wxALL | wxALIGN_CENTER_VERTICAL, 5);
    row2->Add(TextCtrl_FileName, 0, wxALL | wxALIGN_CENTER_VERTICAL, 5);
    row2->Add(StaticText5, 0, wxALL | wxALIGN_CENTER_VERTICAL, 5);
    row2->Add(TextCtrl_ShoeVersion, 0, wxALL | wxEXPAND | wxALIGN_CENTER_VERTICAL, 5);
    info->Add(row2, 0, wxALL, 0);
    Panel1->SetSizer(info);
}

void Kestrin_ProFrame::BuildRightColumn(wxBoxSizer* top) {
    Panel9 = new wxPanel(this, wxID_ANY);
    wxBoxSizer* col = new wxBoxSizer(wxVERTICAL);
    BitmapButton_Logo =
        new wxBitmapButton(Panel9, wxID_ANY, kestrin_ui::LoadDataBitmap("Logo.bmp"));
    col->Add(BitmapButton_Logo, 0, wxALL | wxALIGN_CENTER_HORIZONTAL, 5);
    col->Add(20, 24, 0);
    TextCtrl_Connectionstatus = new wxTextCtrl(Panel9, wxID_ANY, "DISCONNECTED", wxDefaultPosition,
                                               wxDefaultSize, wxTE_READONLY | wxTE_CENTRE);
    TextCtrl_Connectionstatus->SetBackgroundColour(wxColour(255, 4, 4));
    wxFont bold = wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT);
    bold.SetWeight(wxFONTWEIGHT_BOLD);
    TextCtrl_Connectionstatus->SetFont(bold);
    col->Add(TextCtrl_Connectionstatus, 0, wxALL | wxEXPAND, 5);
    col->Add(20, 22, 0);
    Button_Program = new wxButton(Panel9, wxID_ANY, "Program");
    Button_Program->Disable();
    col->Add(Button_Program, 0, wxALL | wxEXPAND, 5);
    Button_Read = new wxButton(Panel9, wxID_ANY, "Read");
    Button_Read->Hide();
    col->Add(Button_Read, 0, wxALL | wxEXPAND, 5);
    // How the last run ended, kept in view without stopping the operator.
    Panel_Notice = new wxPanel(Panel9, wxID_ANY);
    wxBoxSizer* notice = new wxBoxSizer(wxVERTICAL);
    StaticText_Notice = new wxStaticText(Panel_Notice, wxID_ANY, wxEmptyString);
    notice->Add(StaticText_Notice, 1, wxALL | wxEXPAND, 6);
    Panel_Notice->SetSizer(notice);
    Panel_Notice->Hide();
    col->Add(Panel_Notice, 0, wxALL | wxEXPAND, 5);
    col->AddStretchSpacer(1);
    Gauge_Transfer = new wxGauge(Panel9, wxID_ANY, 63, wxDefaultPosition, wxSize(154, 20));
    Gauge_Transfer->Disable();
    Gauge_Transfer->Hide();
    col->Add(Gauge_Transfer, 0, wxALL | wxALIGN_CENTER_HORIZONTAL, 5);
    Button_Cancel = new wxButton(Panel9, wxID_ANY, "Cancel");
    Button_Cancel->Hide();
    col->Add(Button_Cancel, 0, wxLEFT | wxRIGHT | wxALIGN_CENTER_HORIZONTAL, 5);
    StaticText_Version = new wxStaticText(Panel9, wxID_ANY, "Version Information");
    col->Add(StaticText_Version, 0, wxALL | wxALIGN_CENTER_HORIZONTAL, 15);
    Panel9->SetSizer(col);
    top->Add(Panel9, 0, wxALL | wxEXPAND, 0);
}

void Kestrin_ProFrame::BuildMenus() {
    wxMenuBar* bar = new wxMenuBar();
    wxMenu* file = new wxMenu();
    MenuItem1 = file->Append(idMenuNew, "New\tCtrl-N", "Create a new default configuration");
    MenuItem2 = file->Append(idMenuOpen, "Open\tCtrl-O", "Load a configuration");
    MenuItem4 = file->Append(idMenuSave, "Save\tCtrl-S", "Save the configuration");
    MenuItem4->Enable(false);
    MenuItem5 = file->Append(idMenuSaveAs, "Save As\tCtrl-A", "Save the configuration to...");
    file->AppendSeparator();
    MenuItem6 = file->Append(idMenuText, "Output Text File\tCtrl-F",
                             "Produce a text file detailing the configuration");
    file->AppendSeparator();
    MenuItem7 = file->Append(idMenuQuit, "Quit\tAlt-F4", "Quit the application");
    bar->Append(file, "&File");
    wxMenu* help = new wxMenu();
    MenuItem8 = help->Append(idMenuAbout, "About\tF1", "Show info about this application");
    bar->Append(help, "Help");
    SetMenuBar(bar);
}

void Kestrin_ProFrame::BindControls() {
    Bind(wxEVT_MENU, &F::OnMenuNewSelected, this, idMenuNew);
    Bind(wxEVT_MENU, &F::OnMenuOpenSelected, this, idMenuOpen);
    Bind(wxEVT_MENU, &F::OnMenuSaveSelected, this, idMenuSave);
    Bind(wxEVT_MENU, &F::OnMenuSaveAsSelected, this, idMenuSaveAs);
    Bind(wxEVT_MENU, &F::OnMenuTextSelected, this, idMenuText);
    Bind(wxEVT_MENU, &F::OnQuit, this, idMenuQuit);
    Bind(wxEVT_MENU, &F::OnAbout, this, idMenuAbout);
    Bind(wxEVT_TIMER, &F::OnTimer1Trigger1, this, ID_TIMER1);
    // Quit and the close box share one path, so the close box asks too.
    Bind(wxEVT_CLOSE_WINDOW, &F::OnClose, this);

    const std::pair<wxButton*, void (F::*)(wxCommandEvent&)> buttons[] = {
        {Button_Program, &F::OnButton_ProgramClick},
        {Button_Read, &F::OnButton_ReadClick},
        {Button_Cancel, &F::OnButton_CancelClick},
        {BitmapButton_Logo, &F::OnBitmapButton_LogoClick},
        {Button_Status, &F::OnButton_StatusClick},
        {Button_Cali, &F::OnButton_CaliClick},
        {Button_Reset, &F::OnButton_ResetClick},
        {Button_Space, &F::OnButton_SpaceClick},
        {Button_Mark, &F::OnButton_MarkClick},
        {Button_Preamble512, &F::OnButton_Preamble512Click},
        {Button_Preamble1200, &F::OnButton_Preamble1200Click},
        {Button_Preamble2400, &F::OnButton_Preamble2400Click},
        {Button_FreqProgram, &F::OnButton_FreqProgramClick},
        {Button_FreqUp3, &F::OnButton_FreqUp3Click},
        {Button_FreqUp2, &F::OnButton_FreqUp2Click},
        {Button_FreqUp1, &F::OnButton_FreqUp1Click},
        {Button_FreqDown3, &F::OnButton_FreqDown3Click},
        {Button_FreqDown2, &F::OnButton_FreqDown2Click},
        {Button_FreqDown1, &F::OnButton_FreqDown1Click},
        {Button_FreqDec, &F::OnButton_FreqDecClick},
        {Button_FreqInc, &F::OnButton_FreqIncClick},
    };
    for (const auto& [button, handler] : buttons)
        Bind(wxEVT_BUTTON, handler, this, button->GetId());

    void (F::*const typeHandlers[kestrin::kMsgCount])(wxCommandEvent&) = {
        &F::OnChoice_ButtonTypeSelect, &F::OnChoice_CordTypeSelect,    &F::OnChoice_ReedTypeSelect,
        &F::OnChoice_BatLowTypeSelect, &F::OnChoice_BatShutTypeSelect, &F::OnChoice_FallTypeSelect,
        &F::OnChoice_TestTypeSelect,   &F::OnChoice_ResetTypeSelect};
    for (int m = 0; m < kestrin::kMsgCount; ++m)
        Bind(wxEVT_CHOICE, typeHandlers[m], this, TypeChoice(m)->GetId());

    Bind(wxEVT_SPINCTRL, &F::OnSpinCtrl_ButtonRepeatChange, this, ID_SPINCTRL5);
    Bind(wxEVT_SPINCTRL, &F::OnSpinCtrl_TestTimeChange, this, ID_SPINCTRL2);
    Bind(wxEVT_SPINCTRL, &F::OnSpinCtrl_TestTimeChange, this, ID_SPINCTRL1);
    Bind(wxEVT_SPINCTRL, &F::OnSpinCtrl_TestTimeChange, this, ID_SPINCTRL4);

    Bind(wxEVT_RADIOBOX, &F::OnRadioBox1Select, this, ID_RADIOBOX1);
    Bind(wxEVT_CHECKBOX, &F::OnCheckBox_EnableFallClick, this, ID_CHECKBOX4);
    Bind(wxEVT_CHOICE, &F::OnChoice_SensitivitySelect, this, ID_CHOICE28);
    Bind(wxEVT_CHECKBOX, &F::OnCheckBox_AdvSettingsClick, this, ID_CHECKBOX5);

    void (F::*const sliderHandlers[kestrin::kSliderCount])(wxCommandEvent&) = {
        &F::OnSlider_FreqCmdScroll,
        &F::OnSlider_AngleCmdSliderUpdated,
        &F::OnSlider_FreeFallThreshCmdSliderUpdated,
        &F::OnSlider_FreeFallTimeCmdSliderUpdated,
        &F::OnSlider_FreeFallTimeoutCmdSliderUpdated,
        &F::OnSlider_ShockThreshCmdSliderUpdated,
        &F::OnSlider_ShockTimeCmdSliderUpdated,
        &F::OnSlider_ShockTimeoutCmdSliderUpdated,
        &F::OnSlider_StabilityThreshCmdSliderUpdated,
        &F::OnSlider_StabilityTimeCmdSliderUpdated,
        &F::OnSlider_StabilityTimeoutCmdSliderUpdated,
        &F::OnSlider1CmdScroll,
        &F::OnSlider_ManSamplesCmdSliderUpdated};
    for (int s = 0; s < kestrin::kSliderCount; ++s)
        Bind(wxEVT_SLIDER, sliderHandlers[s], this, *kSliderMembers[s].id);

    Bind(wxEVT_NOTEBOOK_PAGE_CHANGED, &F::OnNotebook1PageChanged, this, ID_NOTEBOOK2);
    Bind(wxEVT_NOTEBOOK_PAGE_CHANGING, &F::OnNotebook1PageChanging, this, ID_NOTEBOOK1);
}

void Kestrin_ProFrame::RaiseSlider(long id) { RaiseCommand(wxEVT_SLIDER, id); }

void Kestrin_ProFrame::RaiseCommand(wxEventType type, long id, int selection) {
    wxCommandEvent event(type, id);
    event.SetInt(selection);
    event.SetEventObject(FindWindow(id));
    GetEventHandler()->ProcessEvent(event);
}

// ---------------------------------------------------------------------------
// Change tracking and the shell commands

void Kestrin_ProFrame::MarkChanged() {
    if (fileName.empty()) return;
    fileName = kestrin_ui::FileNameOf(filePath);
    SetTitle(fileName + "* " + kTitle);
    MenuItem4->Enable(true);
    changeMade = true;
}

void Kestrin_ProFrame::On_Change(wxCommandEvent&) { MarkChanged(); }

void Kestrin_ProFrame::FinishFileCommand() {
    fileName = kestrin_ui::FileNameOf(filePath);
    TextCtrl_FileName->ChangeValue(fileName);
    SetTitle(fileName + " " + kTitle);
    MenuItem4->Enable(false);
    changeMade = false;
}

bool Kestrin_ProFrame::ConfirmUnsavedChanges() {
    if (fileName.empty() || !changeMade) return true;
    const int answer = kestrin_ui::MessageBox("Save changes to " + fileName + "?", "Please confirm",
                                              wxYES_NO | wxCANCEL | wxICON_QUESTION, this);
    if (answer == wxCANCEL) return false;
    if (answer == wxYES) {
        wxCommandEvent save(wxEVT_MENU, idMenuSave);
        save.SetEventObject(this);
        GetEventHandler()->ProcessEvent(save);
        // Going on after a failed save would lose the changes.
        return !changeMade;
    }
    return true;
}

void Kestrin_ProFrame::OnQuit(wxCommandEvent&) { Close(false); }

void Kestrin_ProFrame::OnClose(wxCloseEvent& event) {
    if (deviceBusy) {
        // Without a veto the window goes now: the worker is stopped and
        // waited for in the destructor.
        if (event.CanVeto()) {
            event.Veto();
            AskToEndOperationForClose();
            return;
        }
    }
    if (event.CanVeto() && !ConfirmUnsavedChanges()) {
        event.Veto();
        return;
    }
    Destroy();
}

void Kestrin_ProFrame::OnAbout(wxCommandEvent&) {
    const wxString text =
        kVersionText + "\nCompiled on: " + kestrin_ui::BuildStamp(__DATE__, __TIME__);
    kestrin_ui::MessageBox(text, "Version Information", wxOK | wxCENTRE, nullptr);
}

void Kestrin_ProFrame::OnBitmapButton_LogoClick(wxCommandEvent&) {
    kestrin_ui::LaunchBrowser(kMakerPage);
}

void Kestrin_ProFrame::OnNotebook1PageChanging(wxNotebookEvent& event) {
    // Only the page on show is disabled during an operation.
    if (InputBlocked()) event.Veto();
}

void Kestrin_ProFrame::OnNotebook1PageChanged(wxNotebookEvent&) {
    RadioBox1->SetSelection(Notebook_FallDetect->GetSelection());
    RaiseCommand(wxEVT_RADIOBOX, ID_RADIOBOX1, RadioBox1->GetSelection());
}
