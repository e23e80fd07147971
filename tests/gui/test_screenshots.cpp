// Renders each notebook page to a PNG for review when KESTRIN_SCREENSHOTS
// names a folder (scripts/screenshots sets it); skipped otherwise.
#include <wx/filename.h>

#include <cstdlib>

#include "gui_test.h"

TEST_F(FrameTest, ScreenshotsOfEveryPage) {
    const char* dir = std::getenv("KESTRIN_SCREENSHOTS");
    if (!dir) GTEST_SKIP() << "KESTRIN_SCREENSHOTS not set";
    wxFileName::Mkdir(dir, wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL);
    frame->Move(0, 0);
    if (const char* mode = std::getenv("KESTRIN_SCREENSHOT_MODE")) SelectMode(std::atoi(mode));
    const char* names[] = {"1-info", "2-messages", "3-fall-detection", "4-testing",
                           "5-frequency-setup", "6-engineering"};
    for (size_t i = 0; i < frame->Notebook1->GetPageCount(); ++i) {
        frame->Notebook1->SetSelection(i);
        for (int k = 0; k < 20; ++k) {
            wxTheApp->Yield(true);
            wxMilliSleep(20);
        }
        const wxRect r = frame->GetScreenRect();
        // Grab what the X server shows, as a person would see it.
        const wxString path = wxString(dir) + "/" + names[i] + ".png";
        const wxString cmd = wxString::Format("import -window root -crop %dx%d+%d+%d +repage '%s'",
                                              r.width, r.height, r.x, r.y, path);
        EXPECT_EQ(wxExecute(cmd, wxEXEC_SYNC), 0) << cmd;
    }
}
