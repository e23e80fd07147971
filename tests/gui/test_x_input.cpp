// The real-input helper itself: typed keys reach the focused field through
// the display server.
#include "gui_test.h"
#include "x_input.h"

TEST_F(FrameTest, TypedKeysReachTheFocusedField) {
    if (!xinput::Available()) GTEST_SKIP() << "no XTEST on this display";
    frame->Notebook1->SetSelection(1);
    xinput::Pump(100);
    wxTextCtrl* text = frame->TextCtrl_Button;
    text->ChangeValue("");
    xinput::Focus(text);
    xinput::Type("Ab 1!");
    EXPECT_TRUE(xinput::PumpUntil([&] { return text->GetValue() == "Ab 1!"; }, 2000))
        << text->GetValue();
}
