// The main window: owns every control, the menus, the polling timer and the
// file dialogs. Its methods are thin glue between the controls and the
// wx-free core (config/, device/, pages/, report/).
#pragma once

#include <wx/bmpbuttn.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/filedlg.h>
#include <wx/frame.h>
#include <wx/gauge.h>
#include <wx/menu.h>
#include <wx/notebook.h>
#include <wx/panel.h>
#include <wx/radiobox.h>
#include <wx/sizer.h>
#include <wx/slider.h>
#include <wx/spinctrl.h>
#include <wx/statbmp.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/timer.h>
#include <wx/valtext.h>

#include <array>
#include <functional>
#include <memory>
#include <string>

#include "config/form.h"
#include "config/programming_log.h"
#include "device/framing.h"
#include "device/ftdi.h"
#include "device/operations.h"
#include "device/verified_run.h"

// Program-wide state of the shell and of the device link.
extern wxString filePath;  // full path of the current configuration file
extern wxString fileName;  // filePath after its last separator; empty: no named file
extern bool changeMade;    // unsaved changes to the named file
extern bool connected;     // programming shoe open on ftHandle
extern FT_HANDLE ftHandle;
extern bool connectedRead;  // read cable open on ftHandleRead
extern FT_HANDLE ftHandleRead;

// The fixed title text shown in every title form.
extern const wxString kTitle;
extern const wxString kVersionText;

class Kestrin_ProFrame : public wxFrame {
  public:
    Kestrin_ProFrame(wxWindow* parent, wxWindowID id = -1);
    ~Kestrin_ProFrame() override;

    // Form snapshot in and out; the loaders and the encoder speak it.
    kestrin::FormSnapshot ReadForm() const;
    void ApplyForm(const kestrin::FormSnapshot& form, bool withFreq);

    // Packet layer to the programming shoe.
    // Each returns false when the shoe did not take the whole frame.
    bool SerialWrite(uint8_t type, kestrin::Bytes output);
    bool SerialStart();
    bool SerialEnd();
    void LoadFromForm();

    void UpdateFreqAvailability();
    void ShowFreqOffset();

    // Identifiers named by the handlers that raise notifications.
    static const long ID_NOTEBOOK1;
    static const long ID_NOTEBOOK2;
    static const long ID_SLIDER1, ID_SLIDER2, ID_SLIDER3, ID_SLIDER4, ID_SLIDER5, ID_SLIDER6,
        ID_SLIDER7, ID_SLIDER8, ID_SLIDER9, ID_SLIDER10, ID_SLIDER11, ID_SLIDER12, ID_SLIDER13;
    static const long ID_SPINCTRL1, ID_SPINCTRL2, ID_SPINCTRL4, ID_SPINCTRL5;
    static const long ID_CHOICE28;
    static const long ID_RADIOBOX1;
    static const long ID_CHECKBOX1, ID_CHECKBOX3, ID_CHECKBOX4, ID_CHECKBOX5;
    static const long ID_TIMER1;
    static const long idMenuNew, idMenuOpen, idMenuSave, idMenuSaveAs, idMenuText, idMenuQuit,
        idMenuAbout;

    // Frame level.
    wxPanel *Panel10, *Panel7, *Panel9, *Panel1;
    wxStaticText* StaticText1;
    wxNotebook* Notebook1;
    wxStaticBitmap* StaticBitmap1;
    wxTextCtrl *TextCtrl_Info, *TextCtrl_FileName, *TextCtrl_ShoeVersion;
    wxStaticText *StaticText4, *StaticText5;
    wxBitmapButton* BitmapButton_Logo;
    wxTextCtrl* TextCtrl_Connectionstatus;
    wxButton *Button_Program, *Button_Read;
    wxGauge* Gauge_Transfer;
    wxButton* Button_Cancel;  // shown beside the gauge while an operation can be stopped
    wxPanel* Panel_Notice;    // how the last programming run ended
    wxStaticText* StaticText_Notice;
    wxStaticText* StaticText_Version;
    wxMenuItem *MenuItem1, *MenuItem2, *MenuItem4, *MenuItem5, *MenuItem6, *MenuItem7, *MenuItem8;
    wxTimer Timer1;
    wxFileDialog *FileDialog_Save, *FileDialog_Open, *FileDialog_Text;
    wxTextValidator AlphaNumericValidator;
    wxTextValidator NumericValidator;

    // Pages.
    wxPanel *Panel2, *Panel3, *Panel4, *Panel5, *Panel6, *Panel8, *Panel11, *Panel12;

