#include "app/Kestrin_ProApp.h"

#include <wx/image.h>

#include "app/Kestrin_ProMain.h"
#include "device/ftdi.h"

wxIMPLEMENT_APP(Kestrin_ProApp);

bool Kestrin_ProApp::OnInit() {
    kestrin::SelectAdapterBackendFromEnvironment();
    wxInitAllImageHandlers();
    Kestrin_ProFrame* frame = new Kestrin_ProFrame(nullptr, -1);
    frame->Show();
    SetTopWindow(frame);
    return true;
}
