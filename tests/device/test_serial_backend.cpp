// The kernel serial backend against pseudo-terminals standing in for two
// USB adapters, found through a fake sysfs tree.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

#include "device/backend_serial.h"
#include "device/connection.h"

namespace kestrin {
namespace {

struct Pty {
    int master = -1;
    std::string slave;
};

Pty OpenPty() {
    Pty p;
    p.master = posix_openpt(O_RDWR | O_NOCTTY);
    if (p.master >= 0 && grantpt(p.master) == 0 && unlockpt(p.master) == 0)
        p.slave = ptsname(p.master);
    return p;
}

void WriteFile(const std::string& path, const std::string& text) { std::ofstream(path) << text; }

void MakeDirs(const std::string& path) {
    for (std::size_t i = 1; i <= path.size(); ++i)
        if (i == path.size() || path[i] == '/') mkdir(path.substr(0, i).c_str(), 0755);
}

// Two adapters as the kernel shows them: ttyUSB2, a shoe with a serial
// number, and ttyUSB10, a cable without one.
class SerialBackendTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char tmpl[] = "/tmp/kestrin-sysfs-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        root_ = tmpl;
        shoe_ = OpenPty();
        cable_ = OpenPty();
        ASSERT_FALSE(shoe_.slave.empty());
        ASSERT_FALSE(cable_.slave.empty());
        AddAdapter("1-1", "ttyUSB2", "FT123456\n", "USB BASE PROGRAMMER\n", shoe_);
        AddAdapter("1-2", "ttyUSB10", nullptr, "TTL232R-3V3\n", cable_);
        MakeDirs(root_ + "/sys/class/tty/ttyS0");  // not a USB adapter
        SetAdapterBackend(MakeSerialBackend({root_ + "/sys/class/tty", root_ + "/dev"}));
    }

    void TearDown() override {
        SetAdapterBackend(nullptr);
        if (shoe_.master >= 0) close(shoe_.master);
        if (cable_.master >= 0) close(cable_.master);
        std::system(("rm -rf '" + root_ + "'").c_str());
    }

    void AddAdapter(const std::string& usb, const std::string& tty, const char* serial,
                    const char* product, const Pty& pty) {
        const std::string dev = root_ + "/sys/devices/usb1/" + usb;
        const std::string iface = dev + "/" + usb + ":1.0/" + tty;
        MakeDirs(iface);
        WriteFile(dev + "/idVendor", "0403\n");
        WriteFile(dev + "/idProduct", "6001\n");
        if (serial) WriteFile(dev + "/serial", serial);
        WriteFile(dev + "/product", product);
        MakeDirs(root_ + "/sys/class/tty/" + tty);
        ASSERT_EQ(symlink(iface.c_str(), (root_ + "/sys/class/tty/" + tty + "/device").c_str()), 0);
        MakeDirs(root_ + "/dev");
        ASSERT_EQ(symlink(pty.slave.c_str(), (root_ + "/dev/" + tty).c_str()), 0);
    }

    FT_HANDLE OpenShoe() {
        DWORD n = 0;
        FT_HANDLE h = nullptr;
        EXPECT_EQ(FT_CreateDeviceInfoList(&n), FT_OK);
        EXPECT_EQ(FT_Open(0, &h), FT_OK);
        return h;
    }

    std::string root_;
    Pty shoe_, cable_;
};

TEST_F(SerialBackendTest, EnumeratesUsbAdaptersInNumberOrder) {
    DWORD n = 0;
    ASSERT_EQ(FT_CreateDeviceInfoList(&n), FT_OK);
    ASSERT_EQ(n, 2u);
    char serial[kFtSerialLen], desc[kFtDescriptionLen];
    DWORD flags, type, id, loc;
    FT_HANDLE h;
    ASSERT_EQ(FT_GetDeviceInfoDetail(0, &flags, &type, &id, &loc, serial, desc, &h), FT_OK);
    EXPECT_STREQ(serial, "FT123456");
    EXPECT_STREQ(desc, "USB BASE PROGRAMMER");
    EXPECT_EQ(id, 0x04036001u);
    ASSERT_EQ(FT_GetDeviceInfoDetail(1, &flags, &type, &id, &loc, serial, desc, &h), FT_OK);
    EXPECT_STREQ(serial, "");
    EXPECT_STREQ(desc, "TTL232R-3V3");
    EXPECT_EQ(FT_GetDeviceInfoDetail(2, &flags, &type, &id, &loc, serial, desc, &h),
              FT_DEVICE_NOT_FOUND);
}

