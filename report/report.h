// The plain-text configuration report ("Output Text File").
#pragma once

#include <string>
#include <vector>

#include "config/form.h"

namespace kestrin {

// The report's lines, without line endings, as the form shows the values.
// Texts from the form stay 8-bit (Windows-1252) here.
std::vector<std::string> ReportLines(const FormSnapshot& form);

// The file content: each line in UTF-8 (no byte-order mark), each followed by
// CRLF, the last one included. Control bytes in the lines appear as their
// control pictures (DisplayUtf8), as the fields show them.
std::string ReportText(const std::vector<std::string>& lines);

// Replaces the whole of path with the report, in one piece or not at all.
// False with an error text when it could not be written.
bool WriteReport(const std::string& path, const std::vector<std::string>& lines,
                 std::string* error);

}  // namespace kestrin