    // Message blocks.
    wxChoice *Choice_ButtonType, *Choice_ButtonSpeed, *Choice_ButtonTone;
    wxTextCtrl *TextCtrl_ButtonID, *TextCtrl_Button;
    wxChoice *Choice_CordType, *Choice_CordSpeed, *Choice_CordTone;
    wxTextCtrl *TextCtrl_CordID, *TextCtrl_Cord;
    wxChoice *Choice_ReedType, *Choice_ReedSpeed, *Choice_ReedTone;
    wxTextCtrl *TextCtrl_ReedID, *TextCtrl_Reed;
    wxChoice *Choice_BatLowType, *Choice_BatLowSpeed, *Choice_BatLowTone;
    wxTextCtrl *TextCtrl_BatLowID, *TextCtrl_BatLow;
    wxChoice *Choice_BatShutType, *Choice_BatShutSpeed, *Choice_BatShutTone;
    wxTextCtrl *TextCtrl_BatShutID, *TextCtrl_BatShut;
    wxChoice *Choice_FallType, *Choice_FallSpeed, *Choice_FallTone;
    wxTextCtrl *TextCtrl_FallID, *TextCtrl_Fall;
    wxChoice *Choice_TestType, *Choice_TestSpeed, *Choice_TestTone;
    wxTextCtrl *TextCtrl_TestID, *TextCtrl_Test;
    wxChoice *Choice_ResetType, *Choice_ResetSpeed, *Choice_ResetTone;
    wxTextCtrl *TextCtrl_ResetID, *TextCtrl_Reset;

    // "Messages" page extras.
    wxStaticText *StaticText16, *StaticText17, *StaticText2, *StaticText7, *StaticText8,
        *StaticText9;
    wxSpinCtrl* SpinCtrl_ButtonRepeat;
    wxChoice *Choice_ButtonRepeat, *Choice_CordRepeat;
    wxCheckBox* CheckBox_CordIncTime;
    wxTextCtrl *TextCtrl_FallOn, *TextCtrl_FallOff;

    // "Fall detection" page.
    wxStaticText *StaticText6, *StaticText3, *StaticText15;
    wxChoice *Choice_FallRepeatNum, *Choice_FallRepeat, *Choice_Sensitivity;
    wxCheckBox *CheckBox_FallIncTime, *CheckBox_EnableFall, *CheckBox_AdvSettings;
    wxRadioBox* RadioBox1;
    wxNotebook* Notebook_FallDetect;
    wxStaticText *StaticText18, *StaticText19, *StaticText20, *StaticText21, *StaticText22,
        *StaticText23, *StaticText24, *StaticText25, *StaticText26;
    wxTextCtrl *TextCtrl_FreeFallThresh, *TextCtrl_FreeFallTime, *TextCtrl_FreeFallTimeout,
        *TextCtrl_ShockThresh, *TextCtrl_ShockTime, *TextCtrl_ShockTimeout,
        *TextCtrl_StabilityThresh, *TextCtrl_StabilityTime, *TextCtrl_StabilityTimeout,
        *TextCtrl_Angle, *TextCtrl_Movement, *TextCtrl_ManSamples;
    wxSlider *Slider_FreeFallThresh, *Slider_FreeFallTime, *Slider_FreeFallTimeout,
        *Slider_ShockThresh, *Slider_ShockTime, *Slider_ShockTimeout, *Slider_StabilityThresh,
        *Slider_StabilityTime, *Slider_StabilityTimeout, *Slider_Angle, *Slider_ManMove,
        *Slider_ManSamples;

    // "Testing" page.
    wxStaticText *StaticText29, *StaticText30, *StaticText31, *StaticText10, *StaticText_TestCalls;
    wxSpinCtrl *SpinCtrl_TestHour, *SpinCtrl_TestMin, *SpinCtrl_TestSec;

    // "Frequency Setup" page.
    wxStaticBoxSizer *StaticBoxSizer_Testing, *StaticBoxSizer_Tuning;
    wxButton *Button_Space, *Button_Mark, *Button_Preamble512, *Button_Preamble1200,
        *Button_Preamble2400;
    wxButton *Button_FreqUp3, *Button_FreqUp2, *Button_FreqUp1, *Button_FreqDown3,
        *Button_FreqDown2, *Button_FreqDown1;
    wxTextCtrl* TextCtrl_Freq;
    wxStaticText *StaticText_FreqUnav, *StaticText11, *StaticText13, *StaticText14;
    wxButton *Button_FreqDec, *Button_FreqInc, *Button_FreqProgram;
    wxSlider* Slider_Freq;
    wxTextCtrl* TextCtrl_FreqOffset;

    // "Engineering" page.
    wxButton *Button_Status, *Button_Cali, *Button_Reset;

