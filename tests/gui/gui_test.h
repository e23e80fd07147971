// Fixture for tests that drive the real main window under Xvfb.
#pragma once

#include <gtest/gtest.h>
#include <wx/wx.h>

#include <deque>
#include <string>
#include <vector>

#include "app/Kestrin_ProMain.h"

struct ShownBox {
    std::string text, caption;
    long style;
    bool hasParent;
};

class FrameTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Notifications as the window's own event processing delivers them.
    void Choose(wxChoice* c, int selection);
    void Check(wxCheckBox* c, bool value);
    void Slide(wxSlider* s, int value);
    void Spin(wxSpinCtrl* s, int value);
    // A click through the window's own event processing; a device operation
    // it starts has ended and shown its result when this returns.
    void Click(wxButton* b);
    // Runs the event loop until no device operation is under way.
    void WaitForDevice();
    void Menu(long id);
    void SelectMode(int mode);
    // Whether the control's character filter lets a typed character through.
    static bool Accepts(wxTextCtrl* t, wxChar c);
    // Names the configuration file as Open would, leaving a clean state.
    void NameFile(const wxString& path);

    Kestrin_ProFrame* frame = nullptr;
    std::vector<ShownBox> boxes;       // every message box asked for
    std::deque<int> answers;           // replies to give, in order (default wxOK)
    std::deque<wxString> chosenFiles;  // paths for file dialogs; empty: cancel
};
