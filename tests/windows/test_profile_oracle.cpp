// The INI module against the system's own profile functions: whatever a .kt9
// file holds, the utility must read the values the platform reads.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "config/config_file.h"
#include "config/form.h"
#include "config/profile.h"
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

// What the platform reads, with the 800-byte buffer and empty default the
// original calls used.
std::string PlatformGet(const fs::path& file, const std::string& section, const std::string& key) {
    char buf[800];
    GetPrivateProfileStringA(section.c_str(), key.c_str(), "", buf, sizeof buf,
                             file.string().c_str());
    return buf;
}

std::string OurGet(const fs::path& file, const std::string& section, const std::string& key) {
    IniProfile p;
    std::string error;
    EXPECT_TRUE(ReadProfileFile(file.string(), p, &error)) << error;
    return p.Get(section, key);
}

void ExpectSameRead(const fs::path& file, const std::string& section, const std::string& key) {
    EXPECT_EQ(OurGet(file, section, key), PlatformGet(file, section, key));
}

// Every section/key pair a file names, in file order.
std::vector<std::pair<std::string, std::string>> KeysOf(const std::string& text) {
    std::vector<std::pair<std::string, std::string>> keys;
    std::istringstream in(text);
    std::string section;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '[') {
            section = line.substr(1, line.find(']') - 1);
        } else if (const std::size_t eq = line.find('='); eq != std::string::npos) {
            keys.emplace_back(section, line.substr(0, eq));
        }
    }
    return keys;
}

// A form whose texts carry what a reader could mangle: quotes, blanks at
// either end, 8-bit characters.
FormSnapshot TrickyForm() {
    FormSnapshot f = StartupForm();
    f.msg[kButton].text = " caf\xe9 \"quoted\" ";
    f.msg[kCord].text = "\"HELP\"";
    f.msg[kReed].text = "'WAND'";
    f.msg[kTest].text = "";
    f.msg[kReset].text = "A=B ; not a comment";
    f.fallOn = "Armed \xe9";
    f.fallOff = "  ";
    f.buttonRepeats = 4;
    f.testHour = 23;
    f.slider[kSliderAngle] = kSliders[kSliderAngle].max;
    f.mode = 2;
    f.freq = 469997500;
    return f;
}

class ProfileOracleTest : public ::testing::Test {
  protected:
    void SetUp() override { dir_ = kestrin_test::MakeTempFolder("kestrin-oracle"); }
    void TearDown() override { fs::remove_all(dir_); }
    fs::path dir_;
};

TEST_F(ProfileOracleTest, SavedConfigurationReadsTheSameEveryKey) {
    const fs::path file = dir_ / "saved.kt9";
    std::string error;
    ASSERT_TRUE(SaveConfigFile(file.string(), TrickyForm(), &error)) << error;
    const auto keys = KeysOf(Slurp(file));
    ASSERT_GT(keys.size(), 60u);
    for (const auto& [section, key] : keys) {
        SCOPED_TRACE(section + "/" + key);
        ExpectSameRead(file, section, key);
    }
    // And what is read is what was saved, quotes and blanks included.
    const FormSnapshot f = TrickyForm();
    EXPECT_EQ(PlatformGet(file, "Button", "Text"), f.msg[kButton].text);
    EXPECT_EQ(PlatformGet(file, "Cord", "Text"), f.msg[kCord].text);
    EXPECT_EQ(PlatformGet(file, "Reed", "Text"), f.msg[kReed].text);
    EXPECT_EQ(PlatformGet(file, "Reset", "Text"), f.msg[kReset].text);
}

