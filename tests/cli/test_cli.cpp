// kestrin-cli end to end: the built executable run as a script runs it, with
// its output and exit status checked, against the simulator and on files.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "config/config_file.h"
#include "config/form.h"
#include "report/report.h"

namespace {

namespace fs = std::filesystem;

struct Result {
    int status = -1;
    std::string out, err;
};

std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

std::string Slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

class CliTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string tmpl = (fs::temp_directory_path() / "kestrin-cli-XXXXXX").string();
        ASSERT_NE(mkdtemp(&tmpl[0]), nullptr);
        dir = tmpl;
        env = {{"KESTRIN_DEVICE", "simulator"},
               {"KESTRIN_SIM_FAST", "1"},
               {"KESTRIN_DATA_DIR", (dir / "data").string()}};
    }
    void TearDown() override { fs::remove_all(dir); }

    Result Run(const std::vector<std::string>& args, const std::string& input = "") {
        std::string cmd = "cd " + Quote(dir.string()) + " && env -u KESTRIN_SIM_FAULTS";
        for (const auto& [k, v] : env) cmd += " " + k + "=" + Quote(v);
        cmd += " " + Quote(KESTRIN_CLI_PATH);
        for (const std::string& a : args) cmd += " " + Quote(a);
        cmd += " <" + Quote((dir / "stdin").string()) + " >" + Quote((dir / "out").string()) +
               " 2>" + Quote((dir / "err").string());
        std::ofstream(dir / "stdin") << input;
        const int raw = std::system(cmd.c_str());
        Result r;
        r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        r.out = Slurp(dir / "out");
        r.err = Slurp(dir / "err");
        return r;
    }
    std::string Write(const std::string& name, const std::string& bytes) {
        std::ofstream(dir / name, std::ios::binary) << bytes;
        return (dir / name).string();
    }
    std::string Default() const { return std::string(KESTRIN_SOURCE_DIR) + "/data/Default.kt9"; }
    std::vector<std::string> LogLines() const {
        std::ifstream in(dir / "data" / "programming-log.csv");
        std::vector<std::string> lines;
        for (std::string l; std::getline(in, l);) lines.push_back(l);
        return lines;
    }

    fs::path dir;
    std::map<std::string, std::string> env;
};

#define EXPECT_CONTAINS(text, part) \
    EXPECT_NE(std::string(text).find(part), std::string::npos) << "in:\n" << (text)

TEST_F(CliTest, HelpVersionAndUsageErrors) {
    Result r = Run({"--help"});
    EXPECT_EQ(r.status, 0);
    for (const char* c :
         {"check", "show", "set", "diff", "report", "program", "read", "devices", "command"})
        EXPECT_CONTAINS(r.out, std::string("  ") + c);
    EXPECT_EQ(Run({"program", "--help"}).status, 0);
    EXPECT_CONTAINS(Run({"program", "--help"}).out, "--no-verify");
    EXPECT_CONTAINS(Run({"--version"}).out, "1.8.3");
    for (const std::vector<std::string>& bad :
         std::vector<std::vector<std::string>>{{},
                                               {"frobnicate"},
                                               {"show"},
                                               {"show", "a", "b"},
                                               {"show", "--bogus", "x"},
                                               {"report", "x", "-o"}}) {
        r = Run(bad);
        EXPECT_EQ(r.status, 2);
        EXPECT_FALSE(r.err.empty());
    }
}

