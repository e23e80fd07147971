#include "app/Kestrin_ProApp.h"

#include <wx/filename.h>
#include <wx/image.h>
#include <wx/msgdlg.h>
#include <wx/msgout.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "app/Kestrin_ProMain.h"
#include "app/ui_hooks.h"
#include "device/ftdi.h"

wxIMPLEMENT_APP_NO_MAIN(Kestrin_ProApp);

namespace kestrin_ui {

void DescribeCommandLine(wxCmdLineParser& parser) {
    parser.SetLogo("Kestrin-Pro: configures Kestrin TQ9 wearable alarm transmitters.");
    parser.AddSwitch("h", "help", "show this help and exit", wxCMD_LINE_OPTION_HELP);
    parser.AddSwitch("v", "version", "show the version and exit");
    parser.AddParam("FILE.kt9", wxCMD_LINE_VAL_STRING, wxCMD_LINE_PARAM_OPTIONAL);
}

bool AnswerWithoutDisplay(int argc, char** argv, int& rc) {
    bool asked = false;
    for (int i = 1; i < argc; ++i)
        for (const char* s : {"-h", "--help", "-v", "--version"})
            if (std::strcmp(argv[i], s) == 0) asked = true;
    if (!asked) return false;

    // Answers go to standard output, complaints to standard error.
    wxMessageOutputStderr toStdout(stdout), toStderr(stderr);
    wxMessageOutput* old = wxMessageOutput::Set(&toStderr);
    wxCmdLineParser parser(argc, argv);
    DescribeCommandLine(parser);
    const int parsed = parser.Parse(false);
    if (parsed <= 0) wxMessageOutput::Set(&toStdout);
    if (parsed == 0) {
        // "Version: 1.8.3" without its label.
        const wxString number = kVersionText.AfterFirst(' ');
        std::printf("kestrin-pro %s\n", static_cast<const char*>(number.utf8_str()));
    } else {
        parser.Usage();
    }
    rc = parsed > 0 ? 2 : 0;
    std::fflush(stdout);
    wxMessageOutput::Set(old);
    return true;
}

}  // namespace kestrin_ui

void Kestrin_ProApp::OnInitCmdLine(wxCmdLineParser& parser) {
    kestrin_ui::DescribeCommandLine(parser);
}

bool Kestrin_ProApp::OnCmdLineParsed(wxCmdLineParser& parser) {
    if (parser.GetParamCount() > 0) {
        wxFileName name(parser.GetParam(0));
        name.MakeAbsolute();
        startFile_ = name.GetFullPath();
    }
    return true;
}

bool Kestrin_ProApp::OnInit() {
    if (!wxApp::OnInit()) return false;
    kestrin::SelectAdapterBackendFromEnvironment();
    wxInitAllImageHandlers();
    Kestrin_ProFrame* frame = new Kestrin_ProFrame(nullptr, -1);
    frame->Show();
    SetTopWindow(frame);
    // Once the window is on screen, so that a refusal has a window to sit on;
    // before the driver notice, whose box would hold the file back.
    if (!startFile_.empty()) {
        const wxString path = startFile_;
        frame->CallAfter([frame, path] { frame->OpenConfiguration(path); });
    }
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

int main(int argc, char** argv) {
    int rc = 0;
    if (kestrin_ui::AnswerWithoutDisplay(argc, argv, rc)) return rc;
    return wxEntry(argc, argv);
}
