// Message settings: type filters and default texts, repeat and test-call
// dependent controls.
#include "app/Kestrin_ProMain.h"

void Kestrin_ProFrame::SetTypeFilter(int m, int selection) {
    wxTextCtrl* text = MessageText(m);
    if (selection == 0) {
        text->SetValidator(AlphaNumericValidator);
        text->SetValue(kestrin::kMessages[m].defaultText);
    } else if (selection == 1) {
        text->SetValidator(NumericValidator);
        text->SetValue(wxEmptyString);
    }
}

void Kestrin_ProFrame::OnChoice_ButtonTypeSelect(wxCommandEvent&) {
    SetTypeFilter(kestrin::kButton, Choice_ButtonType->GetSelection());
}
void Kestrin_ProFrame::OnChoice_CordTypeSelect(wxCommandEvent&) {
    SetTypeFilter(kestrin::kCord, Choice_CordType->GetSelection());
}
void Kestrin_ProFrame::OnChoice_ReedTypeSelect(wxCommandEvent&) {
    const int s = Choice_ReedType->GetSelection();
    SetTypeFilter(kestrin::kReed, s);
    // The fall-detector messages keep the alphanumeric filter either way.
    if (s == 0) {
        TextCtrl_FallOn->SetValue("Fall Detection On!");
        TextCtrl_FallOff->SetValue("Fall Detection Off!");
    } else if (s == 1) {
        TextCtrl_FallOn->SetValue(wxEmptyString);
        TextCtrl_FallOff->SetValue(wxEmptyString);
    }
}
void Kestrin_ProFrame::OnChoice_BatLowTypeSelect(wxCommandEvent&) {
    SetTypeFilter(kestrin::kBatLow, Choice_BatLowType->GetSelection());
}
void Kestrin_ProFrame::OnChoice_BatShutTypeSelect(wxCommandEvent&) {
    SetTypeFilter(kestrin::kBatShut, Choice_BatShutType->GetSelection());
}
void Kestrin_ProFrame::OnChoice_FallTypeSelect(wxCommandEvent&) {
    SetTypeFilter(kestrin::kFall, Choice_FallType->GetSelection());
}
void Kestrin_ProFrame::OnChoice_TestTypeSelect(wxCommandEvent&) {
    SetTypeFilter(kestrin::kTest, Choice_TestType->GetSelection());
}
void Kestrin_ProFrame::OnChoice_ResetTypeSelect(wxCommandEvent&) {
    SetTypeFilter(kestrin::kReset, Choice_ResetType->GetSelection());
}

void Kestrin_ProFrame::OnSpeedChoiceSelect(wxCommandEvent& event) {
    // "2400" is offered only while the message has that speed: once another
    // is chosen it could not be chosen again, so it goes.
    if (auto* speed = wxDynamicCast(event.GetEventObject(), wxChoice)) {
        if (speed->GetCount() > kestrin::kSpeedItems.size() &&
            speed->GetSelection() != kestrin::kSpeed2400)
            speed->Delete(kestrin::kSpeed2400);
    }
    event.Skip();  // an edit like any other for the change tracking
}

void Kestrin_ProFrame::OnSpinCtrl_ButtonRepeatChange(wxSpinEvent&) {
    Choice_ButtonRepeat->Enable(SpinCtrl_ButtonRepeat->GetValue() > 0);
}

void Kestrin_ProFrame::OnSpinCtrl_TestTimeChange(wxSpinEvent&) {
    StaticText_TestCalls->Enable(SpinCtrl_TestHour->GetValue() > 0 ||
                                 SpinCtrl_TestMin->GetValue() > 0 ||
                                 SpinCtrl_TestSec->GetValue() > 0);
}

void Kestrin_ProFrame::OnChoice_ButtonRepeatSelect(wxCommandEvent&) {}
