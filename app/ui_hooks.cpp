#include "app/ui_hooks.h"

#include <wx/msgdlg.h>
#include <wx/utils.h>

namespace kestrin_ui {

std::function<int(const wxString&, const wxString&, long, wxWindow*)> MessageBox =
    [](const wxString& text, const wxString& caption, long style, wxWindow* parent) {
        return wxMessageBox(text, caption, style, parent);
    };

std::function<bool(wxFileDialog&, wxString&)> ChooseFile = [](wxFileDialog& dialog,
                                                              wxString& path) {
    if (dialog.ShowModal() != wxID_OK) return false;
    path = dialog.GetPath();
    return true;
};

std::function<void(const wxString&)> LaunchBrowser = [](const wxString& url) {
    wxLaunchDefaultBrowser(url);
};

wxString FileNameOf(const wxString& path) {
    const size_t cut = path.find_last_of("/\\");
    return cut == wxString::npos ? path : path.Mid(cut + 1);
}

wxString BuildStamp(const char* date, const char* time) {
    return wxString(date) + " - " + wxString(time);
}

}  // namespace kestrin_ui

#include <wx/strconv.h>

namespace kestrin_ui {

static wxCSConv& Cp1252() {
    static wxCSConv conv(wxFONTENCODING_CP1252);
    return conv;
}

std::string Narrow(const wxString& text) {
    const wxCharBuffer buf = text.mb_str(Cp1252());
    return buf.data() ? std::string(buf.data(), buf.length()) : std::string();
}

wxString Widen(const std::string& bytes) { return wxString(bytes.data(), Cp1252(), bytes.size()); }

}  // namespace kestrin_ui
