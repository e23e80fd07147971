#include "app/ui_hooks.h"

#include <wx/msgdlg.h>
#include <wx/utils.h>

#include "config/config_file.h"

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
    return wxString::FromUTF8(kestrin::FileNameOf(path.utf8_string()));
}

wxString BuildStamp(const char* date, const char* time) {
    // The compiler pads a one-digit day with a second space ("Jun  4 2025").
    wxString day(date);
    day.Replace("  ", " ");
    return day + " - " + wxString(time);
}

}  // namespace kestrin_ui

#include "config/cp1252.h"
#include "config/texts.h"

namespace kestrin_ui {

// Byte for byte, so that no byte of a file or an image is ever lost; a
// character Windows-1252 cannot hold (pasted text) becomes '?'.
std::string Narrow(const wxString& text) {
    std::string out;
    out.reserve(text.length());
    for (wxUniChar c : text) {
        const int byte = kestrin::UnicodeToCp1252(c.GetValue());
        out += static_cast<char>(byte < 0 ? '?' : byte);
    }
    return out;
}

wxString Widen(const std::string& bytes) {
    wxString out;
    out.reserve(bytes.size());
    for (char b : bytes) out += wxUniChar(kestrin::Cp1252ToUnicode(static_cast<uint8_t>(b)));
    return out;
}

std::string FieldBytes(const wxString& text) {
    std::string out;
    out.reserve(text.length());
    for (wxUniChar c : text) {
        const int byte = kestrin::DisplayByte(c.GetValue());
        out += static_cast<char>(byte < 0 ? '?' : byte);
    }
    return out;
}

wxString FieldText(const std::string& bytes) {
    wxString out;
    out.reserve(bytes.size());
    for (char b : bytes) out += wxUniChar(kestrin::DisplayCodePoint(static_cast<uint8_t>(b)));
    return out;
}

}  // namespace kestrin_ui
