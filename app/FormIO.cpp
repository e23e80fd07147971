// Copying the form to and from its plain snapshot.
#include "app/Kestrin_ProMain.h"
#include "app/ui_hooks.h"
#include "config/eeprom.h"
#include "pages/frequency.h"

using kestrin_ui::FieldBytes;
using kestrin_ui::FieldText;

kestrin::FormSnapshot Kestrin_ProFrame::ReadForm() const {
    kestrin::FormSnapshot f;
    for (int m = 0; m < kestrin::kMsgCount; ++m) {
        kestrin::MessageForm& msg = f.msg[m];
        msg.type = TypeChoice(m)->GetSelection();
        msg.speed = SpeedChoice(m)->GetSelection();
        msg.id = FieldBytes(IdText(m)->GetValue());
        msg.tone = ToneChoice(m)->GetSelection();
        msg.text = FieldBytes(MessageText(m)->GetValue());
    }
    f.fallOn = FieldBytes(TextCtrl_FallOn->GetValue());
    f.fallOff = FieldBytes(TextCtrl_FallOff->GetValue());
    f.buttonRepeats = SpinCtrl_ButtonRepeat->GetValue();
    f.buttonRepeatTime = Choice_ButtonRepeat->GetSelection();
    f.cordRepeatTime = Choice_CordRepeat->GetSelection();
    f.cordIncTime = CheckBox_CordIncTime->GetValue();
    f.fallRepeatTime = Choice_FallRepeat->GetSelection();
    f.fallRepeatNum = Choice_FallRepeatNum->GetSelection();
    f.fallIncTime = CheckBox_FallIncTime->GetValue();
    f.testHour = SpinCtrl_TestHour->GetValue();
    f.testMin = SpinCtrl_TestMin->GetValue();
    f.testSec = SpinCtrl_TestSec->GetValue();
    for (int s = 0; s < kestrin::kSliderCount; ++s) f.slider[s] = SliderAt(s)->GetValue();
    f.mode = RadioBox1->GetSelection();
    f.freq = EEPROM.freq;
    return f;
}

// Sets the controls straight from a snapshot, as the loaders do: texts with
// the notifying setter, everything else silently. The caller replays the
// notifications that bring the dependent displays in line.
void Kestrin_ProFrame::ApplyForm(const kestrin::FormSnapshot& f, bool withFreq) {
    // A notice about the last run must not seem to speak of another form.
    HideNotice();
    for (int m = 0; m < kestrin::kMsgCount; ++m) {
        const kestrin::MessageForm& msg = f.msg[m];
        MessageText(m)->SetValue(FieldText(msg.text));
        IdText(m)->SetValue(FieldText(msg.id));
        TypeChoice(m)->SetSelection(msg.type);
        // A read-back can carry 2400 baud, which the choice offers only while
        // the message has it: a later form without it must not save it.
        wxChoice* speed = SpeedChoice(m);
        const bool has2400 = speed->GetCount() > kestrin::kSpeedItems.size();
        if (msg.speed == kestrin::kSpeed2400 && !has2400)
            speed->Append(wxString::FromUTF8(kestrin::kSpeed2400Item));
        if (msg.speed != kestrin::kSpeed2400 && has2400) speed->Delete(kestrin::kSpeed2400);
        speed->SetSelection(msg.speed);
        ToneChoice(m)->SetSelection(msg.tone);
    }
    TextCtrl_FallOn->SetValue(FieldText(f.fallOn));
    TextCtrl_FallOff->SetValue(FieldText(f.fallOff));
    SpinCtrl_ButtonRepeat->SetValue(f.buttonRepeats);
    Choice_ButtonRepeat->SetSelection(f.buttonRepeatTime);
    Choice_CordRepeat->SetSelection(f.cordRepeatTime);
    CheckBox_CordIncTime->SetValue(f.cordIncTime);
    Choice_FallRepeat->SetSelection(f.fallRepeatTime);
    Choice_FallRepeatNum->SetSelection(f.fallRepeatNum);
    CheckBox_FallIncTime->SetValue(f.fallIncTime);
    SpinCtrl_TestHour->SetValue(f.testHour);
    SpinCtrl_TestMin->SetValue(f.testMin);
    SpinCtrl_TestSec->SetValue(f.testSec);
    for (int s = 0; s < kestrin::kSliderCount; ++s) SliderAt(s)->SetValue(f.slider[s]);
    RadioBox1->SetSelection(f.mode);
    if (withFreq) {
        EEPROM.freq = f.freq;
        TextCtrl_Freq->SetValue(kestrin::FormatFreq(f.freq));
    }
}

void Kestrin_ProFrame::ReplayLoaderNotifications(bool withRepeatSpin) {
    for (const SliderMembers& sm : kSliderMembers) RaiseSlider(*sm.id);
    RaiseCommand(wxEVT_CHECKBOX, ID_CHECKBOX4, CheckBox_EnableFall->GetValue());
    if (withRepeatSpin) {
        wxSpinEvent spin(wxEVT_SPINCTRL, ID_SPINCTRL5);
        spin.SetPosition(SpinCtrl_ButtonRepeat->GetValue());
        spin.SetEventObject(SpinCtrl_ButtonRepeat);
        GetEventHandler()->ProcessEvent(spin);
    }
    RaiseCommand(wxEVT_RADIOBOX, ID_RADIOBOX1, RadioBox1->GetSelection());
}
