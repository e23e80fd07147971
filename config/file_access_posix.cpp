#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "config/file_access.h"

namespace kestrin {

namespace {

void SetError(std::string* error, const char* verb, const std::string& path,
              const std::string& reason) {
    if (error) *error = FileErrorText(verb, path, reason);
}

ReadResult Refuse(std::string* error, const std::string& path, ReadResult result,
                  const std::string& reason) {
    SetError(error, "Cannot open", path, reason);
    return result;
}

ReadResult FromErrno(std::string* error, const std::string& path, int err) {
    return Refuse(error, path, err == ENOENT ? ReadResult::kMissing : ReadResult::kFailed,
                  std::strerror(err));
}

// Opening a FIFO for reading waits for a writer, and opening a serial device
// may toggle its control lines, so nothing but a regular file is opened.
bool IsRegular(const struct stat& st) { return S_ISREG(st.st_mode); }

}  // namespace

ReadResult ReadWholeFile(const std::string& path, std::string& bytes, std::string* error) {
    bytes.clear();
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return FromErrno(error, path, errno);
    if (!IsRegular(st)) return Refuse(error, path, ReadResult::kNotRegular, kNotRegularReason);

    // The path may have been swapped for a FIFO since: O_NONBLOCK keeps the
    // open from waiting, and the handle is checked again before any read.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return FromErrno(error, path, errno);
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};

    if (::fstat(fd, &st) != 0) return FromErrno(error, path, errno);
    if (!IsRegular(st)) return Refuse(error, path, ReadResult::kNotRegular, kNotRegularReason);
    if (static_cast<unsigned long long>(st.st_size) > kMaxFileBytes)
        return Refuse(error, path, ReadResult::kTooLarge, kTooLargeReason);

    std::string data;
    data.reserve(static_cast<std::size_t>(st.st_size));
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            return FromErrno(error, path, errno);
        }
        // A file that grows while it is read is held to the same cap.
        if (data.size() + static_cast<std::size_t>(n) > kMaxFileBytes)
            return Refuse(error, path, ReadResult::kTooLarge, kTooLargeReason);
        data.append(buf, static_cast<std::size_t>(n));
    }
    bytes = std::move(data);
    return ReadResult::kOk;
}

bool WriteFileAtomically(const std::string& path, const std::string& bytes, std::string* error) {
    // Replace the file a link points to, not the link itself.
    std::string target = path;
    struct stat lst;
    if (::lstat(path.c_str(), &lst) == 0 && S_ISLNK(lst.st_mode)) {
        char resolved[PATH_MAX];
        if (::realpath(path.c_str(), resolved)) target = resolved;
    }

    struct stat existing;
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    // The rename would put a file in place of a FIFO or a device node, which
    // is never what the operator meant by naming it.
    if (exists && !IsRegular(existing)) {
        SetError(error, "Cannot write", path, kNotRegularReason);
        return false;
    }
    // A write-protected file is the owner's way of saying "keep this": the
    // rename would replace it all the same, so refuse first.
    if (exists && ((existing.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0)) {
        SetError(error, "Cannot write", path, std::strerror(EACCES));
        return false;
    }

    const std::size_t slash = target.rfind('/');
    const std::string dir = slash == std::string::npos ? "." : target.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    std::string tmp = (slash == std::string::npos ? "" : dir) + "." + base + ".XXXXXX";

    const int fd = ::mkstemp(&tmp[0]);
    if (fd < 0) {
        SetError(error, "Cannot write", path, std::strerror(errno));
        return false;
    }

    // Keep the old file's permissions; a new file gets the usual ones.
    mode_t mode;
    if (exists) {
        mode = existing.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }

    int err = 0;
    if (::fchmod(fd, mode) != 0) err = errno;
    std::size_t done = 0;
    while (!err && done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            err = errno;
        } else {
            done += static_cast<std::size_t>(n);
        }
    }
    if (!err && ::fsync(fd) != 0) err = errno;
    if (::close(fd) != 0 && !err) err = errno;
    if (!err && ::rename(tmp.c_str(), target.c_str()) != 0) err = errno;
    if (err) {
        ::unlink(tmp.c_str());
        SetError(error, "Cannot write", path, std::strerror(err));
        return false;
    }

    // Make the rename itself durable; the new content is in place either way.
    const int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
    return true;
}

}  // namespace kestrin
