// The window as a desktop user meets it: no toolkit warnings on any page or
// size, the menu's keys from real key presses wherever the focus is, Tab in
// reading order, and an accessible name for every control.
#include <wx/filename.h>

#include <functional>
#include <map>
#include <set>

#include "app/ui_hooks.h"
#include "gui_test.h"
#include "x_input.h"

#ifdef __WXGTK__
#include <gtk/gtk.h>
#endif

namespace {

// Runs the event loop until the toolkit has drawn and settled.
void Settle() { xinput::Pump(150); }

// Whether the keyboard focus is in w, for a choice or a radio box too, whose
// focus sits in a part the toolkit does not name.
bool HasFocus(wxWindow* w) {
#ifdef __WXGTK__
    GtkWidget* focus = gtk_window_get_focus(GTK_WINDOW(wxGetTopLevelParent(w)->GetHandle()));
    return focus && (focus == w->GetHandle() || gtk_widget_is_ancestor(focus, w->GetHandle()));
#else
    return wxWindow::FindFocus() == w;
#endif
}

std::string NameOf(wxWindow* w) {
#ifdef __WXGTK__
    const char* name = atk_object_get_name(gtk_widget_get_accessible(w->GetConnectWidget()));
    if (name && *name) return name;
#endif
    return w->GetName().ToStdString();
}

// Gives the window the X focus and w the keyboard focus, without the click
// that would open a choice or press a button.
bool FocusOn(wxWindow* w) {
    xinput::PointAt(w);
    w->SetFocus();
    return xinput::PumpUntil([&] { return HasFocus(w); }, 1000);
}

class DesktopTest : public FrameTest {
  protected:
    void SetUp() override {
        FrameTest::SetUp();
        // Which menu commands ran, whoever raised them.
        frame->Bind(wxEVT_MENU, [this](wxCommandEvent& e) {
            ++commands[e.GetId()];
            e.Skip();
        });
        kestrin_ui::ChooseFile = [this](wxFileDialog& dialog, wxString&) {
            dialogs.push_back(dialog.GetMessage().ToStdString());
            return false;
        };
        frame->Move(0, 0);
        Settle();
    }
    std::map<int, int> commands;
    std::vector<std::string> dialogs;
};

}  // namespace

TEST_F(DesktopTest, EveryPageSubPageAndSizeIsFreeOfToolkitWarnings) {
    // The log writer of the harness fails the test on any GTK or GLib warning.
    for (int mode = 0; mode < 3; ++mode) {
        SelectMode(mode);
        for (size_t p = 0; p < frame->Notebook1->GetPageCount(); ++p) {
            frame->Notebook1->SetSelection(p);
            Settle();
        }
    }
    for (const wxSize& size :
         {wxSize(700, 450), wxSize(1200, 800), wxSize(400, 300), wxSize(966, 605)}) {
        frame->SetSize(size);
        Settle();
    }
    frame->Close(true);
    frame = nullptr;
    Settle();
}

TEST_F(DesktopTest, StartsWithTheFocusOutsideReadOnlyFields) {
    if (!xinput::Available()) GTEST_SKIP() << "no XTEST on this display";
    xinput::PointAt(frame->StaticText_Version);  // gives the window the focus
    Settle();
    wxWindow* focus = wxWindow::FindFocus();
    ASSERT_NE(focus, nullptr);
    const wxTextCtrl* text = wxDynamicCast(focus, wxTextCtrl);
    EXPECT_TRUE(!text || text->IsEditable()) << "focus in " << focus->GetName();
}