TEST_F(ProfileOracleTest, FileWrittenByThePlatformOpensAsItsReaderReadsIt) {
    // Each key written by the platform writer, one call per key, as the
    // original program saved; then both readers over that file.
    IniProfile ours;
    WriteFormToProfile(TrickyForm(), ours);
    const fs::path ourFile = dir_ / "ours.kt9", theirs = dir_ / "theirs.kt9";
    Spit(ourFile, ours.Serialize());
    const auto keys = KeysOf(ours.Serialize());
    for (const auto& [section, key] : keys) {
        ASSERT_TRUE(WritePrivateProfileStringA(
            section.c_str(), key.c_str(), ours.Get(section, key).c_str(), theirs.string().c_str()));
    }
    for (const auto& [section, key] : keys) {
        SCOPED_TRACE(section + "/" + key);
        ExpectSameRead(theirs, section, key);
    }

    // Saving over the platform's file changes only what the form changed.
    FormSnapshot opened = StartupForm();
    std::string error;
    ASSERT_TRUE(OpenConfigFile(theirs.string(), opened, true, &error)) << error;
    ASSERT_TRUE(SaveConfigFile(theirs.string(), opened, &error)) << error;
    for (const auto& [section, key] : keys) {
        SCOPED_TRACE(section + "/" + key);
        ExpectSameRead(theirs, section, key);
    }
}

struct HandEdited {
    const char* what;
    std::string text;
    std::vector<std::pair<const char*, const char*>> reads;  // section, key
};

TEST_F(ProfileOracleTest, HandEditedFilesReadAsThePlatformReadsThem) {
    const std::string longValue(900, 'x');
    const HandEdited cases[] = {
        {"enclosing double quotes",
         "[Button]\r\nText=\"PANIC\"\r\nID=\"12\r\nTone=3\"\r\nType=\"\"\r\nSpeed=\"a\"b\"\r\n",
         {{"Button", "Text"},
          {"Button", "ID"},
          {"Button", "Tone"},
          {"Button", "Type"},
          {"Button", "Speed"}}},
        {"enclosing single quotes",
         "[Button]\r\nText='PANIC'\r\nID='12\r\nTone=\"mixed'\r\nType=''\r\n",
         {{"Button", "Text"}, {"Button", "ID"}, {"Button", "Tone"}, {"Button", "Type"}}},
        {"blanks around names and values",
         "  [ Button ]  \r\n  Text  =  two  words  \r\n\tID\t=\t42\t\r\nTone=\r\n",
         {{"Button", "Text"}, {"Button", "ID"}, {"Button", "Tone"}}},
        {"case of names",
         "[BUTTON]\r\ntext=upper section\r\n[cord]\r\nTEXT=lower section\r\n",
         {{"Button", "Text"}, {"Cord", "Text"}, {"button", "TEXT"}}},
        {"UTF-8 byte-order mark",
         "\xEF\xBB\xBF[Version]\r\nProgramming Software=1.8.3\r\n[Button]\r\nText=HELLO\r\n",
         {{"Version", "Programming Software"}, {"Button", "Text"}}},
        {"799-character cut",
         "[Button]\r\nText=" + longValue + "\r\nID=\"" + longValue + "\"\r\nTone=1\r\n",
         {{"Button", "Text"}, {"Button", "ID"}, {"Button", "Tone"}}},
        {"LF line ends, comments and stray lines",
         "; saved by hand\n[Button]\nno equals sign\n;Text=commented\nText=kept\n=no name\n",
         {{"Button", "Text"}}},
        {"first of two sections with one name",
         "[Button]\r\nText=first\r\n[Cord]\r\nText=cord\r\n[Button]\r\nText=second\r\nID=9\r\n",
         {{"Button", "Text"}, {"Button", "ID"}, {"Cord", "Text"}}},
        {"section header without its bracket",
         "[Button]\r\nText=in button\r\n[Cord\r\nText=after the broken header\r\n",
         {{"Button", "Text"}, {"Cord", "Text"}}},
        {"a key twice", "[Button]\r\nText=one\r\nText=two\r\n", {{"Button", "Text"}}},
    };
    const fs::path file = dir_ / "hand.kt9";
    for (const HandEdited& c : cases) {
        SCOPED_TRACE(c.what);
        Spit(file, c.text);
        for (const auto& [section, key] : c.reads) {
            SCOPED_TRACE(std::string(section) + "/" + key);
            ExpectSameRead(file, section, key);
        }
    }
}

}  // namespace
