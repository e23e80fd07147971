// Fall detection: slider read-outs, man-down image bytes, sensitivity
// preset, detection mode.
#include "app/Kestrin_ProMain.h"
#include "config/eeprom.h"
#include "pages/readouts.h"

using namespace kestrin;

void Kestrin_ProFrame::ShowSliderReadout(SliderId s) {
    const int p = SliderAt(s)->GetValue();
    if (s == kSliderManMove) eeprom.cfg.ManDownLvl = static_cast<uint8_t>(p);
    if (s == kSliderManSamples) eeprom.cfg.ManDownSamples = static_cast<uint8_t>(p);
    ReadoutAt(s)->SetValue(SliderReadout(s, p));
}

void Kestrin_ProFrame::OnSlider_FreeFallThreshCmdSliderUpdated(wxCommandEvent&) {
    ShowSliderReadout(kSliderFreeFallThresh);
}
void Kestrin_ProFrame::OnSlider_FreeFallTimeCmdSliderUpdated(wxCommandEvent&) {
    ShowSliderReadout(kSliderFreeFallTime);
}
void Kestrin_ProFrame::OnSlider_FreeFallTimeoutCmdSliderUpdated(wxCommandEvent&) {
    ShowSliderReadout(kSliderFreeFallTimeout);
}
void Kestrin_ProFrame::OnSlider_ShockThreshCmdSliderUpdated(wxCommandEvent&) {
    ShowSliderReadout(kSliderShockThresh);
}
void Kestrin_ProFrame::OnSlider_ShockTimeCmdSliderUpdated(wxCommandEvent&) {
    ShowSliderReadout(kSliderShockTime);
}
void Kestrin_ProFrame::OnSlider_ShockTimeoutCmdSliderUpdated(wxCommandEvent&) {
    ShowSliderReadout(kSliderShockTimeout);
}
void Kestrin_ProFrame::OnSlider_StabilityThreshCmdSliderUpdated(wxCommandEvent&) {
    ShowSliderReadout(kSliderStabilityThresh);
}
void Kestrin_ProFrame::OnSlider_StabilityTimeCmdSliderUpdated(wxCommandEvent&) {
    ShowSliderReadout(kSliderStabilityTime);
}
void Kestrin_ProFrame::OnSlider_StabilityTimeoutCmdSliderUpdated(wxCommandEvent&) {
    ShowSliderReadout(kSliderStabilityTimeout);
}
void Kestrin_ProFrame::OnSlider_AngleCmdSliderUpdated(wxCommandEvent&) {
    ShowSliderReadout(kSliderAngle);
}
void Kestrin_ProFrame::OnSlider1CmdScroll(wxCommandEvent&) { ShowSliderReadout(kSliderManMove); }
void Kestrin_ProFrame::OnSlider_ManSamplesCmdSliderUpdated(wxCommandEvent&) {
    ShowSliderReadout(kSliderManSamples);
}
void Kestrin_ProFrame::OnSlider_FreeFallThreshCmdScroll(wxScrollEvent&) {}
void Kestrin_ProFrame::OnSlider_ManMoveCmdScroll(wxScrollEvent&) {}

// Every entry gives the same positions; the choice is not consulted.
void Kestrin_ProFrame::OnChoice_SensitivitySelect(wxCommandEvent&) {
    for (SliderId s : kPresetOrder) SliderAt(s)->SetValue(kSliders[s].preset);
    for (SliderId s : kPresetOrder) RaiseSlider(*kSliderMembers[s].id);
}

void Kestrin_ProFrame::OnCheckBox_AdvSettingsClick(wxCommandEvent&) {
    const bool on = CheckBox_AdvSettings->GetValue();
    for (SliderId s : kPresetOrder) SliderAt(s)->Enable(on);
}

void Kestrin_ProFrame::EnableModeList(bool enable) {
    for (wxWindow* w : std::initializer_list<wxWindow*>{
             Choice_FallType, Choice_FallSpeed, TextCtrl_FallID, Choice_FallTone, TextCtrl_Fall,
             CheckBox_FallIncTime, Choice_FallRepeat, Choice_FallRepeatNum, Choice_Sensitivity,
             CheckBox_AdvSettings})
        w->Enable(enable);
    for (SliderId s : kPresetOrder) SliderAt(s)->Enable(enable);
}

void Kestrin_ProFrame::OnCheckBox_EnableFallClick(wxCommandEvent&) {
    const bool on = CheckBox_EnableFall->GetValue();
    EnableModeList(on);
    if (on) RaiseCommand(wxEVT_CHECKBOX, ID_CHECKBOX5, CheckBox_AdvSettings->GetValue());
}

void Kestrin_ProFrame::OnRadioBox1Select(wxCommandEvent&) {
    const int m = RadioBox1->GetSelection();
    // A radio-box notification never reaches On_Change, so mark it here.
    MarkChanged();
    EnableModeList(m != 0);
    if (CheckBox_EnableFall->GetValue())
        RaiseCommand(wxEVT_CHECKBOX, ID_CHECKBOX5, CheckBox_AdvSettings->GetValue());
    // Selecting an already shown page raises nothing, which ends the exchange
    // with the sub-notebook after one round.
    if (Notebook_FallDetect->GetSelection() != m) Notebook_FallDetect->SetSelection(m);
}
