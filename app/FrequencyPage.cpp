// Frequency setup: step buttons on the 2,500 Hz raster, the unavailable band,
// and the hidden tuning correction.
#include "app/Kestrin_ProMain.h"
#include "config/eeprom.h"
#include "pages/frequency.h"

using namespace kestrin;

void Kestrin_ProFrame::StepFrequency(int step) {
    if (const auto f = StepFreq(EEPROM.freq, static_cast<FreqStep>(step))) {
        EEPROM.freq = *f;
        TextCtrl_Freq->SetValue(FormatFreq(*f));
    }
    UpdateFreqAvailability();
}

void Kestrin_ProFrame::OnButton_FreqUp3Click(wxCommandEvent&) { StepFrequency(kUp3); }
void Kestrin_ProFrame::OnButton_FreqUp2Click(wxCommandEvent&) { StepFrequency(kUp2); }
void Kestrin_ProFrame::OnButton_FreqUp1Click(wxCommandEvent&) { StepFrequency(kUp1); }
void Kestrin_ProFrame::OnButton_FreqDown3Click(wxCommandEvent&) { StepFrequency(kDown3); }
void Kestrin_ProFrame::OnButton_FreqDown2Click(wxCommandEvent&) { StepFrequency(kDown2); }
void Kestrin_ProFrame::OnButton_FreqDown1Click(wxCommandEvent&) { StepFrequency(kDown1); }

void Kestrin_ProFrame::UpdateFreqAvailability() {
    if (InUnavailableBand(EEPROM.freq)) {
        StaticText_FreqUnav->Show();
        StaticText_FreqUnav->GetContainingSizer()->Layout();
        StaticText_FreqUnav->GetParent()->Layout();
        Panel5->Layout();
        Button_Program->Disable();
    } else {
        StaticText_FreqUnav->Hide();
        if (connected) Button_Program->Enable();
    }
}

void Kestrin_ProFrame::ShowFreqOffset() { ShowSliderReadout(kSliderFreq); }

void Kestrin_ProFrame::OnSlider_FreqCmdScroll(wxCommandEvent&) { ShowFreqOffset(); }

void Kestrin_ProFrame::OnButton_FreqDecClick(wxCommandEvent&) {
    const int p = Slider_Freq->GetValue();
    if (p > Slider_Freq->GetMin()) {
        Slider_Freq->SetValue(p - 1);
        ShowFreqOffset();
    }
}

void Kestrin_ProFrame::OnButton_FreqIncClick(wxCommandEvent&) {
    const int p = Slider_Freq->GetValue();
    if (p < Slider_Freq->GetMax()) {
        Slider_Freq->SetValue(p + 1);
        ShowFreqOffset();
    }
}