    // Per-message and per-slider member tables, in kestrin::Msg and
    // kestrin::SliderId order.
    struct MessageMembers {
        wxChoice* Kestrin_ProFrame::*type;
        wxChoice* Kestrin_ProFrame::*speed;
        wxTextCtrl* Kestrin_ProFrame::*id;
        wxChoice* Kestrin_ProFrame::*tone;
        wxTextCtrl* Kestrin_ProFrame::*text;
    };
    static const std::array<MessageMembers, kestrin::kMsgCount> kMessageMembers;
    struct SliderMembers {
        wxSlider* Kestrin_ProFrame::*slider;
        wxTextCtrl* Kestrin_ProFrame::*readout;
        const long* id;
    };
    static const std::array<SliderMembers, kestrin::kSliderCount> kSliderMembers;

    wxChoice* TypeChoice(int m) const { return this->*kMessageMembers[m].type; }
    wxChoice* SpeedChoice(int m) const { return this->*kMessageMembers[m].speed; }
    wxTextCtrl* IdText(int m) const { return this->*kMessageMembers[m].id; }
    wxChoice* ToneChoice(int m) const { return this->*kMessageMembers[m].tone; }
    wxTextCtrl* MessageText(int m) const { return this->*kMessageMembers[m].text; }
    wxSlider* SliderAt(int s) const { return this->*kSliderMembers[s].slider; }
    // The nine engineering buttons, in the order the monitor sets them.
    std::array<wxButton*, 9> EngineeringButtons() const {
        return {Button_Status,       Button_Cali,         Button_Reset,
                Button_Space,        Button_Mark,         Button_Preamble512,
                Button_Preamble1200, Button_Preamble2400, Button_FreqProgram};
    }
    wxTextCtrl* ReadoutAt(int s) const { return this->*kSliderMembers[s].readout; }

    // Change tracking and shell commands.
    void On_Change(wxCommandEvent& event);
    void OnQuit(wxCommandEvent& event);
    void OnClose(wxCloseEvent& event);
    void OnAbout(wxCommandEvent& event);
    void OnBitmapButton_LogoClick(wxCommandEvent& event);
    void OnNotebook1PageChanged(wxNotebookEvent& event);
    void OnNotebook1PageChanging(wxNotebookEvent& event);

    // File commands.
    void OnMenuNewSelected(wxCommandEvent& event);
    void OnMenuOpenSelected(wxCommandEvent& event);
    void OnMenuSaveSelected(wxCommandEvent& event);
    void OnMenuSaveAsSelected(wxCommandEvent& event);
    void OnMenuTextSelected(wxCommandEvent& event);

    // Device.
    void OnTimer1Trigger1(wxTimerEvent& event);
    void OnButton_ProgramClick(wxCommandEvent& event);
    void OnButton_ReadClick(wxCommandEvent& event);
    void OnButton_StatusClick(wxCommandEvent& event);
    void OnButton_CaliClick(wxCommandEvent& event);
    void OnButton_ResetClick(wxCommandEvent& event);
    void OnButton_SpaceClick(wxCommandEvent& event);
    void OnButton_MarkClick(wxCommandEvent& event);
    void OnButton_Preamble512Click(wxCommandEvent& event);
    void OnButton_Preamble1200Click(wxCommandEvent& event);
    void OnButton_Preamble2400Click(wxCommandEvent& event);
    void OnButton_FreqProgramClick(wxCommandEvent& event);
    void OnButton_CancelClick(wxCommandEvent& event);

    // Message settings.
    void OnChoice_ButtonTypeSelect(wxCommandEvent& event);
    void OnChoice_CordTypeSelect(wxCommandEvent& event);
    void OnChoice_ReedTypeSelect(wxCommandEvent& event);
    void OnChoice_BatLowTypeSelect(wxCommandEvent& event);
    void OnChoice_BatShutTypeSelect(wxCommandEvent& event);
    void OnChoice_FallTypeSelect(wxCommandEvent& event);
    void OnChoice_TestTypeSelect(wxCommandEvent& event);
    void OnChoice_ResetTypeSelect(wxCommandEvent& event);
    void OnSpinCtrl_ButtonRepeatChange(wxSpinEvent& event);
    void OnSpinCtrl_TestTimeChange(wxSpinEvent& event);
    void OnChoice_ButtonRepeatSelect(wxCommandEvent& event);

