// The few POSIX calls of the profile file access, in Windows terms, until
// that file access has a Windows implementation of its own. Paths are taken
// in the system's ANSI code page.
#pragma once

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

// Files are bytes: no CRLF translation, no end at a Ctrl-Z.
#define O_CLOEXEC O_BINARY
#define O_DIRECTORY 0
#define S_ISLNK(m) 0
#define lstat stat
#define fsync _commit

inline int fchmod(int, int) { return 0; }

inline char* realpath(const char* path, char* resolved) {
    return _fullpath(resolved, path, PATH_MAX);
}

inline int mkstemp(char* tmpl) {
    if (_mktemp_s(tmpl, std::strlen(tmpl) + 1) != 0) return -1;
    return _open(tmpl, _O_CREAT | _O_EXCL | _O_RDWR | _O_BINARY, _S_IREAD | _S_IWRITE);
}

// Replaces an existing file as POSIX rename does.
inline int KestrinRename(const char* from, const char* to) {
    if (MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return 0;
    errno = GetLastError() == ERROR_ACCESS_DENIED ? EACCES : EIO;
    return -1;
}
#define rename KestrinRename
