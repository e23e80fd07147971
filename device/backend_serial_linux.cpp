#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <vector>

#include "device/backend_serial.h"

namespace kestrin {

namespace {

struct Rate {
    DWORD baud;
    speed_t speed;
};

const Rate kRates[] = {
    {50, B50},           {75, B75},         {110, B110},       {134, B134},     {150, B150},
    {200, B200},         {300, B300},       {600, B600},       {1200, B1200},   {1800, B1800},
    {2400, B2400},       {4800, B4800},     {9600, B9600},     {19200, B19200}, {38400, B38400},
    {57600, B57600},     {115200, B115200}, {230400, B230400},
#ifdef B460800
    {460800, B460800},
#endif
#ifdef B500000
    {500000, B500000},
#endif
#ifdef B576000
    {576000, B576000},
#endif
#ifdef B921600
    {921600, B921600},
#endif
#ifdef B1000000
    {1000000, B1000000},
#endif
#ifdef B1500000
    {1500000, B1500000},
#endif
#ifdef B2000000
    {2000000, B2000000},
#endif
#ifdef B3000000
    {3000000, B3000000},
#endif
};

bool SpeedFor(DWORD baud, speed_t& speed) {
    for (const Rate& r : kRates)
        if (r.baud == baud) {
            speed = r.speed;
            return true;
        }
    return false;
}

DWORD BaudFor(speed_t speed) {
    for (const Rate& r : kRates)
        if (r.speed == speed) return r.baud;
    return 0;
}

// Errors that mean the adapter has gone (unplugged, hung up).
bool DeviceGone(int err) { return err == EIO || err == ENXIO || err == ENODEV; }

FT_STATUS StatusFor(int err) { return DeviceGone(err) ? FT_IO_ERROR : FT_OTHER_ERROR; }

std::string ReadTrimmed(const std::string& path) {
    std::ifstream in(path);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const char* ws = " \t\r\n";
    const auto first = text.find_first_not_of(ws);
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(ws) - first + 1);
}

bool Exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

struct Found {
    std::string tty;  // e.g. "ttyUSB0"
    long number;
    std::string serial;
    std::string description;
    DWORD id = 0;
};

struct Port {
    int fd;
    std::string tty;
    ULONG readTimeoutMs = 0;
};

// Copies text into a fixed buffer, cut short if need be, always terminated.
void CopyOut(const std::string& text, void* out, std::size_t size) {
    if (!out) return;
    const std::size_t n = std::min(text.size(), size - 1);
    std::memcpy(out, text.data(), n);
    static_cast<char*>(out)[n] = '\0';
}

class SerialBackend : public AdapterBackend {
  public:
    explicit SerialBackend(const SerialBackendPaths& paths) : paths_(paths) {}
    ~SerialBackend() override {
        for (auto& p : ports_) close(p.second->fd);
    }

    const char* Name() const override { return "serial"; }
    std::string LastOpenProblem() const override { return lastProblem_; }

    FT_STATUS CreateDeviceInfoList(DWORD* numDevs) override {
        list_ = Enumerate();
        listed_ = true;
        if (numDevs) *numDevs = static_cast<DWORD>(list_.size());
        return FT_OK;
    }

    FT_STATUS GetDeviceInfoDetail(DWORD index, DWORD* flags, DWORD* type, DWORD* id, DWORD* locId,
                                  void* serialNumber, void* description,
                                  FT_HANDLE* handle) override {
        if (index >= list_.size()) return FT_DEVICE_NOT_FOUND;
        const Found& f = list_[index];
        Port* open = FindOpen(f.tty);
        if (flags) *flags = open ? 1 : 0;  // bit 0: opened
        if (type) *type = 3;               // model not known through this driver
        if (id) *id = f.id;
        if (locId) *locId = 0;
        CopyOut(f.serial, serialNumber, kFtSerialLen);
        CopyOut(f.description, description, kFtDescriptionLen);
        if (handle) *handle = open;
        return FT_OK;
    }

    FT_STATUS Open(int index, FT_HANDLE* handle) override {
        lastProblem_.clear();
        if (!listed_) {
            list_ = Enumerate();
            listed_ = true;
        }
        if (index < 0 || static_cast<std::size_t>(index) >= list_.size())
            return FT_DEVICE_NOT_FOUND;
        return OpenTty(list_[index].tty, handle);
    }

