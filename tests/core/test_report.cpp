#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "config/form.h"
#include "report/report.h"
#include "tests/portable.h"

namespace fs = std::filesystem;
using namespace kestrin;

namespace {

const char kButtonLine[] = "AlphaNumeric-1200 to 0100000 Beep type A, \"PANIC BUTTON ALARM !!\"";

TEST(ReportTest, StartupFormGivesTheThirtyNineLines) {
    const std::vector<std::string> lines = ReportLines(StartupForm());
    ASSERT_EQ(lines.size(), 39u);
    // 1-based line numbers, as an operator reads the file.
    auto line = [&](int n) { return lines[n - 1]; };
    EXPECT_EQ(line(1), "KST TQ9 PARAMETERS");
    EXPECT_EQ(line(3), "Frequency: 433.000 000 MHz");
    EXPECT_EQ(line(5), "Fall Detection Disabled");
    EXPECT_EQ(line(7), "Button Pressed Message");
    EXPECT_EQ(line(8), "------------");
    EXPECT_EQ(line(9), kButtonLine);
    EXPECT_EQ(line(10), "Repeat 0 times at 10 second intervals");
    EXPECT_EQ(line(15), "Repeating at 10 second intervals increasing per transmission");
    EXPECT_EQ(line(19), "AlphaNumeric-1200 to 0100000 Beep type A, \"Reed Switch Activated\"");
    EXPECT_EQ(line(20), "AlphaNumeric-1200 to 0100000 Beep type A, \"Fall Detection On!\"");
    EXPECT_EQ(line(21), "AlphaNumeric-1200 to 0100000 Beep type A, \"Fall Detection Off!\"");
    EXPECT_EQ(line(31), "Test Call Message");
    EXPECT_EQ(line(34), "Repeating every 0:0:0");
    EXPECT_EQ(line(36), "Reset Message");
    EXPECT_EQ(line(38), "AlphaNumeric-1200 to 0100000 Beep type A, \"DEVICE HAS RESET!\"");
    for (int n : {2, 4, 6, 11, 16, 22, 26, 30, 35, 39}) EXPECT_EQ(line(n), "") << n;
}

TEST(ReportTest, FallDetectionAddsTheFallMessageAndThresholds) {
    FormSnapshot f = StartupForm();
    f.mode = 1;
    const std::vector<std::string> lines = ReportLines(f);
    ASSERT_EQ(lines.size(), 50u);
    EXPECT_EQ(lines[4], "Fall Detection Enabled");
    EXPECT_EQ(lines[38], "");
    EXPECT_EQ(lines[39], "Fall Detected Message");
    EXPECT_EQ(lines[41], "AlphaNumeric-1200 to 0100000 Beep type A, \"FALL DETECTED !!\"");
    EXPECT_EQ(lines[42], "Repeat 0 times at 10 second intervals increasing per transmission");
    EXPECT_EQ(lines[44], "Fall Detection");
    EXPECT_EQ(lines[46],
              "Free Fall detected below 0.80g for longer than 25ms. Timing out after 100ms");
    EXPECT_EQ(lines[47],
              "Shock detected above 1.80g for longer than 25ms. Timing out after 1000ms");
    EXPECT_EQ(lines[48],
              "Stability detected at a threshold of +0.05g for longer than 130ms. Timing out "
              "after 2000ms");
    EXPECT_EQ(lines[49], "Tilt detected at a value of 63%");
}

TEST(ReportTest, ManDownAddsTheFallMessageAndTheManDownLine) {
    FormSnapshot f = StartupForm();
    f.mode = 2;
    f.fallRepeatNum = 8;
    f.fallRepeatTime = 5;
    f.fallIncTime = false;
    const std::vector<std::string> lines = ReportLines(f);
    ASSERT_EQ(lines.size(), 47u);
    EXPECT_EQ(lines[4], "ManDown Detection Enabled");
    EXPECT_EQ(lines[42], "Repeat Inf times at 60 second intervals not increasing per transmission");
    EXPECT_EQ(lines[44], "Man Down Detection");
    EXPECT_EQ(lines[46],
              "Man Down alarm triggered if a threshold of 30% is not exceeded for 60.0s");
}

TEST(ReportTest, LinesFollowTheEditedForm) {
    FormSnapshot f = StartupForm();
    f.freq = 469997500;
    f.msg[kButton] = {1, kSpeed2400, "1234567", 3, "12 34"};
    f.buttonRepeats = 4;
    f.buttonRepeatTime = 0;
    f.cordIncTime = false;
    f.msg[kReed] = {1, 0, "0000042", 2, "R"};
    f.fallOn = "ON";
    f.fallOff = "OFF";
    f.testHour = 1;
    f.testMin = 5;
    const std::vector<std::string> lines = ReportLines(f);
    ASSERT_EQ(lines.size(), 39u);
    EXPECT_EQ(lines[2], "Frequency: 469.997 500 MHz");
    EXPECT_EQ(lines[8], "Numeric-2400 to 1234567 Beep type D, \"12 34\"");
    EXPECT_EQ(lines[9], "Repeat 4 times at 5 second intervals");
    EXPECT_EQ(lines[14], "Repeating at 10 second intervals not increasing per transmission");
    EXPECT_EQ(lines[18], "Numeric-512 to 0000042 Beep type C, \"R\"");
    EXPECT_EQ(lines[19], "Numeric-512 to 0000042 Beep type C, \"ON\"");
    EXPECT_EQ(lines[20], "Numeric-512 to 0000042 Beep type C, \"OFF\"");
    EXPECT_EQ(lines[33], "Repeating every 1:5:0");
}

TEST(ReportTest, FileIsUtf8WithCrlfAfterEveryLineAndReplacesOldContent) {
    const fs::path dir = kestrin_test::MakeTempFolder("kestrin-report");
    const fs::path file = dir / "report.txt";
    std::ofstream(file) << std::string(5000, 'x');

    FormSnapshot f = StartupForm();
    f.msg[kButton].text = "Caf\xe9 \x80";
    std::string error;
    ASSERT_TRUE(WriteReport(file.string(), ReportLines(f), &error)) << error;
    std::ifstream in(file, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    in.close();  // an open file cannot be removed on Windows
    const std::string bytes = s.str();
    EXPECT_EQ(bytes.rfind("KST TQ9 PARAMETERS\r\n\r\nFrequency: ", 0), 0u);
    EXPECT_EQ(bytes.substr(bytes.size() - 4), "\r\n\r\n");
    EXPECT_NE(bytes.find("\"Caf\xc3\xa9 \xe2\x82\xac\"\r\n"), std::string::npos);
    EXPECT_EQ(bytes.find('x'), std::string::npos);

    EXPECT_FALSE(WriteReport((dir / "gone" / "r.txt").string(), ReportLines(f), &error));
    EXPECT_NE(error.find("r.txt"), std::string::npos) << error;
    fs::remove_all(dir);
}

// Texts read back from a transmitter may hold CR, LF or other controls: the
// report shows them as the fields do, as control pictures, one item a line.
TEST(ReportTest, ControlCharactersInTextsKeepOneItemALine) {
    FormSnapshot f = StartupForm();
    f.msg[kButton].text = "a\rb\nc\r\n";
    f.msg[kReed].id = "12\t3";
    f.fallOff = "x\x01\x7f";
    const std::vector<std::string> lines = ReportLines(f);
    const std::string text = ReportText(lines);
    std::size_t breaks = 0;
    for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1))
        ++breaks;
    EXPECT_EQ(breaks, lines.size());
    EXPECT_EQ(text.find('\r', 0), text.find("\r\n"));
    EXPECT_NE(text.find(", \"a\xe2\x90\x8d"
                        "b\xe2\x90\x8a"
                        "c\xe2\x90\x8d\xe2\x90\x8a\"\r\n"),
              std::string::npos);
    EXPECT_NE(text.find(" to 12\xe2\x90\x89"
                        "3 Beep type "),
              std::string::npos);
    EXPECT_NE(text.find("\"x\xe2\x90\x81\xe2\x90\xa1\"\r\n"), std::string::npos);
}

TEST(ReportTest, TextJoinsWithCrlf) {
    EXPECT_EQ(ReportText({"a", "", "b"}), "a\r\n\r\nb\r\n");
    EXPECT_EQ(ReportText({}), "");
}

}  // namespace