TEST_F(SerialBackendTest, OpensByIndexAndByDescriptionAndCarriesBytes) {
    FT_HANDLE shoe = OpenShoe();
    FT_HANDLE cable = nullptr;
    char cableName[] = "TTL232R-3V3", other[] = "USB SOMETHING ELSE";
    EXPECT_EQ(FT_OpenEx(other, FT_OPEN_BY_DESCRIPTION, &cable), FT_DEVICE_NOT_FOUND);
    ASSERT_EQ(FT_OpenEx(cableName, FT_OPEN_BY_DESCRIPTION, &cable), FT_OK);
    ASSERT_EQ(FT_SetTimeouts(shoe, 200, 0), FT_OK);
    ASSERT_EQ(FT_SetTimeouts(cable, 200, 0), FT_OK);

    // Out through the shoe, bytes that a cooked line would have mangled.
    uint8_t frame[] = {0x01, 0x33, 0x02, 0x0A, 0x0D, 0x03, 0x11};
    DWORD written = 0;
    ASSERT_EQ(FT_Write(shoe, frame, sizeof frame, &written), FT_OK);
    EXPECT_EQ(written, sizeof frame);
    uint8_t seen[16];
    ASSERT_EQ(read(shoe_.master, seen, sizeof seen), static_cast<ssize_t>(sizeof frame));
    EXPECT_EQ(0, memcmp(seen, frame, sizeof frame));

    // In on the cable, read with one call that ends at the timeout.
    ASSERT_EQ(write(cable_.master, "\x02OK\r\n", 5), 5);
    uint8_t in[16];
    DWORD got = 0;
    ASSERT_EQ(FT_Read(cable, in, sizeof in, &got), FT_OK);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(in), got), "\x02OK\r\n");
    // An adapter has one owner at a time.
    FT_HANDLE again = nullptr;
    EXPECT_EQ(FT_OpenEx(cableName, FT_OPEN_BY_DESCRIPTION, &again), FT_DEVICE_NOT_OPENED);
    EXPECT_EQ(FT_Close(shoe), FT_OK);
    EXPECT_EQ(FT_Close(cable), FT_OK);
    EXPECT_EQ(FT_Close(cable), FT_INVALID_HANDLE);
    ASSERT_EQ(FT_OpenEx(cableName, FT_OPEN_BY_DESCRIPTION, &again), FT_OK);
    EXPECT_EQ(FT_Close(again), FT_OK);
}

