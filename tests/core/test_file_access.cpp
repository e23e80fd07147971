#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "config/file_access.h"

namespace fs = std::filesystem;
using kestrin::ReadResult;

namespace {

std::string Slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

class FileAccessTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string tmpl = (fs::temp_directory_path() / "kestrin-access-XXXXXX").string();
        ASSERT_NE(mkdtemp(&tmpl[0]), nullptr);
        dir_ = tmpl;
        ASSERT_EQ(mkfifo((dir_ / "site.kt9").c_str(), 0600), 0);
        fs::create_directory(dir_ / "folder.kt9");
        fs::create_symlink(dir_ / "site.kt9", dir_ / "link-to-fifo.kt9");
    }
    void TearDown() override { fs::remove_all(dir_); }
    fs::path dir_;
};

// Nothing waits on a FIFO with no writer, a device or a folder; each is
// refused with a text naming it.
TEST_F(FileAccessTest, ReadRefusesWhatIsNoRegularFileAtOnce) {
    struct Case {
        std::string path;
        ReadResult expected;
    };
    const Case cases[] = {
        {(dir_ / "site.kt9").string(), ReadResult::kNotRegular},
        {(dir_ / "link-to-fifo.kt9").string(), ReadResult::kNotRegular},
        {(dir_ / "folder.kt9").string(), ReadResult::kNotRegular},
        {"/dev/null", ReadResult::kNotRegular},
        {"/dev/zero", ReadResult::kNotRegular},
        {(dir_ / "missing.kt9").string(), ReadResult::kMissing},
        {(dir_ / "no" / "missing.kt9").string(), ReadResult::kMissing},
    };
    for (const Case& c : cases) {
        const auto start = std::chrono::steady_clock::now();
        std::string bytes = "stale", error;
        EXPECT_EQ(kestrin::ReadWholeFile(c.path, bytes, &error), c.expected) << c.path;
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(200));
        EXPECT_TRUE(bytes.empty()) << c.path;
        EXPECT_EQ(error.rfind("Cannot open \"" + c.path + "\": ", 0), 0u) << error;
    }
}

TEST_F(FileAccessTest, ReadTakesWholeFilesUpToTheCap) {
    const std::string at(kestrin::kMaxFileBytes, 'x');
    std::ofstream(dir_ / "at.kt9", std::ios::binary) << at;
    std::ofstream(dir_ / "over.kt9", std::ios::binary) << at << 'x';
    std::ofstream(dir_ / "empty.kt9", std::ios::binary);

    std::string bytes, error;
    EXPECT_EQ(kestrin::ReadWholeFile((dir_ / "at.kt9").string(), bytes, &error), ReadResult::kOk);
    EXPECT_EQ(bytes, at);
    EXPECT_EQ(kestrin::ReadWholeFile((dir_ / "empty.kt9").string(), bytes, &error),
              ReadResult::kOk);
    EXPECT_EQ(bytes, "");
    EXPECT_EQ(kestrin::ReadWholeFile((dir_ / "over.kt9").string(), bytes, &error),
              ReadResult::kTooLarge);
    EXPECT_TRUE(bytes.empty());
    EXPECT_NE(error.find(kestrin::kTooLargeReason), std::string::npos) << error;
}

TEST_F(FileAccessTest, WriteRefusesWhatIsNoRegularFileAndLeavesItAlone) {
    for (const fs::path& p : {dir_ / "site.kt9", dir_ / "link-to-fifo.kt9", dir_ / "folder.kt9",
                              fs::path("/dev/null")}) {
        const auto start = std::chrono::steady_clock::now();
        std::string error;
        EXPECT_FALSE(kestrin::WriteFileAtomically(p.string(), "x", &error)) << p;
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(200));
        EXPECT_EQ(error,
                  kestrin::FileErrorText("Cannot write", p.string(), kestrin::kNotRegularReason));
    }
    EXPECT_TRUE(fs::is_fifo(dir_ / "site.kt9"));
    EXPECT_TRUE(fs::is_directory(dir_ / "folder.kt9"));
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 3);
}

TEST_F(FileAccessTest, WriteReplacesContentAndKeepsPermissions) {
    const fs::path file = dir_ / "a.kt9";
    std::string error;
    ASSERT_TRUE(kestrin::WriteFileAtomically(file.string(), "old content, longer\r\n", &error))
        << error;
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_TRUE(kestrin::WriteFileAtomically(file.string(), "new\r\n", &error)) << error;
    EXPECT_EQ(Slurp(file), "new\r\n");
    EXPECT_EQ(fs::status(file).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

    // Through a link the file it names is replaced; the link stays.
    fs::create_symlink(file, dir_ / "link.kt9");
    ASSERT_TRUE(kestrin::WriteFileAtomically((dir_ / "link.kt9").string(), "via link", &error));
    EXPECT_TRUE(fs::is_symlink(dir_ / "link.kt9"));
    EXPECT_EQ(Slurp(file), "via link");

    // A write-protected file is kept.
    fs::permissions(file, fs::perms::owner_read);
    EXPECT_FALSE(kestrin::WriteFileAtomically(file.string(), "lost", &error));
    EXPECT_EQ(Slurp(file), "via link");
}

TEST_F(FileAccessTest, FailedWriteLeavesNoTraces) {
    std::string error;
    EXPECT_FALSE(kestrin::WriteFileAtomically((dir_ / "no" / "a.kt9").string(), "x", &error));
    EXPECT_NE(error.find("a.kt9"), std::string::npos) << error;

    std::ofstream(dir_ / "plain") << "file";
    error.clear();
    EXPECT_FALSE(kestrin::WriteFileAtomically((dir_ / "plain" / "a.kt9").string(), "x", &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 4);
    EXPECT_EQ(Slurp(dir_ / "plain"), "file");
}

}  // namespace