TEST_F(CliTest, ShowSpeaksTheFormsWordsPageByPage) {
    const Result r = Run({"show", Default()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_CONTAINS(r.out,
                    "Messages\n  Button Pressed: AlphaNumeric, 1200 baud, Cap Code 0100000, tone "
                    "A, \"PANIC BUTTON ALARM !!\"\n");
    for (const char* page : {"\nFall detection\n", "\nTesting\n", "\nFrequency Setup\n"})
        EXPECT_CONTAINS(r.out, page);
    EXPECT_CONTAINS(r.out, "  Frequency: 433.000 000 MHz\n");
    EXPECT_CONTAINS(r.out, "  Detection mode: None\n");
    // A file that is no configuration is an I/O error naming the file.
    const Result bad = Run({"show", Write("junk.kt9", std::string("\x7f"
                                                                  "ELF\0\1\2",
                                                                  7))});
    EXPECT_EQ(bad.status, 2);
    EXPECT_CONTAINS(bad.err, "junk.kt9");
    EXPECT_EQ(Run({"show", (dir / "missing.kt9").string()}).status, 2);
}

TEST_F(CliTest, ReportIsTheWindowsReportByteForByte) {
    kestrin::FormSnapshot form = kestrin::StartupForm();
    std::string error;
    ASSERT_TRUE(kestrin::OpenConfigFile(Default(), form, true, &error)) << error;
    const std::string expected = kestrin::ReportText(kestrin::ReportLines(form));
    Result r = Run({"report", Default()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, expected);
    r = Run({"report", Default(), "-o", "out.txt"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Slurp(dir / "out.txt"), expected);
    EXPECT_EQ(Run({"report", Default(), "-o", "/nonexistent-folder/out.txt"}).status, 2);
}

TEST_F(CliTest, ProgramVerifiesAndLogsAndEachFaultExitsNonZeroWithItsCause) {
    Result r = Run({"program", Default()});
    ASSERT_EQ(r.status, 0) << r.err << r.out;
    EXPECT_CONTAINS(r.out, "Programmed and verified");
    EXPECT_CONTAINS(r.err, "progress 14/16 packet 12 of 12");  // plain lines off a terminal
    ASSERT_EQ(LogLines().size(), 2u);
    EXPECT_CONTAINS(LogLines()[1], ",verified,Default.kt9,");

    struct Case {
        const char* faults;
        int status;
        const char* words;
    };
    const Case cases[] = {
        {"ignore-run", 1, "Button Pressed, message text: sent \"PANIC BUTTON ALARM !!\""},
        {"store-wrong:140", 1, "transmitter holds \"PAOIC BUTTON ALARM !!\""},
        {"apply-packets:2", 1, "Battery Low, message text"},
        {"no-cable", 1, "no read cable is connected"},
        // The version query, the backup read's two requests, the start packet,
        // packets 1 and 2: then the shoe goes.
        {"unplug-shoe-after:6", 2, "the programming shoe was unplugged at packet 3 of 12"},
        {"cut-reply:300", 1, "did not answer the backup read"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.faults);
        env["KESTRIN_SIM_FAULTS"] = c.faults;
        r = Run({"program", Default()});
        EXPECT_EQ(r.status, c.status) << r.out << r.err;
        EXPECT_CONTAINS(r.out + r.err, c.words);
    }
    env.erase("KESTRIN_SIM_FAULTS");
    // Off a terminal nobody is asked: --yes programs a transmitter that gave no backup.
    env["KESTRIN_SIM_FAULTS"] = "silent";
    r = Run({"program", Default(), "--yes"});
    EXPECT_EQ(r.status, 1);
    EXPECT_CONTAINS(r.out, "did not answer the check");
    env.erase("KESTRIN_SIM_FAULTS");
    EXPECT_EQ(Run({"program", Default(), "--no-verify"}).status, 0);
    const size_t logged = LogLines().size();
    EXPECT_EQ(Run({"program", Default(), "--no-log"}).status, 0);
    EXPECT_EQ(LogLines().size(), logged);
}

TEST_F(CliTest, ProgramRefusesWhatTheWindowRefusesBeforeSendingAnything) {
    std::string text = Slurp(Default());
    const std::string refused =
        Write("refused.kt9", text.replace(text.find("ID=0100000"), 10, "ID=2007664"));
    Result r = Run({"program", refused});
    EXPECT_EQ(r.status, 1);
    EXPECT_CONTAINS(r.err, "refused.kt9: [Button] ID: Cap Code \"2007664\" is refused");
    EXPECT_TRUE(LogLines().empty());
    env["KESTRIN_DEVICE"] = "none-such";
    EXPECT_EQ(Run({"program", Default(), "--device", "bogus"}).status, 2);
}

TEST_F(CliTest, ProgramThenReadInSeparateProcessesSharesTheSimulatedTransmitter) {
    std::string text = Slurp(Default());
    const std::string mine =
        Write("mine.kt9", text.replace(text.find("PANIC BUTTON ALARM !!"), 21, "ROOM 7 BUTTON"));
    ASSERT_EQ(Run({"program", mine, "--sim-state", "tx.img"}).status, 0);
    Result r = Run({"read", "-o", "back.kt9", "--image", "back.img", "--sim-state", "tx.img"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_CONTAINS(r.out, "Transmitter: Kestrin TQ9 firmware 3.1 serial 000123");
    EXPECT_EQ(fs::file_size(dir / "back.img"), 512u);
    // What was programmed is what was read back, setting by setting.
    EXPECT_EQ(Run({"diff", mine, "back.kt9"}).status, 0) << Run({"diff", mine, "back.kt9"}).out;
    EXPECT_EQ(Run({"diff", mine, "device:", "--sim-state", "tx.img"}).status, 0);
    EXPECT_EQ(Run({"diff", "back.img", "back.kt9"}).status, 0);
    r = Run({"diff", Default(), "back.img"});
    EXPECT_EQ(r.status, 1);
    EXPECT_CONTAINS(r.out, "Button Pressed:\n");
    EXPECT_CONTAINS(r.out, "\"ROOM 7 BUTTON\"");
    // --sim-state is for the simulator only.
    env["KESTRIN_DEVICE"] = "serial";
    EXPECT_EQ(Run({"read", "-o", "x.kt9", "--sim-state", "tx.img"}).status, 2);
}

TEST_F(CliTest, DiffOfAFileAgainstItselfIsEmptyAndAgainstTheDefaultNamesTheChanges) {
    Result r = Run({"diff", Default(), Default()});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    std::string text = Slurp(Default());
    text.replace(text.find("Tone=0"), 6, "Tone=3");
    const std::string other = Write("other.kt9", text);
    r = Run({"diff", Default(), other});
    EXPECT_EQ(r.status, 1);
    EXPECT_CONTAINS(r.out, "Button Pressed:\n  " + Default() +
                               ": AlphaNumeric, 1200 baud, Cap Code 0100000, tone A,");
    EXPECT_CONTAINS(r.out, "other.kt9: AlphaNumeric, 1200 baud, Cap Code 0100000, tone D,");
}

TEST_F(CliTest, CheckNamesEveryValueOpenWouldChangeAndEveryRefusal) {
    Result r = Run({"check", Default()});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_CONTAINS(r.out, "Default.kt9: ok");

    std::string ranges =
        "[Button]\r\nType=7\r\nSpeed=-1\r\nID=0100000\r\nTone=9\r\nText=" + std::string(60, 'X') +
        "\r\nRepeats=5\r\nTime=6\r\n[Accl]\r\n";
    for (const char* key :
         {"FallThresh", "FallTime", "FallTimeOut", "ShockThresh", "ShockTime", "ShockTimeOut",
          "StableThresh", "StableTime", "StableTimeOut", "Angle", "ManMove", "ManSamples"})
        ranges += std::string(key) + "=999\r\n";
    ranges += "Enabled=3\r\n[Test]\r\nHour=25\r\nMin=60\r\nSec=-1\r\n";
    std::string text = Slurp(Default());
    struct Case {
        const char* name;
        std::string bytes;
        int status;
        std::vector<std::string> words;
    };
    const Case cases[] = {
        {"junk.kt9",
         std::string("\x7f"
                     "ELF\x02\x01\x01\0\0\xff\xfe",
                     12),
         1,
         {"not a Kestrin TQ9 configuration file"}},
        {"huge.kt9",
         "[Button]\nText=" + std::string(10 * 1024 * 1024, 'A') + "\n",
         1,
         {"too large"}},
        {"ranges.kt9",
         ranges,
         1,
         {"[Button] Type: \"7\" is not allowed", "[Button] Speed: \"-1\"", "[Button] Tone: \"9\"",
          "[Button] Text:", "is longer than 54 characters", "[Button] Repeats: \"5\"",
          "[Button] Time: \"6\"", "[Accl] FallThresh: \"999\"",
          "[Accl] ManSamples: \"999\" is not allowed (allowed: 0 to 255); Open reads 255",
          "[Accl] Enabled: \"3\"", "[Test] Hour: \"25\"", "[Test] Sec: \"-1\""}},
        {"reserved.kt9",
         std::string(text).replace(text.find("ID=0100000"), 10, "ID=2045060"),
         1,
         {"[Button] ID: Program would refuse Cap Code \"2045060\": it lies in a reserved block"}},
        {"band.kt9",
         std::string(text).replace(text.find("Value=433000000"), 15, "Value=457100000"),
         1,
         {"[Freq] Value: Program would refuse 457100000 Hz: it lies in the unavailable band"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        r = Run({"check", Write(c.name, c.bytes)});
        EXPECT_EQ(r.status, c.status) << r.err;
        EXPECT_CONTAINS(r.err, c.name);
        for (const std::string& w : c.words) EXPECT_CONTAINS(r.err, w);
    }
    // All at once: the worst status, every file named.
    r = Run({"check", Default(), (dir / "reserved.kt9").string(), (dir / "none.kt9").string()});
    EXPECT_EQ(r.status, 2);
    EXPECT_CONTAINS(r.err, "none.kt9");
    EXPECT_CONTAINS(r.err, "reserved.kt9");
}

TEST_F(CliTest, SetChangesOnlyTheKeysGivenAndRefusesWhatTheFormCannotHold) {
    const std::string site = Write("site.kt9", Slurp(Default()) + "[Site]\r\nNote=ward 3\r\n");
    Result r = Run({"set", site, "Button.ID=0100123", "Freq.Value=433002500", "accl.enabled=1",
                    "Button.Text=ZIMMER 12 \xE2\x80\x93 RUF"});
    ASSERT_EQ(r.status, 0) << r.err;
    r = Run({"show", site});
    EXPECT_CONTAINS(r.out,
                    "Button Pressed: AlphaNumeric, 1200 baud, Cap Code 0100123, tone A, "
                    "\"ZIMMER 12 \xE2\x80\x93 RUF\"");
    EXPECT_CONTAINS(r.out, "Frequency: 433.002 500 MHz");
    EXPECT_CONTAINS(r.out, "Detection mode: Fall Detection");
    const std::string after = Slurp(site);
    EXPECT_CONTAINS(after, "[Site]\r\nNote=ward 3\r\n");
    EXPECT_CONTAINS(after, "Text=ZIMMER 12 \x96 RUF\r\n");  // Windows-1252 in the file
    // Everything but the four lines is as it was.
    std::string expected = Slurp(Default()) + "[Site]\r\nNote=ward 3\r\n";
    for (const auto& [from, to] :
         {std::pair<std::string, std::string>{"ID=0100000\r\nTone=0\r\nText=PANIC",
                                              "ID=0100123\r\nTone=0\r\nText=PANIC"},
          {"Text=PANIC BUTTON ALARM !!", "Text=ZIMMER 12 \x96 RUF"},
          {"Enabled=0", "Enabled=1"},
          {"Value=433000000", "Value=433002500"}})
        expected.replace(expected.find(from), from.size(), to);
    EXPECT_EQ(after, expected);

    // -o leaves the file as it was.
    ASSERT_EQ(Run({"set", site, "Cord.ID=0200000", "-o", "copy.kt9"}).status, 0);
    EXPECT_EQ(Slurp(site), after);
    EXPECT_CONTAINS(Run({"show", "copy.kt9"}).out, "Cap Code 0200000");

    struct Case {
        const char* assignment;
        int status;
        const char* words;
    };
    for (const Case& c : {Case{"Button.ID=2007665", 1, "Button.ID=2007665 is refused"},
                          Case{"Button.ID=12345678", 1, "at most seven digits"},
                          Case{"Freq.Value=433001000", 1, "2500 Hz raster"},
                          Case{"Accl.FallThresh=29", 1, "allowed is 30 to 100"},
                          Case{"Reed.Text=TOO LONG FOR TWENTY-TWO", 1, "at most 22 characters"},
                          Case{"Button.Repeats=four", 1, "not a whole number"},
                          Case{"Button.Colour=red", 2, "has no key Button.Colour"},
                          Case{"ButtonID=1", 2, "is not KEY=VALUE"}}) {
        SCOPED_TRACE(c.assignment);
        r = Run({"set", site, "Cord.ID=0100001", c.assignment});
        EXPECT_EQ(r.status, c.status);
        EXPECT_CONTAINS(r.err, c.words);
        EXPECT_EQ(Slurp(site), after);  // nothing written, not even the good key
    }
}

TEST_F(CliTest, OnATerminalProgressIsABarAndCtrlCStopsTheRunWithoutItsEndPacket) {
    // A terminal of its own, through script(1).
    const std::string cmd = "cd " + Quote(dir.string()) +
                            " && KESTRIN_DEVICE=simulator KESTRIN_SIM_FAST=1 KESTRIN_DATA_DIR=data "
                            "script -qec " +
                            Quote(Quote(KESTRIN_CLI_PATH) + " program " + Quote(Default())) +
                            " /dev/null > tty.txt";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    const std::string tty = Slurp(dir / "tty.txt");
    EXPECT_CONTAINS(tty, "\r[##############################] 16/16");
    EXPECT_EQ(tty.find("progress 1/16"), std::string::npos);

    // Real pacing, so the run is still going when Ctrl-C comes.
    env.erase("KESTRIN_SIM_FAST");
    env["KESTRIN_TRACE"] = (dir / "trace.txt").string();
    std::string run = "cd " + Quote(dir.string()) + " && env";
    for (const auto& [k, v] : env) run += " " + k + "=" + Quote(v);
    run += " " + Quote(KESTRIN_CLI_PATH) + " program " + Quote(Default()) +
           " >out 2>err & pid=$!; sleep 3; kill -INT $pid; wait $pid";
    const int raw = std::system(("sh -c " + Quote(run)).c_str());
    ASSERT_TRUE(WIFEXITED(raw));
    EXPECT_EQ(WEXITSTATUS(raw), 1);
    const std::string out = Slurp(dir / "out");
    EXPECT_CONTAINS(out, "Programming was cancelled before packet");
    EXPECT_CONTAINS(out, "not given a complete configuration");
    const std::string trace = Slurp(dir / "trace.txt");
    EXPECT_CONTAINS(trace, "shoe tx 01 30 02 30");                    // the run had started
    EXPECT_EQ(trace.find("shoe tx 01 30 02 5A"), std::string::npos);  // and never ended
    EXPECT_CONTAINS(LogLines().back(), ",cancelled,");
}

TEST_F(CliTest, DevicesAndCommands) {
    Result r = Run({"devices"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_CONTAINS(r.out,
                    "\"FT123456\", description \"USB BASE PROGRAMMER\": programming shoe, "
                    "version 2.07");
    EXPECT_CONTAINS(r.out, "\"TTL232R-3V3\": read cable");
    EXPECT_EQ(Run({"command", "status"}).status, 0);
    EXPECT_EQ(Run({"command", "reset"}).status, 0);
    EXPECT_EQ(Run({"command", "launch"}).status, 2);

    // An adapter that is not a shoe is listed with the reason it is not used.
    env["KESTRIN_SIM_FAULTS"] = "other-shoe";
    r = Run({"devices"});
    env.erase("KESTRIN_SIM_FAULTS");
    EXPECT_EQ(r.status, 1);
    EXPECT_CONTAINS(r.out,
                    "\"A10KX3QZ\", description \"FT232R USB UART\": not used\n"
                    "    not an accepted programming shoe (accepted: serial KR123456");
    EXPECT_CONTAINS(r.out, "Programming shoe: none usable");
}

}  // namespace