TEST_F(SerialBackendTest, AppliesLineSettings) {
    FT_HANDLE shoe = OpenShoe();
    FTDCB dcb{};
    ASSERT_TRUE(FT_W32_GetCommState(shoe, &dcb));
    dcb.BaudRate = 19200;
    dcb.ByteSize = 8;
    dcb.Parity = 0;
    dcb.StopBits = 0;
    ASSERT_TRUE(FT_W32_SetCommState(shoe, &dcb));

    const int fd = open(shoe_.slave.c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(fd, 0);
    termios t{};
    ASSERT_EQ(tcgetattr(fd, &t), 0);
    close(fd);
    EXPECT_EQ(cfgetospeed(&t), B19200);
    EXPECT_EQ(cfgetispeed(&t), B19200);
    EXPECT_FALSE(t.c_cflag & (CSTOPB | CRTSCTS));
    EXPECT_EQ(t.c_cflag & (CLOCAL | CREAD), static_cast<tcflag_t>(CLOCAL | CREAD));
    EXPECT_FALSE(t.c_lflag & (ICANON | ECHO | ISIG));

    FTDCB back{};
    dcb.BaudRate = 115200;
    ASSERT_TRUE(FT_W32_SetCommState(shoe, &dcb));
    ASSERT_TRUE(FT_W32_GetCommState(shoe, &back));
    EXPECT_EQ(back.BaudRate, 115200u);
    dcb.BaudRate = 12345;
    EXPECT_FALSE(FT_W32_SetCommState(shoe, &dcb));
}

TEST_F(SerialBackendTest, ReadWithoutDataEndsAfterTheTimeout) {
    FT_HANDLE shoe = OpenShoe();
    ASSERT_EQ(FT_SetTimeouts(shoe, 200, 0), FT_OK);
    uint8_t byte;
    DWORD got = 99;
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(FT_Read(shoe, &byte, 1, &got), FT_OK);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now() - start)
                        .count();
    EXPECT_EQ(got, 0u);
    EXPECT_GE(ms, 150);
    EXPECT_LE(ms, 600);
}

TEST_F(SerialBackendTest, PurgeDropsWaitingBytes) {
    FT_HANDLE shoe = OpenShoe();
    ASSERT_EQ(write(shoe_.master, "stale", 5), 5);
    DWORD rx = 0, tx, ev;
    for (int i = 0; i < 100 && rx < 5; ++i) {
        ASSERT_EQ(FT_GetStatus(shoe, &rx, &tx, &ev), FT_OK);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ASSERT_EQ(rx, 5u);
    ASSERT_EQ(FT_Purge(shoe, FT_PURGE_RX | FT_PURGE_TX), FT_OK);
    ASSERT_EQ(FT_GetStatus(shoe, &rx, &tx, &ev), FT_OK);
    EXPECT_EQ(rx, 0u);
}

TEST_F(SerialBackendTest, LostAdapterGivesIoError) {
    FT_HANDLE shoe = OpenShoe();
    DWORD rx, tx, ev;
    ASSERT_EQ(FT_GetStatus(shoe, &rx, &tx, &ev), FT_OK);
    close(shoe_.master);
    shoe_.master = -1;
    EXPECT_EQ(FT_GetStatus(shoe, &rx, &tx, &ev), FT_IO_ERROR);
    uint8_t b[] = {0x01};
    DWORD written = 7;
    EXPECT_NE(FT_Write(shoe, b, 1, &written), FT_OK);
    EXPECT_EQ(written, 0u);
    EXPECT_EQ(FT_Close(shoe), FT_OK);
}

TEST_F(SerialBackendTest, APortThatCannotBeOpenedSaysWhy) {
    FT_HANDLE shoe = OpenShoe();
    FT_HANDLE again = nullptr;
    EXPECT_EQ(FT_Open(0, &again), FT_DEVICE_NOT_OPENED);
    EXPECT_EQ(AdapterOpenProblem(), root_ + "/dev/ttyUSB2 is held by another program");
    EXPECT_EQ(FT_Close(shoe), FT_OK);

    // Permission is checked by a child that is not root, as an installer is,
    // and through the connection, whose words the devices command prints.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (geteuid() == 0) {
            if (chmod(root_.c_str(), 0755) != 0 || setgid(65534) != 0 || setuid(65534) != 0)
                _exit(3);
        } else if (chmod(shoe_.slave.c_str(), 0) != 0 || chmod(cable_.slave.c_str(), 0) != 0) {
            _exit(3);
        }
        const Connection c = Connect();
        if (c.seen.size() != 2 || c.handles.shoe || c.handles.cable) _exit(4);
        const std::string advice =
            ": add the user to the dialout group (sudo usermod -aG dialout $USER, then log in "
            "again)";
        if (c.seen[0].problem != "permission denied on " + root_ + "/dev/ttyUSB2" + advice)
            _exit(5);
        if (c.seen[1].problem != "permission denied on " + root_ + "/dev/ttyUSB10" + advice)
            _exit(6);
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0)
        << "3 setup, 4 what opened, 5 the shoe's words, 6 the cable's";
}