    FT_STATUS OpenEx(void* arg, DWORD flags, FT_HANDLE* handle) override {
        lastProblem_.clear();
        if (!arg) return FT_INVALID_PARAMETER;
        if (flags != FT_OPEN_BY_DESCRIPTION && flags != FT_OPEN_BY_SERIAL_NUMBER)
            return FT_INVALID_PARAMETER;
        const std::string wanted(static_cast<const char*>(arg));
        for (const Found& f : Enumerate()) {
            const std::string& have = flags == FT_OPEN_BY_DESCRIPTION ? f.description : f.serial;
            if (have == wanted) return OpenTty(f.tty, handle);
        }
        return FT_DEVICE_NOT_FOUND;
    }

    BOOL GetCommState(FT_HANDLE handle, FTDCB* dcb) override {
        Port* p = Lookup(handle);
        termios t{};
        if (!p || !dcb || tcgetattr(p->fd, &t) != 0) return 0;
        *dcb = FTDCB{};
        dcb->DCBlength = sizeof(FTDCB);
        dcb->BaudRate = BaudFor(cfgetospeed(&t));
        dcb->Flags = 1u | ((t.c_cflag & PARENB) ? 2u : 0u);  // fBinary, fParity
        switch (t.c_cflag & CSIZE) {
            case CS5:
                dcb->ByteSize = 5;
                break;
            case CS6:
                dcb->ByteSize = 6;
                break;
            case CS7:
                dcb->ByteSize = 7;
                break;
            default:
                dcb->ByteSize = 8;
                break;
        }
        dcb->Parity = (t.c_cflag & PARENB) ? ((t.c_cflag & PARODD) ? 1 : 2) : 0;
        dcb->StopBits = (t.c_cflag & CSTOPB) ? 2 : 0;
        dcb->XonChar = static_cast<char>(t.c_cc[VSTART]);
        dcb->XoffChar = static_cast<char>(t.c_cc[VSTOP]);
        return 1;
    }

    BOOL SetCommState(FT_HANDLE handle, FTDCB* dcb) override {
        Port* p = Lookup(handle);
        termios current{};
        if (!p || !dcb || tcgetattr(p->fd, &current) != 0) return 0;
        const std::optional<termios> t = TermiosForDcb(current, *dcb, p->readTimeoutMs);
        return t && tcsetattr(p->fd, TCSANOW, &*t) == 0 ? 1 : 0;
    }

    FT_STATUS SetTimeouts(FT_HANDLE handle, ULONG readTimeoutMs, ULONG) override {
        Port* p = Lookup(handle);
        if (!p) return FT_INVALID_HANDLE;
        termios t{};
        if (tcgetattr(p->fd, &t) != 0) return StatusFor(errno);
        t.c_cc[VMIN] = 0;
        t.c_cc[VTIME] = ReadTimeoutTenths(readTimeoutMs);
        if (tcsetattr(p->fd, TCSANOW, &t) != 0) return StatusFor(errno);
        p->readTimeoutMs = readTimeoutMs;
        return FT_OK;
    }

    FT_STATUS Read(FT_HANDLE handle, void* buffer, DWORD toRead, DWORD* got) override {
        *got = 0;
        Port* p = Lookup(handle);
        if (!p) return FT_INVALID_HANDLE;
        auto* out = static_cast<uint8_t*>(buffer);
        // Each read waits at most the line's timeout for its first byte; a
        // read that returns nothing ends the call.
        while (*got < toRead) {
            const ssize_t r = read(p->fd, out + *got, toRead - *got);
            if (r > 0) {
                *got += static_cast<DWORD>(r);
            } else if (r == 0 || errno == EAGAIN) {
                break;
            } else if (errno != EINTR) {
                return StatusFor(errno);
            }
        }
        return FT_OK;
    }

    FT_STATUS Write(FT_HANDLE handle, void* buffer, DWORD toWrite, DWORD* written) override {
        *written = 0;
        Port* p = Lookup(handle);
        if (!p) return FT_INVALID_HANDLE;
        const auto* in = static_cast<const uint8_t*>(buffer);
        while (*written < toWrite) {
            const ssize_t r = write(p->fd, in + *written, toWrite - *written);
            if (r > 0) {
                *written += static_cast<DWORD>(r);
            } else if (r == 0) {
                return FT_OTHER_ERROR;
            } else if (errno != EINTR) {
                return StatusFor(errno);
            }
        }
        return FT_OK;
    }

