// The Windows file access and data folder: paths in any language, files that
// another program holds or that are write-protected, %APPDATA%.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "config/data_folder.h"
#include "config/file_access.h"
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

std::size_t Entries(const fs::path& dir) {
    return static_cast<std::size_t>(
        std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
}

class PlatformFilesTest : public ::testing::Test {
  protected:
    void SetUp() override { dir_ = kestrin_test::MakeTempFolder("kestrin-files"); }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }
    fs::path dir_;
};

TEST_F(PlatformFilesTest, PathsInAnyLanguageAreWrittenAndRead) {
    // "Zoë's sites" and Cyrillic, given as UTF-8 as the window passes them.
    const fs::path folder = dir_ / fs::u8path(u8"Zo\u00eb \u0441\u0430\u0439\u0442");
    std::string error;
    ASSERT_TRUE(MakeFolders(folder.u8string(), &error)) << error;
    const std::string file = (folder / "a.kt9").u8string();
    ASSERT_TRUE(WriteFileAtomically(file, "[Button]\r\nType=1\r\n", &error)) << error;
    ASSERT_TRUE(WriteFileAtomically(file, "[Button]\r\nType=2\r\n", &error)) << error;
    std::string bytes;
    ASSERT_EQ(ReadWholeFile(file, bytes, &error), ReadResult::kOk) << error;
    EXPECT_EQ(bytes, "[Button]\r\nType=2\r\n");
    EXPECT_EQ(Entries(folder), 1u) << "a temporary file was left behind";
}

TEST_F(PlatformFilesTest, FilesThatCannotBeReplacedStayAsTheyWere) {
    const fs::path file = dir_ / "a.kt9";
    const std::string original = "[Button]\r\nType=1\r\n";
    std::string error;
    ASSERT_TRUE(WriteFileAtomically(file.string(), original, &error)) << error;

    {
        SCOPED_TRACE("held open by another program");
        HANDLE h = CreateFileW(file.wstring().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        error.clear();
        EXPECT_FALSE(WriteFileAtomically(file.string(), "new", &error));
        CloseHandle(h);
        EXPECT_EQ(error.rfind("Cannot write \"" + file.string() + "\": ", 0), 0u) << error;
    }
    {
        SCOPED_TRACE("write-protected");
        ASSERT_TRUE(SetFileAttributesW(file.wstring().c_str(), FILE_ATTRIBUTE_READONLY));
        error.clear();
        EXPECT_FALSE(WriteFileAtomically(file.string(), "new", &error));
        EXPECT_FALSE(error.empty());
        SetFileAttributesW(file.wstring().c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    {
        SCOPED_TRACE("a folder, and a missing folder");
        EXPECT_FALSE(WriteFileAtomically(dir_.string(), "new", &error));
        EXPECT_FALSE(WriteFileAtomically((dir_ / "gone" / "b.kt9").string(), "new", &error));
    }
    EXPECT_EQ(Slurp(file), original);
    EXPECT_EQ(Entries(dir_), 1u) << "a temporary file was left behind";

    std::string bytes;
    EXPECT_EQ(ReadWholeFile((dir_ / "missing.kt9").string(), bytes, &error), ReadResult::kMissing);
    EXPECT_EQ(ReadWholeFile(dir_.string(), bytes, &error), ReadResult::kNotRegular);
    EXPECT_EQ(error, FileErrorText("Cannot open", dir_.string(), kNotRegularReason));
}

TEST(DataFolder, IsTheRoamingApplicationDataFolderUnlessForced) {
    const char* old = std::getenv("KESTRIN_DATA_DIR");
    const std::string saved = old ? old : "";
    kestrin_test::SetEnv("KESTRIN_DATA_DIR", "D:\\forced");
    EXPECT_EQ(UserDataFolder(), "D:\\forced");
    kestrin_test::SetEnv("KESTRIN_DATA_DIR", nullptr);
    const std::string folder = UserDataFolder();
    kestrin_test::SetEnv("KESTRIN_DATA_DIR", old ? saved.c_str() : nullptr);

    const char* appdata = std::getenv("APPDATA");
    ASSERT_NE(appdata, nullptr);
    EXPECT_EQ(folder, std::string(appdata) + "\\kestrin-pro");
    EXPECT_EQ(JoinPath("C:\\a\\", "b"), "C:\\a\\b");
    EXPECT_EQ(JoinPath("C:\\a", "b"), "C:\\a\\b");
}

}  // namespace
