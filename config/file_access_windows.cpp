#include <windows.h>

#include <algorithm>
#include <string>

#include "config/file_access.h"
#include "config/windows_text.h"

namespace kestrin {

namespace {

bool IsMissing(DWORD code) { return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND; }

ReadResult Refuse(std::string* error, const std::string& path, ReadResult result,
                  const std::string& reason) {
    if (error) *error = FileErrorText("Cannot open", path, reason);
    return result;
}

ReadResult FromCode(std::string* error, const std::string& path, DWORD code) {
    return Refuse(error, path, IsMissing(code) ? ReadResult::kMissing : ReadResult::kFailed,
                  SystemMessage(code));
}

bool WriteError(std::string* error, const std::string& path, const std::string& reason) {
    if (error) *error = FileErrorText("Cannot write", path, reason);
    return false;
}

struct Handle {
    HANDLE h;
    ~Handle() {
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    }
};

}  // namespace

ReadResult ReadWholeFile(const std::string& path, std::string& bytes, std::string* error) {
    bytes.clear();
    const std::wstring wpath = Wide(path);
    const DWORD attributes = GetFileAttributesW(wpath.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return FromCode(error, path, GetLastError());
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return Refuse(error, path, ReadResult::kNotRegular, kNotRegularReason);

    // A name such as COM1 or \\.\pipe\x opens a device or a pipe: the handle
    // is checked before the first read, and nothing but a disk file is read.
    Handle f{CreateFileW(wpath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)};
    if (f.h == INVALID_HANDLE_VALUE) return FromCode(error, path, GetLastError());
    if (GetFileType(f.h) != FILE_TYPE_DISK)
        return Refuse(error, path, ReadResult::kNotRegular, kNotRegularReason);
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(f.h, &info)) return FromCode(error, path, GetLastError());
    if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        return Refuse(error, path, ReadResult::kNotRegular, kNotRegularReason);
    const unsigned long long size =
        (static_cast<unsigned long long>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    if (size > kMaxFileBytes) return Refuse(error, path, ReadResult::kTooLarge, kTooLargeReason);

    std::string data;
    data.reserve(static_cast<std::size_t>(size));
    char buf[65536];
    for (;;) {
        DWORD n = 0;
        if (!ReadFile(f.h, buf, sizeof buf, &n, nullptr))
            return FromCode(error, path, GetLastError());
        if (n == 0) break;
        // A file that grows while it is read is held to the same cap.
        if (data.size() + n > kMaxFileBytes)
            return Refuse(error, path, ReadResult::kTooLarge, kTooLargeReason);
        data.append(buf, n);
    }
    bytes = std::move(data);
    return ReadResult::kOk;
}

bool WriteFileAtomically(const std::string& path, const std::string& bytes, std::string* error) {
    const std::wstring target = Wide(path);
    const DWORD attributes = GetFileAttributesW(target.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (exists && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return WriteError(error, path, kNotRegularReason);
    // A write-protected file is the owner's way of saying "keep this": the
    // replace would go through all the same, so refuse first.
    if (exists && (attributes & FILE_ATTRIBUTE_READONLY))
        return WriteError(error, path, SystemMessage(ERROR_ACCESS_DENIED));
    if (exists) {
        // Only a disk file is replaced, never a device or a pipe.
        Handle probe{CreateFileW(target.c_str(), 0,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)};
        if (probe.h != INVALID_HANDLE_VALUE && GetFileType(probe.h) != FILE_TYPE_DISK)
            return WriteError(error, path, kNotRegularReason);
    }

    const std::size_t slash = target.find_last_of(L"\\/");
    const std::wstring dir = slash == std::wstring::npos ? L"." : target.substr(0, slash);
    // The temporary file lies beside the target, so the replace is a rename
    // on one volume; the system makes it, with a name nothing else has.
    wchar_t name[MAX_PATH];
    if (!GetTempFileNameW(dir.c_str(), L"ks", 0, name))
        return WriteError(error, path, SystemMessage(GetLastError()));
    const std::wstring tmp = name;
    Handle f{CreateFileW(tmp.c_str(), GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr)};
    if (f.h == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        DeleteFileW(tmp.c_str());
        return WriteError(error, path, SystemMessage(code));
    }

    DWORD err = 0;
    std::size_t done = 0;
    while (!err && done < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 20));
        DWORD n = 0;
        if (!WriteFile(f.h, bytes.data() + done, chunk, &n, nullptr)) err = GetLastError();
        done += n;
    }
    if (!err && !FlushFileBuffers(f.h)) err = GetLastError();
    CloseHandle(f.h);
    f.h = INVALID_HANDLE_VALUE;
    // The new file takes the security of its folder, as any file saved there.
    if (!err && !MoveFileExW(tmp.c_str(), target.c_str(),
                             MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        err = GetLastError();
    if (err) {
        DeleteFileW(tmp.c_str());
        return WriteError(error, path, SystemMessage(err));
    }
    return true;
}

}  // namespace kestrin
