#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#if !defined(_WIN32)
#include <sys/resource.h>
#include <sys/stat.h>
#endif

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "config/config_file.h"
#include "config/texts.h"
#include "tests/portable.h"

namespace fs = std::filesystem;
using namespace kestrin;

namespace {

std::string Slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void Spit(const fs::path& p, const std::string& bytes) {
    std::ofstream(p, std::ios::binary) << bytes;
}

// Every value the file stores, compared field by field so a failure names it.
void ExpectSameStored(const FormSnapshot& a, const FormSnapshot& b, bool withFreq = true) {
    for (int m = 0; m < kMsgCount; ++m) {
        SCOPED_TRACE(kMessages[m].prefix);
        EXPECT_EQ(a.msg[m].type, b.msg[m].type);
        EXPECT_EQ(a.msg[m].speed, b.msg[m].speed);
        EXPECT_EQ(a.msg[m].id, b.msg[m].id);
        EXPECT_EQ(a.msg[m].tone, b.msg[m].tone);
        EXPECT_EQ(a.msg[m].text, b.msg[m].text);
    }
    EXPECT_EQ(a.fallOn, b.fallOn);
    EXPECT_EQ(a.fallOff, b.fallOff);
    EXPECT_EQ(a.buttonRepeats, b.buttonRepeats);
    EXPECT_EQ(a.buttonRepeatTime, b.buttonRepeatTime);
    EXPECT_EQ(a.cordRepeatTime, b.cordRepeatTime);
    EXPECT_EQ(a.cordIncTime, b.cordIncTime);
    EXPECT_EQ(a.fallRepeatTime, b.fallRepeatTime);
    EXPECT_EQ(a.fallRepeatNum, b.fallRepeatNum);
    EXPECT_EQ(a.fallIncTime, b.fallIncTime);
    EXPECT_EQ(a.testHour, b.testHour);
    EXPECT_EQ(a.testMin, b.testMin);
    EXPECT_EQ(a.testSec, b.testSec);
    for (int s = kSliderAngle; s < kSliderCount; ++s) {
        EXPECT_EQ(a.slider[s], b.slider[s]) << kSliders[s].name;
    }
    EXPECT_EQ(a.mode, b.mode);
    if (withFreq) {
        EXPECT_EQ(a.freq, b.freq);
    }
}

// A form where every stored value differs from the start-up form.
FormSnapshot EditedForm() {
    FormSnapshot f = StartupForm();
    for (int m = 0; m < kMsgCount; ++m) {
        f.msg[m].type = m % 2 == 0 ? 1 : 0;
        f.msg[m].speed = m == kFall ? kSpeed2400 : 0;
        f.msg[m].id = std::to_string(1000000 + 1111 * m);
        f.msg[m].tone = 1 + m % 3;
        f.msg[m].text = "MSG " + std::to_string(m);
    }
    f.msg[kButton].text = " caf\xe9 \"quoted\" ";
    f.msg[kCord].text = "\"HELP\"";
    f.msg[kTest].text = "";
    f.fallOn = "Armed \xe9";
    f.fallOff = "Disarmed";
    f.buttonRepeats = 4;
    f.buttonRepeatTime = 5;
    f.cordRepeatTime = 0;
    f.cordIncTime = false;
    f.fallRepeatTime = 3;
    f.fallRepeatNum = 8;
    f.fallIncTime = false;
    f.testHour = 24;
    f.testMin = 5;
    f.testSec = 59;
    for (int s = kSliderAngle; s < kSliderCount; ++s) f.slider[s] = kSliders[s].min + 1;
    f.mode = 2;
    f.freq = 469997500;
    return f;
}

class ConfigFileTest : public ::testing::Test {
  protected:
    void SetUp() override { dir_ = kestrin_test::MakeTempFolder("kestrin-config"); }
    void TearDown() override { fs::remove_all(dir_); }
    std::string Path(const char* name) const { return (dir_ / name).string(); }
    fs::path dir_;
};

TEST(ConfigFileLayoutTest, NewFileListsSectionsAndKeysInWritingOrder) {
    IniProfile p;
    WriteFormToProfile(StartupForm(), p);
    const std::string text = p.Serialize();
    EXPECT_EQ(text.rfind("[Version]\r\nProgramming Software=1.8.3 14/05/2015\r\n"
                         "[Button]\r\nType=0\r\nSpeed=1\r\nID=0100000\r\nTone=0\r\n"
                         "Text=PANIC BUTTON ALARM !!\r\nRepeats=0\r\nTime=1\r\n[Cord]\r\n",
                         0),
              0u);

    std::vector<std::string> sections, accl;
    std::istringstream in(text);
    std::string line, current;
    while (std::getline(in, line)) {
        ASSERT_FALSE(line.empty());
        ASSERT_EQ(line.back(), '\r');
        line.pop_back();
        if (line[0] == '[') {
            current = line.substr(1, line.size() - 2);
            sections.push_back(current);
        } else if (current == "Accl") {
            accl.push_back(line.substr(0, line.find('=')));
        }
    }
    EXPECT_EQ(sections,
              (std::vector<std::string>{"Version", "Button", "Cord", "Reed", "BatLow", "BatShut",
                                        "Fall", "Accl", "Test", "Reset", "Freq"}));
    EXPECT_EQ(accl, (std::vector<std::string>{"FallThresh", "FallTime", "FallTimeOut",
                                              "ShockThresh", "ShockTime", "ShockTimeOut",
                                              "StableThresh", "StableTime", "StableTimeOut",
                                              "Angle", "Enabled", "ManMove", "ManSamples"}));
    EXPECT_NE(text.find("[Cord]\r\nType=0\r\nSpeed=1\r\nID=0100000\r\nTone=0\r\n"
                        "Text=NECKLACE BUTTON ALARM !!\r\nTime=1\r\nIncTime=1\r\n[Reed]"),
              std::string::npos);
    EXPECT_NE(text.find("Angle=63\r\nEnabled=0\r\nManMove=8\r\nManSamples=120\r\n[Test]"),
              std::string::npos);
    const std::string tail =
        "[Reset]\r\nType=0\r\nSpeed=1\r\nID=0100000\r\nTone=0\r\n"
        "Text=DEVICE HAS RESET!\r\n[Freq]\r\nValue=433000000\r\n";
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
}

TEST(ConfigFileLayoutTest, DefaultFileIsTheStartupFormSaved) {
    IniProfile p;
    WriteFormToProfile(StartupForm(), p);
    EXPECT_EQ(Slurp(fs::path(KESTRIN_SOURCE_DIR) / "data" / "Default.kt9"), p.Serialize());
}

TEST_F(ConfigFileTest, SaveThenOpenReproducesEveryStoredValue) {
    const FormSnapshot saved = EditedForm();
    std::string error;
    ASSERT_TRUE(SaveConfigFile(Path("a.kt9"), saved, &error)) << error;

    FormSnapshot opened = StartupForm();
    opened.slider[kSliderFreq] = 7;
    ASSERT_TRUE(OpenConfigFile(Path("a.kt9"), opened, true, &error)) << error;
    ExpectSameStored(opened, saved);
    EXPECT_EQ(opened.slider[kSliderFreq], 7);  // not stored

    FormSnapshot fromNew = StartupForm();
    ASSERT_TRUE(OpenConfigFile(Path("a.kt9"), fromNew, false, &error)) << error;
    ExpectSameStored(fromNew, saved, false);
    EXPECT_EQ(fromNew.freq, 433000000u);

    // A second save over the file changes nothing.
    const std::string once = Slurp(dir_ / "a.kt9");
    ASSERT_TRUE(SaveConfigFile(Path("a.kt9"), opened, &error)) << error;
    EXPECT_EQ(Slurp(dir_ / "a.kt9"), once);
}

TEST_F(ConfigFileTest, SaveOverAFileKeepsItsForeignContentAndLineEndings) {
    Spit(dir_ / "a.kt9",
         "; site notes\n"
         "[Site]\n"
         "Name=Ward 3\n"
         "\n"
         "[button]\n"
         "colour=red\n"
         "type=1\n"
         "\n");
    std::string error;
    ASSERT_TRUE(SaveConfigFile(Path("a.kt9"), StartupForm(), &error)) << error;
    const std::string text = Slurp(dir_ / "a.kt9");
    EXPECT_EQ(text.find('\r'), std::string::npos);
    EXPECT_EQ(text.rfind("; site notes\n[Site]\nName=Ward 3\n\n[button]\ncolour=red\ntype=0\n"
                         "Speed=1\n",
                         0),
              0u)
        << text;
    EXPECT_EQ(text.find("[Button]"), std::string::npos);
    EXPECT_NE(text.find("Time=1\n\n[Version]\nProgramming Software=1.8.3 14/05/2015\n[Cord]\n"),
              std::string::npos);
}

TEST_F(ConfigFileTest, HandEditedValuesAreBroughtWithinTheControls) {
    Spit(dir_ / "a.kt9",
         "[Button]\r\n"
         "Type=\"1\"\r\n"
         "Speed=3\r\n"
         "ID=12345678\r\n"
         "Tone=9\r\n"
         "Text=\"" +
             std::string(60, 'B') +
             "\"\r\n"
             "Repeats=7\r\n"
             "Time=3 seconds\r\n"
             "[Cord]\r\n"
             "Speed=2\r\n"
             "ID=12a\r\n"
             "Tone=-1\r\n"
             "Time=x\r\n"
             "IncTime=2\r\n"
             "[Reed]\r\n"
             "ID=\"0042\"\r\n"
             "Text=" +
             std::string(30, 'R') +
             "\r\n"
             "FallOn=" +
             std::string(30, 'O') +
             "\r\n"
             "[Fall]\r\n"
             "RepeatNum=99999999999999999999\r\n"
             "Time=6\r\n"
             "[Accl]\r\n"
             "FallThresh=5\r\n"
             "Angle=250\r\n"
             "ManSamples=-3\r\n"
             "Enabled=5\r\n"
             "[Test]\r\n"
             "Hour=30\r\n"
             "Min=-4\r\n"
             "Sec=12\r\n"
             "[Foreign]\r\n"
             "Value=1\r\n");
    FormSnapshot f = StartupForm();
    std::string error;
    ASSERT_TRUE(OpenConfigFile(Path("a.kt9"), f, true, &error)) << error;

    const MessageForm& button = f.msg[kButton];
    EXPECT_EQ(button.type, 1);
    EXPECT_EQ(button.speed, kSpeed2400);
    EXPECT_EQ(button.id, "");
    EXPECT_EQ(button.tone, 3);
    EXPECT_EQ(button.text, std::string(54, 'B'));
    EXPECT_EQ(f.buttonRepeats, 4);
    EXPECT_EQ(f.buttonRepeatTime, 3);
    EXPECT_EQ(f.msg[kCord].speed, kSpeed2400);
    EXPECT_EQ(f.msg[kCord].id, "");
    EXPECT_EQ(f.msg[kCord].tone, 0);
    EXPECT_EQ(f.cordRepeatTime, 0);
    EXPECT_TRUE(f.cordIncTime);
    EXPECT_EQ(f.msg[kReed].id, "0042");
    EXPECT_EQ(f.msg[kReed].text, std::string(22, 'R'));
    EXPECT_EQ(f.fallOn, std::string(22, 'O'));
    EXPECT_EQ(f.fallOff, "");
    EXPECT_EQ(f.fallRepeatNum, 8);
    EXPECT_EQ(f.fallRepeatTime, 5);
    EXPECT_FALSE(f.fallIncTime);
    EXPECT_EQ(f.slider[kSliderFreeFallThresh], 30);
    EXPECT_EQ(f.slider[kSliderAngle], 100);
    EXPECT_EQ(f.slider[kSliderManSamples], 0);
    EXPECT_EQ(f.slider[kSliderStabilityTimeout], 1);  // missing: 0, then the slider's minimum
    EXPECT_EQ(f.mode, 2);
    EXPECT_EQ(f.testHour, 24);
    EXPECT_EQ(f.testMin, 0);
    EXPECT_EQ(f.testSec, 12);
    // Sections missing altogether: choices 0, texts empty, frequency 0 Hz.
    EXPECT_EQ(f.msg[kReset].type, 0);
    EXPECT_EQ(f.msg[kReset].speed, 0);
    EXPECT_EQ(f.msg[kReset].id, "");
    EXPECT_EQ(f.msg[kReset].text, "");
    EXPECT_EQ(f.freq, 0u);
}

TEST_F(ConfigFileTest, OpenRefusesFilesThatHoldNoConfiguration) {
    Spit(dir_ / "other.ini",
         "[Version]\r\nProgramming Software=1.8.3 14/05/2015\r\n[X]\r\na=1\r\n");
    Spit(dir_ / "binary.kt9", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
    const FormSnapshot before = EditedForm();
    for (const char* name : {"other.ini", "binary.kt9", "missing.kt9"}) {
        FormSnapshot f = before;
        std::string error;
        EXPECT_FALSE(OpenConfigFile(Path(name), f, true, &error)) << name;
        EXPECT_NE(error.find(name), std::string::npos) << error;
        ExpectSameStored(f, before);
    }
}

TEST_F(ConfigFileTest, FailedSaveLeavesTheFileAsItWas) {
    const std::string original = "[Button]\r\nType=1\r\n";
    Spit(dir_ / "a.kt9", original);
    std::string error;

#if !defined(_WIN32)  // no per-process file size limit there to fake it with
    // Disk full while the new content is written.
    struct rlimit old;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    struct rlimit small = old;
    small.rlim_cur = 64;
    void (*oldHandler)(int) = signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved = SaveConfigFile(Path("a.kt9"), EditedForm(), &error);
    setrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(saved);
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(Slurp(dir_ / "a.kt9"), original);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
#endif

    // Folder missing; a "folder" that is a file.
    for (const char* name : {"gone/b.kt9", "a.kt9/b.kt9"}) {
        error.clear();
        EXPECT_FALSE(SaveConfigFile(Path(name), EditedForm(), &error)) << name;
        EXPECT_FALSE(error.empty()) << name;
    }
    EXPECT_EQ(Slurp(dir_ / "a.kt9"), original);

    // A write-protected file is kept, even for a user the system lets write.
    fs::permissions(dir_ / "a.kt9", fs::perms::owner_read | fs::perms::group_read);
    error.clear();
    EXPECT_FALSE(SaveConfigFile(Path("a.kt9"), EditedForm(), &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(Slurp(dir_ / "a.kt9"), original);
    fs::permissions(dir_ / "a.kt9", fs::perms::owner_all);
}

// A Windows editor's "UTF-8 with BOM" puts three bytes before the first
// section: it must still be read, and a save must update it, not add a second.
TEST_F(ConfigFileTest, AFileWithAByteOrderMarkOpensWithEverySection) {
    // Hand-made: [Button] first, texts in UTF-8.
    IniProfile saved = IniProfile::Parse("\xef\xbb\xbf[Button]\r\n");
    WriteFormToProfile(EditedForm(), saved);
    ASSERT_NE(saved.Serialize().find("caf\xc3\xa9"), std::string::npos);
    Spit(dir_ / "bom.kt9", saved.Serialize());

    FormSnapshot f = StartupForm();
    std::string error;
    ASSERT_TRUE(OpenConfigFile(Path("bom.kt9"), f, true, &error)) << error;
    FormSnapshot expected = EditedForm();
    ExpectSameStored(f, expected);

    f.msg[kButton].text = "caf\xe9";
    ASSERT_TRUE(SaveConfigFile(Path("bom.kt9"), f, &error)) << error;
    const std::string after = Slurp(dir_ / "bom.kt9");
    EXPECT_EQ(after.rfind("\xef\xbb\xbf[Button]\r\n", 0), 0u);
    EXPECT_EQ(after.find("[Button]"), after.rfind("[Button]"));
    EXPECT_NE(after.find("Text=caf\xc3\xa9\r\n"), std::string::npos);
    FormSnapshot reopened = StartupForm();
    ASSERT_TRUE(OpenConfigFile(Path("bom.kt9"), reopened, true, &error)) << error;
    ExpectSameStored(reopened, f);
}

// Texts read back from a transmitter may hold any byte. Saved, each stays on
// its line and reopens to the same bytes; a typed text is written as it is.
TEST_F(ConfigFileTest, TextsWithControlCharactersKeepOneLineAndReopenTheSame) {
    const struct {
        std::string text, written;
    } cases[] = {
        {"PANIC BUTTON ALARM !!", "PANIC BUTTON ALARM !!"},
        {"a\rb\nc\r\n", "a|0Db|0Ac|0D|0A"},
        {"\ttab\x1a", "|09tab|1A"},
        {"del\x7f", "del|7F"},
        {"pipe | and |41 stay", "pipe | and |41 stay"},
        {"|0D typed", "|7C0D typed"},
        {"|7C", "|7C7C"},
    };
    FormSnapshot f = StartupForm();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        f.msg[kButton].text = c.text;
        f.fallOn = c.text.substr(0, 22);
        std::string error;
        ASSERT_TRUE(SaveConfigFile(Path("t.kt9"), f, &error)) << error;
        const std::string file = Slurp(dir_ / "t.kt9");
        EXPECT_NE(file.find("\r\nText=" + c.written + "\r\n"), std::string::npos) << file;
        FormSnapshot reopened = StartupForm();
        ASSERT_TRUE(OpenConfigFile(Path("t.kt9"), reopened, true, &error)) << error;
        EXPECT_EQ(reopened.msg[kButton].text, c.text);
        EXPECT_EQ(reopened.fallOn, c.text.substr(0, 22));
    }
}

#if !defined(_WIN32)  // FIFOs and /dev/null; tests/windows has the Windows forms
// A named pipe, a device or a folder where a configuration file is expected
// is refused at once and named; nothing waits for a writer that never comes.
TEST_F(ConfigFileTest, WhatIsNoRegularFileIsRefusedAtOnce) {
    ASSERT_EQ(mkfifo(Path("site.kt9").c_str(), 0600), 0);
    fs::create_directory(dir_ / "folder.kt9");
    for (const std::string& path :
         {Path("site.kt9"), Path("folder.kt9"), std::string("/dev/null")}) {
        SCOPED_TRACE(path);
        const auto start = std::chrono::steady_clock::now();
        FormSnapshot f = EditedForm();
        std::string error;
        EXPECT_FALSE(OpenConfigFile(path, f, true, &error));
        EXPECT_EQ(error, FileErrorText("Cannot open", path, kNotRegularReason));
        ExpectSameStored(f, EditedForm());
        error.clear();
        EXPECT_FALSE(SaveConfigFile(path, f, &error));
        EXPECT_EQ(error, FileErrorText("Cannot write", path, kNotRegularReason));
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(200));
    }
    EXPECT_TRUE(fs::is_fifo(dir_ / "site.kt9"));
    EXPECT_TRUE(fs::is_directory(dir_ / "folder.kt9"));
}

#endif

TEST(ConfigFileNameTest, FileNameIsThePartAfterTheLastSeparator) {
    const std::pair<const char*, const char*> cases[] = {
        {"/home/op/site.kt9", "site.kt9"}, {"C:\\Kestrin\\site.kt9", "site.kt9"},
        {"mixed\\dir/x.kt9", "x.kt9"},     {"plain.kt9", "plain.kt9"},
        {"./Default.kt9", "Default.kt9"},  {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(FileNameOf(c.first), c.second) << c.first;
}

}  // namespace

namespace kestrin {
namespace {

// The key table the command-line tool checks and sets by is the reader's:
// every key written is in it, and each number's range is where Open clamps.
TEST(ConfigKeys, AreTheKeysWrittenAndTheRangesOpenHolds) {
    IniProfile written;
    WriteFormToProfile(StartupForm(), written);
    std::size_t keyLines = 0;
    std::istringstream text(written.Serialize());
    for (std::string line; std::getline(text, line);)
        if (line.find('=') != std::string::npos) ++keyLines;
    EXPECT_EQ(ConfigKeys().size() + 1, keyLines);  // and Version's one

    for (const ConfigKey& k : ConfigKeys()) {
        SCOPED_TRACE(k.section + "." + k.key);
        EXPECT_FALSE(written.Get(k.section, k.key).empty());
        if (k.kind != ConfigKey::Kind::Number) continue;
        for (const auto& [given, held] : {std::pair{k.min - 1, k.min}, std::pair{k.max + 1, k.max},
                                         std::pair{k.max, k.max}}) {
            IniProfile p = IniProfile::Parse(written.Serialize());
            p.Set(k.section, k.key, std::to_string(given));
            FormSnapshot f = StartupForm();
            ASSERT_TRUE(ReadFormFromProfile(p, f, true));
            IniProfile again;
            WriteFormToProfile(f, again);
            EXPECT_EQ(again.Get(k.section, k.key), std::to_string(held)) << given;
        }
    }
}

}  // namespace
}  // namespace kestrin