TEST_F(DesktopTest, MenuKeysReachTheMenuUnlessAnEditableFieldSelectsAll) {
    if (!xinput::Available()) GTEST_SKIP() << "no XTEST on this display";
    const wxString dir = wxFileName::CreateTempFileName("kestrin-keys");
    wxRemoveFile(dir);
    wxFileName::Mkdir(dir);
    struct Case {
        const char* where;
        std::function<wxWindow*()> control;
        int page;
    };
    const Case places[] = {
        {"read-only Info box", [&] { return frame->TextCtrl_Info; }, 0},
        {"read-only file name", [&] { return frame->TextCtrl_FileName; }, 0},
        {"read-only connection status", [&] { return frame->TextCtrl_Connectionstatus; }, 0},
        {"read-only frequency", [&] { return frame->TextCtrl_Freq; }, 4},
        {"read-only read-out", [&] { return frame->TextCtrl_Movement; }, 2},
        {"a choice", [&] { return frame->Choice_ButtonSpeed; }, 1},
        {"a button", [&] { return frame->Button_Status; }, 5},
    };
    struct Key {
        const char* combo;
        long command;
    };
    const Key keys[] = {{"ctrl+a", Kestrin_ProFrame::idMenuSaveAs},
                        {"shift+ctrl+s", Kestrin_ProFrame::idMenuSaveAs},
                        {"ctrl+s", Kestrin_ProFrame::idMenuSave},
                        {"ctrl+n", Kestrin_ProFrame::idMenuNew},
                        {"ctrl+o", Kestrin_ProFrame::idMenuOpen},
                        {"ctrl+f", Kestrin_ProFrame::idMenuText}};
    for (const Case& place : places) {
        for (const Key& key : keys) {
            SCOPED_TRACE(std::string(place.where) + ", " + key.combo);
            // Save is offered only with a change to a named file.
            NameFile(dir + "/site.kt9");
            Choose(frame->Choice_CordTone, 1);
            SelectMode(2);  // New may have switched away the read-out's sub-page
            frame->Notebook1->SetSelection(place.page);
            Settle();
            ASSERT_TRUE(FocusOn(place.control()));
            commands.clear();
            xinput::Key(key.combo);
            EXPECT_TRUE(xinput::PumpUntil([&] { return commands[key.command] == 1; }, 1000));
            Settle();
            EXPECT_EQ(commands.size(), 1u);
        }
    }
    wxFileName::Rmdir(dir, wxPATH_RMDIR_RECURSIVE);
}

TEST_F(DesktopTest, InAnEditableFieldCtrlASelectsAllAndShiftCtrlSSavesAs) {
    if (!xinput::Available()) GTEST_SKIP() << "no XTEST on this display";
    frame->Notebook1->SetSelection(1);
    Settle();
    for (wxTextCtrl* text : {frame->TextCtrl_Button, frame->TextCtrl_CordID}) {
        SCOPED_TRACE(text->GetValue().ToStdString());
        ASSERT_TRUE(FocusOn(text));
        text->SetSelection(0, 0);
        commands.clear();
        xinput::Key("ctrl+a");
        EXPECT_TRUE(xinput::PumpUntil(
            [&] {
                long from, to;
                text->GetSelection(&from, &to);
                return from == 0 && to == text->GetLastPosition();
            },
            1000));
        Settle();
        EXPECT_TRUE(commands.empty());

        xinput::Key("shift+ctrl+s");
        EXPECT_TRUE(
            xinput::PumpUntil([&] { return commands[Kestrin_ProFrame::idMenuSaveAs] == 1; }, 1000));
        EXPECT_EQ(dialogs.back(), "Save Configuration File");
    }
}

TEST_F(DesktopTest, TabMovesThroughEachPageInReadingOrder) {
    if (!xinput::Available()) GTEST_SKIP() << "no XTEST on this display";
    SelectMode(1);  // every fall-detection control enabled and its sub-page shown
    Kestrin_ProFrame* f = frame;
    auto block = [&](int m) {
        return std::vector<wxWindow*>{f->TypeChoice(m), f->SpeedChoice(m), f->IdText(m),
                                      f->ToneChoice(m), f->MessageText(m)};
    };
    std::vector<wxWindow*> fallSub;
    for (int s = kestrin::kSliderFreeFallThresh; s <= kestrin::kSliderStabilityTimeout; s += 3) {
        for (int k = 0; k < 3; ++k) fallSub.push_back(f->ReadoutAt(s + k));
        for (int k = 0; k < 3; ++k) fallSub.push_back(f->SliderAt(s + k));
    }
    fallSub.push_back(f->TextCtrl_Angle);
    fallSub.push_back(f->Slider_Angle);
    auto join = [](std::initializer_list<std::vector<wxWindow*>> parts) {
        std::vector<wxWindow*> all;
        for (const auto& p : parts) all.insert(all.end(), p.begin(), p.end());
        return all;
    };
    // From the page tabs, Tab by Tab, left to right and top to bottom within
    // each group; the right-hand column follows every page.
    const std::vector<wxWindow*> pages[] = {
        {f->TextCtrl_Info, f->TextCtrl_FileName, f->TextCtrl_ShoeVersion},
        join({block(kestrin::kButton),
              {f->SpinCtrl_ButtonRepeat, f->Choice_ButtonRepeat},
              block(kestrin::kCord),
              {f->Choice_CordRepeat, f->CheckBox_CordIncTime},
              block(kestrin::kReed),
              {f->TextCtrl_FallOn, f->TextCtrl_FallOff},
              block(kestrin::kBatLow),
              block(kestrin::kBatShut)}),
        join({block(kestrin::kFall),
              {f->Choice_FallRepeatNum, f->Choice_FallRepeat, f->CheckBox_FallIncTime, f->RadioBox1,
               f->Notebook_FallDetect},
              fallSub}),
        join({block(kestrin::kTest),
              {f->SpinCtrl_TestHour, f->SpinCtrl_TestMin, f->SpinCtrl_TestSec},
              block(kestrin::kReset)}),
        {f->Button_FreqUp3, f->Button_FreqUp2, f->Button_FreqUp1, f->TextCtrl_Freq,
         f->Button_FreqDown3, f->Button_FreqDown2, f->Button_FreqDown1},
        {f->Button_Status, f->Button_Reset},
    };
    for (size_t p = 0; p < std::size(pages); ++p) {
        SCOPED_TRACE("page " + std::to_string(p));
        std::vector<wxWindow*> expected;
        for (wxWindow* w : pages[p])
            if (w->IsEnabled()) expected.push_back(w);
        for (wxWindow* w : {static_cast<wxWindow*>(f->BitmapButton_Logo),
                            static_cast<wxWindow*>(f->TextCtrl_Connectionstatus),
                            static_cast<wxWindow*>(f->Notebook1)})
            expected.push_back(w);
        frame->Notebook1->SetSelection(p);
        Settle();
        ASSERT_TRUE(FocusOn(frame->Notebook1));
        for (size_t i = 0; i < expected.size(); ++i) {
            xinput::Key("Tab");
            EXPECT_TRUE(xinput::PumpUntil([&] { return HasFocus(expected[i]); }, 1000))
                << "Tab " << i + 1 << " did not reach " << NameOf(expected[i]);
            if (!HasFocus(expected[i])) break;
        }
    }
}

