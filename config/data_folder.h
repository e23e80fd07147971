// Where the utility keeps what it writes for the operator's own record
// (transmitter backups, the programming log). The window and the
// command-line tool share it.
#pragma once

#include <string>

namespace kestrin {

// The user's data folder of the utility, not created here: KESTRIN_DATA_DIR
// when set; otherwise on Linux $XDG_DATA_HOME/kestrin-pro or
// ~/.local/share/kestrin-pro, on Windows %APPDATA%\kestrin-pro. Empty when
// the platform names no home for the user.
std::string UserDataFolder();

// Creates path and any missing parents. False with a text naming the folder
// and the cause when it cannot be made.
bool MakeFolders(const std::string& path, std::string* error);

// Joins a folder and a name with the platform's separator.
std::string JoinPath(const std::string& folder, const std::string& name);

}  // namespace kestrin
