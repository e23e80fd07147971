// Starts the toolkit once for the whole GUI suite and turns every toolkit
// assertion into a test failure, so none can reach an operator as a dialog;
// so is every GTK or GLib warning, which an operator would find on standard
// error.
#include <gtest/gtest.h>
#include <wx/evtloop.h>
#include <wx/image.h>
#include <wx/wx.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

#ifdef __WXGTK__
#include <glib.h>
#endif

#include "app/ui_hooks.h"
#include "device/ftdi.h"
#include "device/link.h"
#include "gui_test.h"
#include "tests/portable.h"

namespace {
class TestApp : public wxApp {
  public:
    bool OnInit() override { return true; }
};

void FailOnAssert(const wxString& file, int line, const wxString& func, const wxString& cond,
                  const wxString& msg) {
    ADD_FAILURE() << "toolkit assertion at " << file << ":" << line << " in " << func << ": "
                  << cond << " " << msg;
}
#ifdef __WXGTK__
int toolkitWarnings = 0;

// Every message goes through the writer, structured or not; warnings and
// worse fail the test that is running, or the run when none is.
GLogWriterOutput FailOnToolkitWarning(GLogLevelFlags level, const GLogField* fields, gsize count,
                                      gpointer data) {
    if (level & (G_LOG_LEVEL_ERROR | G_LOG_LEVEL_CRITICAL | G_LOG_LEVEL_WARNING)) {
        std::string domain, message;
        for (gsize i = 0; i < count; ++i) {
            const std::string key = fields[i].key;
            const char* value = static_cast<const char*>(fields[i].value);
            if (fields[i].length >= 0) continue;  // binary fields
            if (key == "GLIB_DOMAIN") domain = value;
            if (key == "MESSAGE") message = value;
        }
        ++toolkitWarnings;
        ADD_FAILURE() << "toolkit warning from " << (domain.empty() ? "?" : domain) << ": "
                      << message;
    }
    return g_log_writer_default(level, fields, count, data);
}
#endif
}  // namespace

void FrameTest::SetUp() {
    filePath.clear();
    fileName.clear();
    changeMade = false;
    connected = connectedRead = false;
    ftHandle = ftHandleRead = nullptr;
    kestrin_ui::MessageBox = [this](const wxString& text, const wxString& caption, long style,
                                    wxWindow* parent) {
        boxes.push_back({text.ToStdString(), caption.ToStdString(), style, parent != nullptr});
        if (answers.empty()) return static_cast<int>(wxOK);
        const int a = answers.front();
        answers.pop_front();
        return a;
    };
    kestrin_ui::ChooseFile = [this](wxFileDialog&, wxString& path) {
        if (chosenFiles.empty()) return false;
        path = chosenFiles.front();
        chosenFiles.pop_front();
        return true;
    };
    kestrin_ui::LaunchBrowser = [](const wxString&) {};
    frame = new Kestrin_ProFrame(nullptr, -1);
    frame->Timer1.Stop();  // ticks are driven by the tests
    frame->Show();
}

void FrameTest::TearDown() {
    if (frame) frame->Destroy();
    wxTheApp->ProcessIdle();
    frame = nullptr;
}

void FrameTest::Choose(wxChoice* c, int selection) {
    c->SetSelection(selection);
    wxCommandEvent e(wxEVT_CHOICE, c->GetId());
    e.SetInt(selection);
    e.SetEventObject(c);
    c->GetEventHandler()->ProcessEvent(e);
}

void FrameTest::Check(wxCheckBox* c, bool value) {
    c->SetValue(value);
    wxCommandEvent e(wxEVT_CHECKBOX, c->GetId());
    e.SetInt(value);
    e.SetEventObject(c);
    c->GetEventHandler()->ProcessEvent(e);
}

void FrameTest::Slide(wxSlider* s, int value) {
    s->SetValue(value);
    wxCommandEvent e(wxEVT_SLIDER, s->GetId());
    e.SetInt(value);
    e.SetEventObject(s);
    s->GetEventHandler()->ProcessEvent(e);
}

