#include <wx/access.h>

#include "app/accessible.h"

namespace kestrin_ui {

#if wxUSE_ACCESSIBILITY
namespace {
class NamedAccessible : public wxWindowAccessible {
  public:
    NamedAccessible(wxWindow* control, const wxString& name)
        : wxWindowAccessible(control), name_(name) {}
    wxAccStatus GetName(int childId, wxString* name) override {
        if (childId != wxACC_SELF) return wxWindowAccessible::GetName(childId, name);
        *name = name_;
        return wxACC_OK;
    }

  private:
    wxString name_;
};
}  // namespace

void SetAccessibleName(wxWindow* control, const wxString& name) {
    control->SetAccessible(new NamedAccessible(control, name));
}
#else
// Without the toolkit's accessibility support the label beside a control is
// all a screen reader has.
void SetAccessibleName(wxWindow*, const wxString&) {}
#endif

}  // namespace kestrin_ui
