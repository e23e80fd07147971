#include "app/Kestrin_ProApp.h"

#include <wx/image.h>
#include <wx/msgdlg.h>

#include <string>

#include "app/Kestrin_ProMain.h"
#include "app/ui_hooks.h"
#include "device/ftdi.h"

wxIMPLEMENT_APP(Kestrin_ProApp);

bool Kestrin_ProApp::OnInit() {
    kestrin::SelectAdapterBackendFromEnvironment();
    wxInitAllImageHandlers();
    Kestrin_ProFrame* frame = new Kestrin_ProFrame(nullptr, -1);
    frame->Show();
    SetTopWindow(frame);
    // Without the vendor's driver there is nothing to connect to: say so
    // once, not on every tick of the connection monitor.
    if (const std::string problem = kestrin::AdapterBackendProblem(); !problem.empty()) {
        frame->CallAfter([frame, problem] {
            kestrin_ui::MessageBox(wxString::FromUTF8(problem), "Warning", wxOK | wxICON_WARNING,
                                   frame);
        });
    }
    return true;
}