void FrameTest::Spin(wxSpinCtrl* s, int value) {
    s->SetValue(value);
    wxSpinEvent e(wxEVT_SPINCTRL, s->GetId());
    e.SetPosition(value);
    e.SetEventObject(s);
    s->GetEventHandler()->ProcessEvent(e);
}

void FrameTest::Click(wxButton* b) {
    wxCommandEvent e(wxEVT_BUTTON, b->GetId());
    e.SetEventObject(b);
    b->GetEventHandler()->ProcessEvent(e);
    WaitForDevice();
}

void FrameTest::WaitForDevice() {
    using Clock = std::chrono::steady_clock;
#if defined(_WIN32)
    // Under Wine a run with its verification takes several times longer.
    const auto limit = Clock::now() + std::chrono::seconds(90);
#else
    const auto limit = Clock::now() + std::chrono::seconds(20);
#endif
    while (frame && frame->DeviceBusy()) {
        if (Clock::now() > limit) {
            ADD_FAILURE() << "a device operation did not end";
            return;
        }
        wxEventLoopBase::GetActive()->DispatchTimeout(50);
    }
}

void FrameTest::Menu(long id) {
    wxCommandEvent e(wxEVT_MENU, id);
    e.SetEventObject(frame);
    frame->GetEventHandler()->ProcessEvent(e);
}

void FrameTest::SelectMode(int mode) {
    frame->RadioBox1->SetSelection(mode);
    wxCommandEvent e(wxEVT_RADIOBOX, frame->RadioBox1->GetId());
    e.SetInt(mode);
    e.SetEventObject(frame->RadioBox1);
    frame->RadioBox1->GetEventHandler()->ProcessEvent(e);
}

bool FrameTest::Accepts(wxTextCtrl* t, wxChar c) {
    wxKeyEvent e(wxEVT_CHAR);
    e.m_keyCode = c;
    e.m_uniChar = c;
    e.SetEventObject(t);
    e.SetId(t->GetId());
    wxValidator* v = t->GetValidator();
    if (!v) return true;
    // The validator consumes a refused key and lets an accepted one through.
    return !v->ProcessEventLocally(e);
}

void FrameTest::NameFile(const wxString& path) {
    filePath = path;
    fileName = kestrin_ui::FileNameOf(path);
    frame->SetTitle(fileName + " " + kTitle);
    frame->MenuItem4->Enable(false);
    changeMade = false;
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
#ifdef __WXGTK__
    g_log_set_writer_func(FailOnToolkitWarning, nullptr, nullptr);
#endif
    kestrin_test::SetEnv("KESTRIN_DEVICE", "simulator");
    // Backups and the programming log of the runs the tests make stay apart
    // from the user's own.
    const std::string dataDir = kestrin_test::MakeTempFolder("kestrin-gui-data").string();
    kestrin_test::SetEnv("KESTRIN_DATA_DIR", dataDir.c_str());
    wxApp::SetInstance(new TestApp);
    if (!wxEntryStart(argc, argv) || !wxTheApp->CallOnInit()) {
        fprintf(stderr, "cannot start the toolkit (no display?)\n");
        return 1;
    }
    wxSetAssertHandler(FailOnAssert);
    wxInitAllImageHandlers();
    kestrin::SelectAdapterBackendFromEnvironment();
    kestrin::SetPause([](int) {});  // tests never wait
    int rc;
    {
        wxEventLoop loop;
        wxEventLoopActivator active(&loop);
        rc = RUN_ALL_TESTS();
    }
    wxEntryCleanup();
    std::error_code ignored;
    std::filesystem::remove_all(dataDir, ignored);
#ifdef __WXGTK__
    if (toolkitWarnings > 0) {
        fprintf(stderr, "%d toolkit warnings\n", toolkitWarnings);
        if (rc == 0) rc = 1;
    }
#endif
    return rc;
}