    FT_STATUS GetStatus(FT_HANDLE handle, DWORD* rxQueue, DWORD* txQueue, DWORD* events) override {
        Port* p = Lookup(handle);
        if (!p) return FT_INVALID_HANDLE;
        int rx = 0, tx = 0;
        if (ioctl(p->fd, FIONREAD, &rx) != 0) return StatusFor(errno);
        if (ioctl(p->fd, TIOCOUTQ, &tx) != 0) return StatusFor(errno);
        *rxQueue = static_cast<DWORD>(rx);
        *txQueue = static_cast<DWORD>(tx);
        *events = 0;
        return FT_OK;
    }

    FT_STATUS Purge(FT_HANDLE handle, ULONG mask) override {
        Port* p = Lookup(handle);
        if (!p) return FT_INVALID_HANDLE;
        const bool rx = mask & FT_PURGE_RX, tx = mask & FT_PURGE_TX;
        if (!rx && !tx) return FT_OK;
        const int which = rx && tx ? TCIOFLUSH : rx ? TCIFLUSH : TCOFLUSH;
        return tcflush(p->fd, which) == 0 ? FT_OK : StatusFor(errno);
    }

    FT_STATUS Close(FT_HANDLE handle) override {
        auto it = ports_.find(handle);
        if (it == ports_.end()) return FT_INVALID_HANDLE;
        close(it->second->fd);
        ports_.erase(it);
        return FT_OK;
    }

  private:
    Port* Lookup(FT_HANDLE handle) {
        auto it = ports_.find(handle);
        return it == ports_.end() ? nullptr : it->second.get();
    }

    Port* FindOpen(const std::string& tty) {
        for (auto& p : ports_)
            if (p.second->tty == tty) return p.second.get();
        return nullptr;
    }

    std::vector<Found> Enumerate() const {
        std::vector<Found> found;
        DIR* dir = opendir(paths_.sysClassTty.c_str());
        if (!dir) return found;
        while (const dirent* entry = readdir(dir)) {
            const std::string name = entry->d_name;
            if (name.compare(0, 6, "ttyUSB") != 0 || name.size() == 6) continue;
            char* end = nullptr;
            const long number = std::strtol(name.c_str() + 6, &end, 10);
            if (*end != '\0') continue;
            Found f{name, number, {}, {}, 0};
            DescribeUsbDevice(paths_.sysClassTty + "/" + name + "/device", f);
            found.push_back(f);
        }
        closedir(dir);
        std::sort(found.begin(), found.end(),
                  [](const Found& a, const Found& b) { return a.number < b.number; });
        return found;
    }

    // The tty's device link leads to the USB interface's tty folder; the USB
    // device itself, with its serial and product files, is a few levels up.
    static void DescribeUsbDevice(const std::string& link, Found& f) {
        char real[PATH_MAX];
        if (!realpath(link.c_str(), real)) return;
        std::string dir = real;
        for (int level = 0; level < 4; ++level) {
            const auto slash = dir.find_last_of('/');
            if (slash == std::string::npos || slash == 0) return;
            dir.erase(slash);
            if (Exists(dir + "/idVendor")) {
                f.serial = ReadTrimmed(dir + "/serial");
                f.description = ReadTrimmed(dir + "/product");
                const DWORD vendor =
                    std::strtoul(ReadTrimmed(dir + "/idVendor").c_str(), nullptr, 16);
                const DWORD product =
                    std::strtoul(ReadTrimmed(dir + "/idProduct").c_str(), nullptr, 16);
                f.id = (vendor << 16) | (product & 0xFFFF);
                return;
            }
        }
    }

