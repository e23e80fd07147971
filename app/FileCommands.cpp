// Configuration files, New and the text report.
#include <string>

#include "app/Kestrin_ProMain.h"
#include "app/data_files.h"
#include "app/ui_hooks.h"
#include "config/config_file.h"
#include "report/report.h"

namespace {

const char* const kDefaultFile = "Default.kt9";

// File paths are handed to the system in UTF-8, whatever the texts use.
std::string SystemPath(const wxString& path) { return path.utf8_string(); }

// A file command that could not complete says why.
void ShowFileError(wxWindow* parent, const std::string& error) {
    kestrin_ui::MessageBox(wxString::FromUTF8(error), "Warning",
                           wxOK | wxICON_EXCLAMATION | wxCENTRE, parent);
}

}  // namespace

void Kestrin_ProFrame::OnMenuNewSelected(wxCommandEvent&) {
    if (DeviceBusy()) return;

    // The working directory first, then the data folders the program ships.
    wxString path = kestrin_ui::FindDataFile(kDefaultFile);
    if (path.empty()) path = wxString("./") + kDefaultFile;

    filePath = path;
    fileName.clear();
    SetTitle(kTitle);
    TextCtrl_FileName->ChangeValue(wxString());
    MenuItem4->Enable(false);

    kestrin::FormSnapshot form = ReadForm();
    std::string error;
    const bool read = kestrin::OpenConfigFile(SystemPath(path), form, false, &error);
    if (!read) {
        // Without a usable default file every stored control takes the value
        // of a missing key; a section without keys reads exactly that way.
        kestrin::ReadFormFromProfile(kestrin::IniProfile::Parse("[Button]\n"), form, false);
    }
    ApplyForm(form, false);
    ReplayLoaderNotifications(false);
    if (!read) ShowFileError(this, error + "\nThe settings have been cleared.");
}

void Kestrin_ProFrame::OnMenuOpenSelected(wxCommandEvent&) {
    if (DeviceBusy()) return;
    if (!ConfirmUnsavedChanges()) return;
    wxString path;
    if (!kestrin_ui::ChooseFile(*FileDialog_Open, path)) return;
    OpenConfiguration(path);
}

bool Kestrin_ProFrame::OpenConfiguration(const wxString& path) {
    kestrin::FormSnapshot form = ReadForm();
    std::string error;
    if (!kestrin::OpenConfigFile(SystemPath(path), form, true, &error)) {
        ShowFileError(this, error);
        return false;
    }
    filePath = path;
    ApplyForm(form, true);
    ReplayLoaderNotifications(false);
    FinishFileCommand();
    return true;
}

void Kestrin_ProFrame::OnMenuSaveSelected(wxCommandEvent&) {
    // After New filePath still names the default file, which is not the
    // operator's to overwrite; without a file name there is nothing to save.
    if (fileName.empty()) return;
    std::string error;
    if (!kestrin::SaveConfigFile(SystemPath(filePath), ReadForm(), &error)) {
        ShowFileError(this, error);
        return;
    }
    FinishFileCommand();
}

void Kestrin_ProFrame::OnMenuSaveAsSelected(wxCommandEvent&) {
    wxString path;
    if (!kestrin_ui::ChooseFile(*FileDialog_Save, path)) return;
    std::string error;
    if (!kestrin::SaveConfigFile(SystemPath(path), ReadForm(), &error)) {
        ShowFileError(this, error);
        return;
    }
    filePath = path;
    FinishFileCommand();
}

void Kestrin_ProFrame::OnMenuTextSelected(wxCommandEvent&) {
    wxString path;
    if (!kestrin_ui::ChooseFile(*FileDialog_Text, path)) return;
    std::string error;
    if (!kestrin::WriteReport(SystemPath(path), kestrin::ReportLines(ReadForm()), &error))
        ShowFileError(this, error);
}
