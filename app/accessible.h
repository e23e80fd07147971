// Names a control for screen readers and GUI automation, which otherwise
// announce a text field or a choice by its role alone ("text").
#pragma once

#include <wx/string.h>
#include <wx/window.h>

namespace kestrin_ui {

void SetAccessibleName(wxWindow* control, const wxString& name);

}  // namespace kestrin_ui