    FT_STATUS OpenTty(const std::string& tty, FT_HANDLE* handle) {
        const std::string path = paths_.dev + "/" + tty;
        // Non-blocking only for the open itself, so a missing carrier cannot hold it up.
        lastProblem_.clear();
        const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            const int err = errno;
            if (err == EACCES || err == EPERM) {
                WarnAccessOnce(path);
                lastProblem_ = "permission denied on " + path +
                               ": add the user to the dialout group (sudo usermod -aG dialout "
                               "$USER, then log in again)";
            } else if (err == EBUSY) {
                lastProblem_ = path + " is held by another program";
            } else {
                lastProblem_ = path + " could not be opened: " + std::strerror(err);
            }
            return err == ENOENT || DeviceGone(err) ? FT_DEVICE_NOT_FOUND : FT_DEVICE_NOT_OPENED;
        }
        // One owner per adapter, as the vendor driver has it: a shoe held by
        // another program (or another copy of this one) cannot be opened.
        if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
            close(fd);
            lastProblem_ = path + " is held by another program";
            return FT_DEVICE_NOT_OPENED;
        }
        ioctl(fd, TIOCEXCL);
        termios t{};
        const int fl = fcntl(fd, F_GETFL);
        if (fl < 0 || fcntl(fd, F_SETFL, fl & ~O_NONBLOCK) != 0 || tcgetattr(fd, &t) != 0) {
            close(fd);
            return FT_DEVICE_NOT_OPENED;
        }
        // Adapters behave as a raw byte pipe from the moment they are opened.
        cfmakeraw(&t);
        t.c_cflag |= CLOCAL | CREAD;
        t.c_cflag &= ~CRTSCTS;
        t.c_iflag &= ~(IXON | IXOFF | IXANY);
        t.c_cc[VMIN] = 0;
        t.c_cc[VTIME] = 0;
        if (tcsetattr(fd, TCSANOW, &t) != 0) {
            close(fd);
            return FT_DEVICE_NOT_OPENED;
        }
        auto port = std::make_unique<Port>(Port{fd, tty, 0});
        FT_HANDLE h = port.get();
        ports_[h] = std::move(port);
        if (handle) *handle = h;
        return FT_OK;
    }

    // Said once: the monitor retries every second.
    static void WarnAccessOnce(const std::string& path) {
        static bool warned = false;
        if (warned) return;
        warned = true;
        std::fprintf(stderr, "cannot open %s: permission denied (is the user in group dialout?)\n",
                     path.c_str());
    }

    SerialBackendPaths paths_;
    std::string lastProblem_;
    std::vector<Found> list_;
    bool listed_ = false;
    std::map<FT_HANDLE, std::unique_ptr<Port>> ports_;
};

}  // namespace

cc_t ReadTimeoutTenths(ULONG readTimeoutMs) {
    const ULONG tenths = (readTimeoutMs + 99) / 100;
    return static_cast<cc_t>(std::min<ULONG>(tenths, 255));
}

std::optional<termios> TermiosForDcb(const termios& current, const FTDCB& dcb,
                                     ULONG readTimeoutMs) {
    speed_t speed;
    if (!SpeedFor(dcb.BaudRate, speed)) return std::nullopt;
    termios t = current;
    cfmakeraw(&t);
    t.c_cflag &= ~(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
    switch (dcb.ByteSize) {
        case 5:
            t.c_cflag |= CS5;
            break;
        case 6:
            t.c_cflag |= CS6;
            break;
        case 7:
            t.c_cflag |= CS7;
            break;
        case 8:
            t.c_cflag |= CS8;
            break;
        default:
            return std::nullopt;
    }
    switch (dcb.Parity) {
        case 0:
            break;
        case 1:
            t.c_cflag |= PARENB | PARODD;
            break;
        case 2:
            t.c_cflag |= PARENB;
            break;
        default:
            return std::nullopt;  // mark and space
    }
    switch (dcb.StopBits) {
        case 0:
            break;
        case 2:
            t.c_cflag |= CSTOPB;
            break;
        default:
            return std::nullopt;  // one and a half
    }
    t.c_cflag |= CLOCAL | CREAD;
    t.c_iflag &= ~(IXON | IXOFF | IXANY);
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = ReadTimeoutTenths(readTimeoutMs);
    if (cfsetispeed(&t, speed) != 0 || cfsetospeed(&t, speed) != 0) return std::nullopt;
    return t;
}

std::unique_ptr<AdapterBackend> MakeSerialBackend(const SerialBackendPaths& paths) {
    return std::make_unique<SerialBackend>(paths);
}

}  // namespace kestrin
