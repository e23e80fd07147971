// Pictures and the default configuration: the working directory first, then
// the program's own folder, the build's data folder, the installation's.
#pragma once

#include <wx/bitmap.h>
#include <wx/string.h>

namespace kestrin_ui {

// Path of a data file, or an empty string when none of the places has it.
wxString FindDataFile(const wxString& name);

// The picture, or an empty bitmap when it is missing or unreadable.
wxBitmap LoadDataBitmap(const wxString& name);

}  // namespace kestrin_ui
