#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "config/profile.h"
#include "tests/portable.h"

namespace fs = std::filesystem;
using kestrin::IniProfile;

namespace {

struct GetCase {
    const char* what;
    std::string file;
    const char* section;
    const char* key;
    std::string expected;
};

TEST(IniProfileTest, GetReadsAsTheWindowsReaderDoes) {
    const std::string file =
        "Top=before any section\r\n"
        "; comment=not a key\r\n"
        "[Button]\r\n"
        "Type=1\r\n"
        "  speed =  0  \r\n"
        "Text=\"PANIC \"\r\n"
        "Single='x'\r\n"
        "Half=\"open\r\n"
        "Empty=\r\n"
        "Type=2\r\n"
        "Caf\xe9=caf\xe9\r\n"
        "[ Cord ]\r\n"
        "ID=0100000\r\n";
    const GetCase cases[] = {
        {"plain", file, "Button", "Type", "1"},
        {"names ignore case, white space trimmed", file, "BUTTON", "Speed", "0"},
        {"enclosing quotes dropped, inner space kept", file, "Button", "Text", "PANIC "},
        {"single quotes kept", file, "Button", "Single", "'x'"},
        {"unbalanced quote kept", file, "Button", "Half", "\"open"},
        {"empty value", file, "Button", "Empty", ""},
        {"8-bit text", file, "Button", "Caf\xe9", "caf\xe9"},
        {"section name trimmed", file, "cord", "id", "0100000"},
        {"missing key", file, "Button", "Tone", ""},
        {"missing section", file, "Reed", "Type", ""},
        {"key outside any section", file, "", "Top", ""},
        {"comment is no key", file, "Button", "; comment", ""},
        {"LF file", "[A]\nk=v\n[B]\nk=w", "b", "K", "w"},
        {"long value cut", "[A]\r\nk=" + std::string(900, 'x') + "\r\n", "A", "k",
         std::string(kestrin::kProfileValueMax, 'x')},
        {"empty file", "", "A", "k", ""},
    };
    for (const GetCase& c : cases) {
        EXPECT_EQ(IniProfile::Parse(c.file).Get(c.section, c.key), c.expected) << c.what;
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
        {"new key after the last key, before blank lines and the next section",
         "[A]\r\nk=1\r\n; note\r\n\r\n[B]\r\nz=1\r\n", "A", "n", "2",
         "[A]\r\nk=1\r\nn=2\r\n; note\r\n\r\n[B]\r\nz=1\r\n"},
        {"key into an empty section", "[A]\r\n[B]\r\n", "A", "k", "1", "[A]\r\nk=1\r\n[B]\r\n"},
        {"new section at the end keeps LF", "[A]\nk=1\n", "B", "k", "2", "[A]\nk=1\n[B]\nk=2\n"},
        {"unterminated last line", "[A]\nk=1", "A", "n", "2", "[A]\nk=1\nn=2\n"},
        {"8-bit value", "[A]\r\nk=1\r\n", "A", "k", "\xe9t\xe9", "[A]\r\nk=\xe9t\xe9\r\n"},
        {"value with outer spaces quoted", "", "A", "k", " x ", "[A]\r\nk=\" x \"\r\n"},
        {"value in quotes quoted again", "", "A", "k", "\"q\"", "[A]\r\nk=\"\"q\"\"\r\n"},
        {"line breaks cannot split the line", "", "A", "k", "a\r\nb", "[A]\r\nk=a  b\r\n"},
    };
    for (const SetCase& c : cases) {
        IniProfile p = IniProfile::Parse(c.before);
        p.Set(c.section, c.key, c.value);
        EXPECT_EQ(p.Serialize(), c.after) << c.what;
        std::string expected = c.value;
        for (char& ch : expected) {
            if (ch == '\r' || ch == '\n') ch = ' ';
        }
        EXPECT_EQ(p.Get(c.section, c.key), expected) << c.what;
    }
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