#ifdef __WXGTK__
namespace {

struct Reached {
    std::string name, role;
};

// The controls a person changes or reads, as the accessibility bus has them:
// GTK's own accessible objects, which the bus bridge hands on one to one.
void Walk(AtkObject* node, std::vector<Reached>& out) {
    static const std::set<AtkRole> kControls = {
        ATK_ROLE_TEXT,          ATK_ROLE_ENTRY,       ATK_ROLE_SPIN_BUTTON,  ATK_ROLE_SLIDER,
        ATK_ROLE_COMBO_BOX,     ATK_ROLE_CHECK_BOX,   ATK_ROLE_RADIO_BUTTON, ATK_ROLE_PUSH_BUTTON,
        ATK_ROLE_TOGGLE_BUTTON, ATK_ROLE_PROGRESS_BAR};
    AtkStateSet* states = atk_object_ref_state_set(node);
    const bool visible = atk_state_set_contains_state(states, ATK_STATE_VISIBLE);
    g_object_unref(states);
    if (!visible) return;
    const AtkRole role = atk_object_get_role(node);
    if (kControls.count(role)) {
        const char* name = atk_object_get_name(node);
        out.push_back({name ? name : "", atk_role_get_name(role)});
        if (role == ATK_ROLE_COMBO_BOX) return;  // its items are the list's, not controls
    }
    const int n = atk_object_get_n_accessible_children(node);
    for (int i = 0; i < n; ++i) {
        AtkObject* child = atk_object_ref_accessible_child(node, i);
        if (!child) continue;
        Walk(child, out);
        g_object_unref(child);
    }
}

}  // namespace

TEST_F(DesktopTest, EveryControlHasAnAccessibleNameOfItsOwn) {
    SelectMode(1);  // a sub-page of each kind has been shown
    SelectMode(2);
    // What a programming run shows: the Cancel button and the notice.
    frame->Button_Cancel->Show();
    frame->ShowNotice("Programmed and checked.", Kestrin_ProFrame::NoticeKind::Good);
    EXPECT_STREQ(atk_object_get_name(gtk_widget_get_accessible(frame->Panel_Notice->GetHandle())),
                 "Programmed and checked.");
    std::vector<Reached> found;
    Walk(gtk_widget_get_accessible(frame->GetHandle()), found);
    ASSERT_GT(found.size(), 60u);  // the walk reached into every page
    std::map<std::string, int> seen;
    for (const Reached& r : found) {
        EXPECT_FALSE(r.name.empty()) << "a " << r.role << " without a name";
        if (!r.name.empty() && ++seen[r.name] == 2)
            ADD_FAILURE() << "two controls named \"" << r.name << "\" (" << r.role << ")";
    }
    // The names tell the group and the role.
    for (const char* name :
         {"Button Pressed Cap Code", "Button Pressed message text",
          "Button Pressed Number of Repeats", "Freefall Detection Threshold", "Frequency"})
        EXPECT_EQ(seen[name], 1) << name;
}
#endif
