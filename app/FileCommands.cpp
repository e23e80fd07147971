// Configuration files, New and the text report.
#include "app/Kestrin_ProMain.h"

void Kestrin_ProFrame::OnMenuNewSelected(wxCommandEvent&) {}
void Kestrin_ProFrame::OnMenuOpenSelected(wxCommandEvent&) {}
void Kestrin_ProFrame::OnMenuSaveSelected(wxCommandEvent&) {}
void Kestrin_ProFrame::OnMenuSaveAsSelected(wxCommandEvent&) {}
void Kestrin_ProFrame::OnMenuTextSelected(wxCommandEvent&) {}
