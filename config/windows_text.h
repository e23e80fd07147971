// Windows only: the utility speaks UTF-8; the system speaks UTF-16 and
// numbered error codes.
#pragma once

#include <windows.h>

#include <string>

namespace kestrin {

std::wstring Wide(const std::string& utf8);
std::string Utf8(const wchar_t* wide);
// The system's own sentence for an error code, without its full stop;
// "error N" when it has none.
std::string SystemMessage(DWORD code);

}  // namespace kestrin
