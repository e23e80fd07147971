// Where backups and the log go on this platform.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "config/data_folder.h"

namespace kestrin {
namespace {

class Env {
  public:
    Env(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old, had_ = true;
        value ? setenv(name, value, 1) : unsetenv(name);
    }
    ~Env() { had_ ? setenv(name_, old_.c_str(), 1) : unsetenv(name_); }

  private:
    const char* name_;
    std::string old_;
    bool had_ = false;
};

TEST(DataFolder, OverrideThenXdgThenHome) {
    struct Case {
        const char *forced, *xdg, *home, *expected;
    };
    for (const Case& c : {Case{"/srv/k", "/x", "/home/a", "/srv/k"},
                          Case{nullptr, "/x/data", "/home/a", "/x/data/kestrin-pro"},
                          Case{nullptr, "relative", "/home/a", "/home/a/.local/share/kestrin-pro"},
                          Case{nullptr, nullptr, "/home/a/", "/home/a/.local/share/kestrin-pro"},
                          Case{nullptr, nullptr, nullptr, ""}}) {
        Env forced("KESTRIN_DATA_DIR", c.forced), xdg("XDG_DATA_HOME", c.xdg), home("HOME", c.home);
        EXPECT_EQ(UserDataFolder(), c.expected);
    }
}

TEST(DataFolder, MakeFoldersCreatesParentsAndNamesWhatStopsIt) {
    namespace fs = std::filesystem;
    const fs::path base = fs::temp_directory_path() / "kestrin-folders-test";
    fs::remove_all(base);
    std::string error;
    EXPECT_TRUE(MakeFolders((base / "a/b/c").string(), &error)) << error;
    EXPECT_TRUE(fs::is_directory(base / "a/b/c"));
    EXPECT_TRUE(MakeFolders((base / "a/b/c").string(), &error));  // again, without harm
    std::ofstream(base / "plain") << "x";
    EXPECT_FALSE(MakeFolders((base / "plain/d").string(), &error));
    EXPECT_NE(error.find("plain"), std::string::npos) << error;
    EXPECT_FALSE(MakeFolders("", &error));
    fs::remove_all(base);
}

}  // namespace
}  // namespace kestrin
