#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "config/profile.h"
#include "tests/portable.h"

namespace fs = std::filesystem;
using kestrin::IniProfile;
using namespace std::string_literals;

namespace {

// Hand-edited files and what the Windows profile reader gives for each key
// (observed with GetPrivateProfileStringA on the same bytes).
struct HandEdited {
    const char* what;
    std::string file;
    struct Read {
        const char* section;
        const char* key;
        std::string value;
    };
    std::vector<Read> reads;
};

const std::string k799(kestrin::kProfileValueMax, 'x');

const HandEdited kHandEdited[] = {
    {"UTF-8 byte-order mark: skipped, values in Windows-1252",
     "\xef\xbb\xbf[Button]\r\nType=1\r\nText=caf\xc3\xa9 \xe2\x82\xac \xe2\x98\x83 \xff\r\n",
     {{"Button", "Type", "1"}, {"Button", "Text", "caf\xe9 \x80 ? ?"}}},
    {"quotes of both kinds",
     "[S]\r\nD=\"PANIC \"\r\nS=' x '\r\nM='q\"\r\nO=\"\r\nE=\"\"\r\nI=\" in \"side\"\r\n",
     {{"S", "D", "PANIC "},
      {"S", "S", " x "},
      {"S", "M", "'q\""},
      {"S", "O", "\""},
      {"S", "E", ""},
      {"S", "I", " in \"side"}}},
    {"duplicate sections: only the first is read",
     "[Button]\r\nType=1\r\n[Cord]\r\nType=0\r\n[button]\r\nType=2\r\nText=later\r\n",
     {{"Button", "Type", "1"}, {"Button", "Text", ""}, {"Cord", "Type", "0"}}},
    {"unclosed and odd brackets",
     "[Cord]\r\nID=1\r\n[Button\r\nType=2\r\n[Reed] ; note\r\nType=3\r\n[A]]\r\nk=v\r\n",
     {{"Cord", "Type", "2"},
      {"Button", "Type", ""},
      {"Reed", "Type", "3"},
      {"A]", "k", "v"},
      {"A", "k", ""}}},
    {"blanks around names and values",
     "  [ Cord ]  \r\n\t ID \t=\t 0100000 \x1a\r\nText=\xa0x\xa0\r\nmy key = v\r\n",
     {{"Cord", "ID", "0100000"},
      {" cord ", " id ", "0100000"},
      {"Cord", "Text", "\xa0x\xa0"},
      {"Cord", "my key", "v"}}},
    {"control characters: CR ends a line, NUL ends a value, the first key wins",
     "[Button]\nText=a\rb\nTone\nTone=3\nN=ab\0cd\nT=x\ty\n"s,
     {{"Button", "Text", "a"},
      {"Button", "b", ""},
      {"Button", "Tone", ""},
      {"Button", "N", "ab"},
      {"Button", "T", "x\ty"}}},
    {"799-character cut",
     "[A]\r\nL=" + std::string(900, 'x') + "\r\nQ=\"" + k799 + "\"\r\nR=\"" + k799.substr(1) +
         "\"\r\nP=\"" + k799 + "x\"\r\n",
     {{"A", "L", k799}, {"A", "Q", k799.substr(1)}, {"A", "R", k799.substr(1)}, {"A", "P", k799}}},
    {"keys before any section, comments, CR-only and LF-only files",
     "Top=before\r\n;k=v\r\n[S]\r\n",
     {{"", "Top", "before"}, {"", ";k", "v"}, {"S", ";k", ""}, {"S", "Top", ""}}},
    {"CR-only", "[C]\rk=1\rj=2", {{"C", "k", "1"}, {"c", "J", "2"}}},
    {"missing things", "", {{"A", "k", ""}}},
};

TEST(IniProfileTest, HandEditedFilesReadAsOnWindows) {
    for (const HandEdited& f : kHandEdited) {
        const IniProfile p = IniProfile::Parse(f.file);
        for (const auto& r : f.reads) {
            EXPECT_EQ(p.Get(r.section, r.key), r.value)
                << f.what << ": [" << r.section << "] " << r.key;
        }
    }
}

struct SetCase {
    const char* what;
    std::string before;
    const char* section;
    const char* key;
    std::string value;
    std::string after;
};

TEST(IniProfileTest, SetUpdatesInPlaceAndAppendsWhereTheWriterDoes) {
    const SetCase cases[] = {
        {"new profile uses CRLF", "", "A", "k", "v", "[A]\r\nk=v\r\n"},
        {"in place, rest untouched", "; c\r\n[A]\r\nk = 1\r\nx=2\r\n", "a", "K", "5",
         "; c\r\n[A]\r\nk =5\r\nx=2\r\n"},
        {"new key after the last key, before comments, blank lines and the next section",
         "[A]\r\nk=1\r\n; note\r\n\r\n[B]\r\nz=1\r\n", "A", "n", "2",
         "[A]\r\nk=1\r\nn=2\r\n; note\r\n\r\n[B]\r\nz=1\r\n"},
        {"key into an empty section", "[A]\r\n[B]\r\n", "A", "k", "1", "[A]\r\nk=1\r\n[B]\r\n"},
        {"new section at the end keeps LF", "[A]\nk=1\n", "B", "k", "2", "[A]\nk=1\n[B]\nk=2\n"},
        {"CR-only file keeps CR", "[A]\rk=1\r", "A", "n", "2", "[A]\rk=1\rn=2\r"},
        {"unterminated last line", "[A]\nk=1", "A", "n", "2", "[A]\nk=1\nn=2\n"},
        {"8-bit value", "[A]\r\nk=1\r\n", "A", "k", "\xe9t\xe9", "[A]\r\nk=\xe9t\xe9\r\n"},
        {"byte-order mark kept, value written in UTF-8", "\xef\xbb\xbf[A]\r\nk=1\r\n", "A", "k",
         "\xe9\x80", "\xef\xbb\xbf[A]\r\nk=\xc3\xa9\xe2\x82\xac\r\n"},
        {"the first of two sections is the one written", "[A]\r\nk=1\r\n[B]\r\n[a]\r\nj=2\r\n", "A",
         "j", "3", "[A]\r\nk=1\r\nj=3\r\n[B]\r\n[a]\r\nj=2\r\n"},
        {"the first of two keys is the one written", "[A]\r\nk=1\r\nK=2\r\n", "A", "k", "3",
         "[A]\r\nk=3\r\nK=2\r\n"},
        {"a key without '=' gets one", "[A]\r\nk\r\nk=2\r\n", "A", "k", "3",
         "[A]\r\nk=3\r\nk=2\r\n"},
        {"an unclosed header is no section", "[A\r\n", "A", "k", "1", "[A\r\n[A]\r\nk=1\r\n"},
        // The Windows writer writes values as they come; these would then not
        // read back as written, so this writer quotes them.
        {"value with outer spaces quoted", "", "A", "k", " x ", "[A]\r\nk=\" x \"\r\n"},
        {"value with an outer tab or ^Z quoted", "", "A", "k", "\tx\x1a",
         "[A]\r\nk=\"\tx\x1a\"\r\n"},
        {"value in double quotes quoted again", "", "A", "k", "\"q\"", "[A]\r\nk=\"\"q\"\"\r\n"},
        {"value in single quotes quoted", "", "A", "k", "'q'", "[A]\r\nk=\"'q'\"\r\n"},
        {"a lone quote stays as it is", "", "A", "k", "\"", "[A]\r\nk=\"\r\n"},
    };
    for (const SetCase& c : cases) {
        IniProfile p = IniProfile::Parse(c.before);
        p.Set(c.section, c.key, c.value);
        EXPECT_EQ(p.Serialize(), c.after) << c.what;
        EXPECT_EQ(p.Get(c.section, c.key), c.value) << c.what;
        EXPECT_EQ(IniProfile::Parse(p.Serialize()).Get(c.section, c.key), c.value) << c.what;
    }
}

// Line breaks and NUL cannot be read back from any INI line; rather than let
// a value split into two lines (the second a stray key) they become spaces.
// Texts that may hold them are encoded by the configuration file first.
TEST(IniProfileTest, LineBreaksNeverSplitAValue) {
    IniProfile p = IniProfile::Parse("[A]\r\nk=1\r\n");
    p.Set("A", "k", "a\rb\nc\r\nd"s + '\0' + "e");
    EXPECT_EQ(p.Serialize(), "[A]\r\nk=a b c  d e\r\n");
    EXPECT_EQ(p.Get("A", "k"), "a b c  d e");
}

TEST(IniProfileTest, SetThenGetGivesBackTheLatestValue) {
    IniProfile p = IniProfile::Parse("[A]\r\nk=1\r\n");
    for (const char* v : {"2", "", " padded ", "3"}) {
        p.Set("A", "k", v);
        p.Set("New", "k", v);
        p.Set("A", "added", v);
        for (const char* section : {"A", "new"}) EXPECT_EQ(p.Get(section, "k"), v);
        EXPECT_EQ(p.Get("a", "ADDED"), v);
    }
    EXPECT_EQ(p.Serialize(), "[A]\r\nk=3\r\nadded=3\r\n[New]\r\nk=3\r\n");
}

TEST(IniProfileTest, UntouchedTextSerializesByteForByte) {
    const std::string file =
        "\xef\xbb\xbf; mixed endings\r\n"
        "[Site]\n"
        "Name = Ward 3   \r\n"
        "\r\n"
        "garbage line\n"
        "[Button]\r\n"
        "Type=0";
    IniProfile p = IniProfile::Parse(file);
    EXPECT_EQ(p.Serialize(), file);
    EXPECT_EQ(p.LineEnding(), "\r\n");
    EXPECT_TRUE(p.HasSection("site"));
    EXPECT_FALSE(p.HasSection("Cord"));
    EXPECT_EQ(IniProfile::Parse("[A]\nk=1\r\n").LineEnding(), "\n");
}

class ProfileFileTest : public ::testing::Test {
  protected:
    void SetUp() override { dir_ = kestrin_test::MakeTempFolder("kestrin-profile"); }
    void TearDown() override { fs::remove_all(dir_); }
    fs::path dir_;
};

TEST_F(ProfileFileTest, ReadRefusesWhatIsNoReadableFile) {
    IniProfile p;
    std::string error;
    EXPECT_FALSE(kestrin::ReadProfileFile((dir_ / "missing.kt9").string(), p, &error));
    EXPECT_NE(error.find("missing.kt9"), std::string::npos) << error;
    error.clear();
    EXPECT_FALSE(kestrin::ReadProfileFile(dir_.string(), p, &error));
    EXPECT_FALSE(error.empty());
}

}  // namespace