    // Fall detection.
    void OnRadioBox1Select(wxCommandEvent& event);
    void OnCheckBox_EnableFallClick(wxCommandEvent& event);
    void OnChoice_SensitivitySelect(wxCommandEvent& event);
    void OnCheckBox_AdvSettingsClick(wxCommandEvent& event);
    void OnSlider_FreeFallThreshCmdSliderUpdated(wxCommandEvent& event);
    void OnSlider_FreeFallTimeCmdSliderUpdated(wxCommandEvent& event);
    void OnSlider_FreeFallTimeoutCmdSliderUpdated(wxCommandEvent& event);
    void OnSlider_ShockThreshCmdSliderUpdated(wxCommandEvent& event);
    void OnSlider_ShockTimeCmdSliderUpdated(wxCommandEvent& event);
    void OnSlider_ShockTimeoutCmdSliderUpdated(wxCommandEvent& event);
    void OnSlider_StabilityThreshCmdSliderUpdated(wxCommandEvent& event);
    void OnSlider_StabilityTimeCmdSliderUpdated(wxCommandEvent& event);
    void OnSlider_StabilityTimeoutCmdSliderUpdated(wxCommandEvent& event);
    void OnSlider_AngleCmdSliderUpdated(wxCommandEvent& event);
    void OnSlider1CmdScroll(wxCommandEvent& event);
    void OnSlider_ManSamplesCmdSliderUpdated(wxCommandEvent& event);
    void OnSlider_FreeFallThreshCmdScroll(wxScrollEvent& event);
    void OnSlider_ManMoveCmdScroll(wxScrollEvent& event);

    // Frequency.
    void OnButton_FreqUp3Click(wxCommandEvent& event);
    void OnButton_FreqUp2Click(wxCommandEvent& event);
    void OnButton_FreqUp1Click(wxCommandEvent& event);
    void OnButton_FreqDown3Click(wxCommandEvent& event);
    void OnButton_FreqDown2Click(wxCommandEvent& event);
    void OnButton_FreqDown1Click(wxCommandEvent& event);
    void OnButton_FreqDecClick(wxCommandEvent& event);
    void OnSlider_FreqCmdScroll(wxCommandEvent& event);
    void OnButton_FreqIncClick(wxCommandEvent& event);

    // After a loader set the controls: the slider handlers in identifier
    // order, the enable-fall handler, for a read-back the repeat-spin handler,
    // and last the mode handler.
    void ReplayLoaderNotifications(bool withRepeatSpin);

    // True while a programming run, read-back or command owns the device,
    // until its result has been shown; every other device operation, the
    // connection monitor and the form loaders stand aside then.
    bool DeviceBusy() const { return deviceBusy; }

    // Runs work on a worker thread, the only one to touch the adapters until
    // it ends, while the window refuses all input but Cancel (offered when
    // cancellable) and the gauge follows the progress over `steps`. done then
    // runs on the GUI thread, once input made meanwhile has been discarded.
    using DeviceWork =
        std::function<void(const kestrin::Progress& progress, const kestrin::CancelFlag& cancel)>;
    void StartDeviceOperation(int steps, bool cancellable, DeviceWork work,
                              std::function<void()> done);
    // Asks the running operation to stop at its next packet boundary.
    void CancelDeviceOperation();
    // While an operation runs, until its input has settled.
    bool InputBlocked() const;

    // The notice beside the buttons: good news, a warning, or trouble.
    enum class NoticeKind { Good, Warning, Trouble };
    void ShowNotice(const wxString& text, NoticeKind kind);
    void HideNotice();

    // Raise a notification of a control through the window's own event
    // processing, so that its handler runs now.
    void RaiseSlider(long id);
    void RaiseCommand(wxEventType type, long id, int selection = 0);

  private:
    bool deviceBusy = false;
    struct RunningOperation;
    std::unique_ptr<RunningOperation> operation;
    bool closeAfterOperation = false;
    void FinishDeviceOperation();
    void EndDeviceOperation();
    // The close box during an operation: true when the window is to close
    // once the operation has ended (a run asks first whether to stop it).
    bool AskToEndOperationForClose();
    // Asks the operator a yes/no question for the running operation's worker
    // and waits for the answer (no, when the operation is being abandoned).
    bool AskFromWorker(const wxString& question);
    void ShowRunReport(const kestrin::RunReport& report, const kestrin::LogEntry& entry);
    bool logProblemShown = false;

    void BuildHeaderAndInfo(wxBoxSizer* top);
    void BuildRightColumn(wxBoxSizer* top);
    void BuildMenus();
    void BuildMessagesPage();
    void BuildFallPage();
    void BuildTestingPage();
    void BuildFrequencyPage();
    void BuildEngineeringPage();
    wxStaticBoxSizer* BuildMessageBlock(wxWindow* parent, int m, wxSizer*& blockRow);
    void BindControls();

    // Change tracking: the steps On_Change takes when a file is named.
    void MarkChanged();
    // Sets fileName, the file-name field, the title and a clean state after a
    // file is named.
    void FinishFileCommand();
    // Unsaved-changes question; true when the caller may go on.
    bool ConfirmUnsavedChanges();

    void ShowSliderReadout(kestrin::SliderId s);
    void SendCommand(const kestrin::Bytes& payload);
    void Warn(const wxString& text);
    void SetTypeFilter(int m, int selection);
    void StepFrequency(int step);
    void EnableModeList(bool enable);
};
