// Whole-file reads and writes of the files the operator names: configuration
// files, the default file and the text report. Nothing here may wait on what
// a path names: a FIFO, a device or a directory is refused at once. One
// implementation per platform (file_access_posix.cpp, file_access_windows.cpp);
// paths are UTF-8 on every platform.
#pragma once

#include <cstddef>
#include <string>

namespace kestrin {

// Largest file ReadWholeFile takes. A configuration file is a few kilobytes;
// anything far larger is not one, and reading it whole would only tie up
// memory.
constexpr std::size_t kMaxFileBytes = 4 * 1024 * 1024;

enum class ReadResult {
    kOk,
    kMissing,     // nothing at path (the folder exists, the name does not)
    kNotRegular,  // a directory, FIFO, device, socket ...: not read
    kTooLarge,    // more than kMaxFileBytes
    kFailed,      // any other refusal of the system
};

// Reads the whole regular file at path into bytes, following links. Whatever
// path names, it returns within a fraction of a second: the kind of file is
// checked before it is opened, it is opened without blocking and checked
// again on the open handle before the first read (fstat; GetFileType and
// GetFileInformationByHandle). Anything but kOk leaves bytes empty and, when
// error is given, sets it to FileErrorText("Cannot open", path, reason).
ReadResult ReadWholeFile(const std::string& path, std::string& bytes, std::string* error);

// Replaces the file at path with bytes: written to a new temporary file in
// the same folder, flushed to disk, then renamed over path in one step, so a
// failure leaves the old file exactly as it was and no temporary file behind.
// A link is followed and the file it names replaced. An existing file keeps
// its permissions; a new one gets the usual ones. Refused without touching
// anything when path names something other than a regular file
// (kNotRegularReason) or a write-protected file. False on failure with
// FileErrorText("Cannot write", path, reason) in error when given.
bool WriteFileAtomically(const std::string& path, const std::string& bytes, std::string* error);

// The reasons every platform gives in the same words; any other reason is the
// system's own text for its error code.
constexpr const char* kNotRegularReason = "not a regular file";
constexpr const char* kTooLargeReason = "too large for a configuration file";

// verb "PATH": reason, e.g. Cannot open "/tmp/site.kt9": not a regular file
inline std::string FileErrorText(const char* verb, const std::string& path,
                                 const std::string& reason) {
    return std::string(verb) + " \"" + path + "\": " + reason;
}

}  // namespace kestrin
