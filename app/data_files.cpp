#include "app/data_files.h"

#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/image.h>
#include <wx/log.h>
#include <wx/stdpaths.h>

namespace kestrin_ui {

wxString FindDataFile(const wxString& name) {
    // Beside the program is where the Windows installer and zip put them; a
    // file opened from the desktop starts the program in the file's folder.
    const wxString programDir = wxFileName(wxStandardPaths::Get().GetExecutablePath()).GetPath();
    const wxString places[] = {"./" + name, programDir + "/" + name,
                               wxString(KESTRIN_BUILD_DATA_DIR) + "/" + name,
                               wxString(KESTRIN_INSTALL_DATA_DIR) + "/" + name};
    for (const wxString& p : places)
        if (wxFileExists(p)) return p;
    return wxString();
}

wxBitmap LoadDataBitmap(const wxString& name) {
    const wxString path = FindDataFile(name);
    if (path.empty()) return wxBitmap();
    wxLogNull quiet;  // a damaged picture must not pop up an error box
    wxImage image;
    if (!image.LoadFile(path)) return wxBitmap();
    return wxBitmap(image);
}

}  // namespace kestrin_ui