// Pseudo-terminals always report eight data bits and no parity, so the
// line-building itself is checked on its own.
struct DcbCase {
    DWORD baud;
    uint8_t byteSize, parity, stopBits;
    bool ok;
    speed_t speed;
    tcflag_t size, parityBits, stopBitsFlag;
};
void PrintTo(const DcbCase& c, std::ostream* os) {
    *os << c.baud << " " << int(c.byteSize) << "/" << int(c.parity) << "/" << int(c.stopBits);
}

class TermiosForDcbTest : public ::testing::TestWithParam<DcbCase> {};

TEST_P(TermiosForDcbTest, BuildsARawLine) {
    const DcbCase& c = GetParam();
    termios cooked{};
    cooked.c_lflag = ICANON | ECHO | ISIG | IEXTEN;
    cooked.c_iflag = ICRNL | IXON | IXOFF;
    cooked.c_oflag = OPOST | ONLCR;
    cooked.c_cflag = CS7 | PARENB | PARODD | CSTOPB | CRTSCTS;
    FTDCB dcb{};
    dcb.BaudRate = c.baud;
    dcb.ByteSize = c.byteSize;
    dcb.Parity = c.parity;
    dcb.StopBits = c.stopBits;
    const std::optional<termios> t = TermiosForDcb(cooked, dcb, 200);
    ASSERT_EQ(t.has_value(), c.ok);
    if (!c.ok) return;
    EXPECT_EQ(cfgetospeed(&*t), c.speed);
    EXPECT_EQ(cfgetispeed(&*t), c.speed);
    EXPECT_EQ(t->c_cflag & CSIZE, c.size);
    EXPECT_EQ(t->c_cflag & (PARENB | PARODD), c.parityBits);
    EXPECT_EQ(t->c_cflag & CSTOPB, c.stopBitsFlag);
    EXPECT_FALSE(t->c_cflag & CRTSCTS);
    EXPECT_EQ(t->c_cflag & (CLOCAL | CREAD), static_cast<tcflag_t>(CLOCAL | CREAD));
    EXPECT_EQ(t->c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
    EXPECT_EQ(t->c_iflag & (ICRNL | IXON | IXOFF), 0u);
    EXPECT_EQ(t->c_oflag & OPOST, 0u);
    EXPECT_EQ(t->c_cc[VMIN], 0);
    EXPECT_EQ(t->c_cc[VTIME], 2);
}

INSTANTIATE_TEST_SUITE_P(Lines, TermiosForDcbTest,
                         ::testing::Values(DcbCase{19200, 8, 0, 0, true, B19200, CS8, 0, 0},
                                           DcbCase{115200, 8, 0, 0, true, B115200, CS8, 0, 0},
                                           DcbCase{9600, 7, 2, 2, true, B9600, CS7, PARENB, CSTOPB},
                                           DcbCase{4800, 8, 1, 0, true, B4800, CS8, PARENB | PARODD,
                                                   0},
                                           DcbCase{12345, 8, 0, 0, false, 0, 0, 0, 0},
                                           DcbCase{19200, 9, 0, 0, false, 0, 0, 0, 0},
                                           DcbCase{19200, 8, 3, 0, false, 0, 0, 0, 0},
                                           DcbCase{19200, 8, 0, 1, false, 0, 0, 0, 0}));

TEST(ReadTimeoutTenths, RoundsUpAndSaturates) {
    EXPECT_EQ(ReadTimeoutTenths(0), 0);
    EXPECT_EQ(ReadTimeoutTenths(200), 2);
    EXPECT_EQ(ReadTimeoutTenths(150), 2);
    EXPECT_EQ(ReadTimeoutTenths(60000), 255);
}

}  // namespace
}  // namespace kestrin
