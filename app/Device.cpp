// Device operations: connection monitor, packet layer, programming run,
// read-back and engineering commands.
#include "app/Kestrin_ProMain.h"

void Kestrin_ProFrame::OnTimer1Trigger1(wxTimerEvent&) {}
void Kestrin_ProFrame::SerialWrite(uint8_t, kestrin::Bytes) {}
void Kestrin_ProFrame::SerialStart() {}
void Kestrin_ProFrame::SerialEnd() {}
void Kestrin_ProFrame::LoadFromForm() {}
void Kestrin_ProFrame::OnButton_ProgramClick(wxCommandEvent&) {}
void Kestrin_ProFrame::OnButton_ReadClick(wxCommandEvent&) {}
void Kestrin_ProFrame::OnButton_StatusClick(wxCommandEvent&) {}
void Kestrin_ProFrame::OnButton_CaliClick(wxCommandEvent&) {}
void Kestrin_ProFrame::OnButton_ResetClick(wxCommandEvent&) {}
void Kestrin_ProFrame::OnButton_SpaceClick(wxCommandEvent&) {}
void Kestrin_ProFrame::OnButton_MarkClick(wxCommandEvent&) {}
void Kestrin_ProFrame::OnButton_Preamble512Click(wxCommandEvent&) {}
void Kestrin_ProFrame::OnButton_Preamble1200Click(wxCommandEvent&) {}
void Kestrin_ProFrame::OnButton_Preamble2400Click(wxCommandEvent&) {}
void Kestrin_ProFrame::OnButton_FreqProgramClick(wxCommandEvent&) {}
