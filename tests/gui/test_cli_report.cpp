// The command-line tool's report of a configuration is the window's, byte for
// byte: the start-up form saved by Save As, reported by both.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "gui_test.h"

namespace {

namespace fs = std::filesystem;

std::string Slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST_F(FrameTest, TheToolsReportIsTheWindowsReport) {
    std::string tmpl = (fs::temp_directory_path() / "kestrin-report-XXXXXX").string();
    ASSERT_NE(mkdtemp(&tmpl[0]), nullptr);
    const fs::path dir = tmpl;
    chosenFiles = {wxString((dir / "startup.kt9").string())};
    Menu(Kestrin_ProFrame::idMenuSaveAs);
    chosenFiles = {wxString((dir / "window.txt").string())};
    Menu(Kestrin_ProFrame::idMenuText);
    ASSERT_TRUE(boxes.empty()) << boxes[0].text;

    const std::string cmd = std::string("'") + KESTRIN_CLI_PATH + "' report '" +
                            (dir / "startup.kt9").string() + "' > '" + (dir / "tool.txt").string() +
                            "'";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    const std::string window = Slurp(dir / "window.txt");
    EXPECT_FALSE(window.empty());
    EXPECT_EQ(Slurp(dir / "tool.txt"), window);
    // And the shipped default, which is the start-up form saved.
    EXPECT_EQ(Slurp(dir / "startup.kt9"),
              Slurp(std::string(KESTRIN_SOURCE_DIR) + "/data/Default.kt9"));
    fs::remove_all(dir);
}

}  // namespace
