// The wire trace: line format, and which handle is the shoe or the cable.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "device/ftdi.h"
#include "device/trace.h"
#include "sim/sim_backend.h"
#include "tests/portable.h"

namespace kestrin {
namespace {

TEST(Trace, FormatsOneLine) {
    const uint8_t start[] = {0x01, 0x30, 0x02, 0x30, 0x67, 0xE0, 0x03};
    EXPECT_EQ(trace::FormatLine(12.345, trace::Role::Shoe, true, start, sizeof start),
              "12.345 shoe tx 01 30 02 30 67 E0 03");
    const uint8_t reply[] = {0x0A, 0xFF};
    EXPECT_EQ(trace::FormatLine(0.0004, trace::Role::Cable, false, reply, sizeof reply),
              "0.000 cable rx 0A FF");
}

std::string Hex(const std::string& text) {
    std::string out;
    char buf[4];
    for (unsigned char c : text) {
        std::snprintf(buf, sizeof buf, "%02X", c);
        out += (out.empty() ? "" : " ") + std::string(buf);
    }
    return out;
}

TEST(Trace, WritesOneLinePerWriteAndPerReply) {
    const std::filesystem::path dir = kestrin_test::MakeTempFolder("kestrin-trace");
    const std::string path = (dir / "trace.txt").string();
    ASSERT_TRUE(trace::SetTraceFile(path));

    sim::InstallSimulatorBackend();
    DWORD n;
    FT_HANDLE shoe, cable;
    char cableName[] = "TTL232R-3V3";
    ASSERT_EQ(FT_CreateDeviceInfoList(&n), FT_OK);
    ASSERT_EQ(FT_Open(0, &shoe), FT_OK);
    ASSERT_EQ(FT_OpenEx(cableName, FT_OPEN_BY_DESCRIPTION, &cable), FT_OK);
    uint8_t query[] = {0x01, 0x31, 0x02, 0x03};
    uint8_t d0[] = {0x01, 0x33, 0x02, 0x44, 0x30, 0x95, 0x53, 0x03};
    DWORD count;
    uint8_t b;
    FT_Write(shoe, query, sizeof query, &count);
    while (FT_Read(shoe, &b, 1, &count) == FT_OK && count == 1) {
    }
    FT_Write(shoe, d0, sizeof d0, &count);
    uint8_t head[4];
    FT_Read(cable, head, sizeof head, &count);   // part of the reply ...
    FT_Purge(cable, FT_PURGE_RX | FT_PURGE_TX);  // ... which the purge ends
    FT_Close(shoe);
    FT_Close(cable);
    trace::SetTraceFile("");

    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    in.close();
    std::filesystem::remove_all(dir);
    const std::vector<std::string> want = {
        "shoe tx 01 31 02 03",
        "shoe rx " + Hex("KESTRIN SHOE V 2.07\r\n"),
        "shoe tx 01 33 02 44 30 95 53 03",
        "cable rx 02 49 4E 46",
    };
    ASSERT_EQ(lines.size(), want.size());
    const std::regex stamp(R"(\d+\.\d{3} (.*))");
    for (std::size_t i = 0; i < want.size(); ++i) {
        std::smatch m;
        ASSERT_TRUE(std::regex_match(lines[i], m, stamp)) << lines[i];
        EXPECT_EQ(m[1], want[i]);
    }
}

}  // namespace
}  // namespace kestrin
