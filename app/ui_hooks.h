// Everything the window asks of the operator or the desktop goes through
// these hooks, so tests can answer in the operator's place.
#pragma once

#include <wx/filedlg.h>
#include <wx/string.h>
#include <wx/window.h>

#include <functional>

#if defined(__WXMSW__)
// The system headers make MessageBox a macro; taken in once here, so they
// cannot rename the hook below behind a later include.
#include <wx/msw/wrapwin.h>
#undef MessageBox
#endif

namespace kestrin_ui {

// A modal message box; returns wxYES, wxNO, wxCANCEL or wxOK.
extern std::function<int(const wxString& text, const wxString& caption, long style,
                         wxWindow* parent)>
    MessageBox;

// Shows a file dialog; true with the chosen path, false when cancelled.
extern std::function<bool(wxFileDialog& dialog, wxString& path)> ChooseFile;

// Opens a web page in the default browser.
extern std::function<void(const wxString& url)> LaunchBrowser;

// The path after its last '/' or '\\' (the whole path when it has neither).
wxString FileNameOf(const wxString& path);

// "May 14 2015 - 15:13:48" from the compiler's __DATE__ and __TIME__.
wxString BuildStamp(const char* date, const char* time);

}  // namespace kestrin_ui

#include <string>

namespace kestrin_ui {

// Texts travel to the transmitter and the files as 8-bit Windows-1252.
std::string Narrow(const wxString& text);
wxString Widen(const std::string& bytes);

// The same for the one-line fields of the form: the control bytes a read-back
// or a file may bring show as their control pictures, so a field keeps one
// line and gives the bytes back unchanged (kestrin::DisplayCodePoint).
std::string FieldBytes(const wxString& text);
wxString FieldText(const std::string& bytes);

}  // namespace kestrin_ui
