// The file commands of the main window: Save As, Save, Open, New and the text
// report, with the failures that must leave everything as it was.
#include <signal.h>
#include <stdlib.h>
#if defined(_WIN32)
#include <wx/msw/wrapwin.h>
#else
#include <sys/resource.h>
#include <sys/stat.h>
#endif
#include <wx/filefn.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/data_files.h"
#include "app/ui_hooks.h"
#include "config/config_file.h"
#include "config/decode.h"
#include "config/eeprom.h"
#include "gui_test.h"
#include "pages/readouts.h"
#include "tests/portable.h"

namespace fs = std::filesystem;
using namespace kestrin;
using F = Kestrin_ProFrame;

namespace {

std::string Slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void Spit(const fs::path& p, const std::string& bytes) {
    std::ofstream(p, std::ios::binary) << bytes;
}

// Every value a configuration file stores, as the file would hold it, so a
// mismatch names the key.
std::string Stored(FormSnapshot f, bool withFreq = true) {
    if (!withFreq) f.freq = 0;
    IniProfile p;
    WriteFormToProfile(f, p);
    return p.Serialize();
}

// A form where every stored value differs from the start-up form.
FormSnapshot EditedForm() {
    FormSnapshot f = StartupForm();
    for (int m = 0; m < kMsgCount; ++m) {
        f.msg[m].type = m % 2 == 0 ? 1 : 0;
        f.msg[m].speed = m == kFall ? kSpeed2400 : 0;  // 2400 only a read-back gives
        f.msg[m].id = std::to_string(1000000 + 1111 * m);
        f.msg[m].tone = 1 + m % 3;
        f.msg[m].text = "MSG " + std::to_string(m);
    }
    f.msg[kButton].text = "caf\xe9 \"quoted\"";
    f.fallOn = "Armed";
    f.fallOff = "Disarmed";
    f.buttonRepeats = 4;
    f.buttonRepeatTime = 5;
    f.cordRepeatTime = 0;
    f.cordIncTime = false;
    f.fallRepeatTime = 3;
    f.fallRepeatNum = 8;
    f.fallIncTime = false;
    f.testHour = 1;
    f.testMin = 5;
    f.testSec = 59;
    for (int s = kSliderAngle; s < kSliderCount; ++s)
        f.slider[s] = kSliders[s].min + (kSliders[s].max - kSliders[s].min) / 3;
    f.mode = 2;
    f.freq = 469997500;
    return f;
}

std::vector<std::string> SplitCrlf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t at = 0;
    for (std::size_t end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2)
        lines.push_back(text.substr(at, end - at));
    EXPECT_EQ(at, text.size()) << "text after the last CRLF";
    return lines;
}

// Makes a save over `file` fail: on Windows the file is held open without
// sharing, as another program may hold it; elsewhere every write past 64
// bytes fails, as on a full disk.
class SavesFail {
  public:
#if defined(_WIN32)
    explicit SavesFail(const fs::path& file)
        : h_(CreateFileW(file.wstring().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr)) {
        EXPECT_NE(h_, INVALID_HANDLE_VALUE) << file;
    }
    ~SavesFail() { CloseHandle(h_); }

  private:
    HANDLE h_;
#else
    explicit SavesFail(const fs::path&) {
        getrlimit(RLIMIT_FSIZE, &old_);
        oldHandler_ = signal(SIGXFSZ, SIG_IGN);
        struct rlimit small = old_;
        small.rlim_cur = 64;
        setrlimit(RLIMIT_FSIZE, &small);
    }
    ~SavesFail() {
        setrlimit(RLIMIT_FSIZE, &old_);
        signal(SIGXFSZ, oldHandler_);
    }

  private:
    struct rlimit old_;
    void (*oldHandler_)(int);
#endif
};

class FileCommandsTest : public FrameTest {
  protected:
    void SetUp() override {
        savedCwd = wxGetCwd();
        FrameTest::SetUp();
        dir = kestrin_test::MakeTempFolder("kestrin-files");
    }
    void TearDown() override {
        wxSetWorkingDirectory(savedCwd);
        FrameTest::TearDown();
        std::error_code ignored;
        if (!dir.empty()) fs::remove_all(dir, ignored);
    }

    wxString Path(const std::string& name) const {
        return wxString::FromUTF8((dir / name).string());
    }

    // Puts a snapshot into the controls as a loader would.
    void Load(const FormSnapshot& f) {
        frame->ApplyForm(f, true);
        frame->ReplayLoaderNotifications(false);
    }

    void ExpectCleanNamedFile(const wxString& path) {
        const wxString name = kestrin_ui::FileNameOf(path);
        EXPECT_EQ(filePath, path);
        EXPECT_EQ(fileName, name);
        EXPECT_EQ(frame->TextCtrl_FileName->GetValue(), name);
        EXPECT_EQ(frame->GetTitle(), name + " Kestrin-Pro Fr");
        EXPECT_FALSE(frame->MenuItem4->IsEnabled());
        EXPECT_FALSE(changeMade);
    }

    // The displays that the replayed notifications bring in line.
    void ExpectDisplaysFollow(const FormSnapshot& f) {
        for (int s = kSliderAngle; s < kSliderCount; ++s) {
            const SliderId id = static_cast<SliderId>(s);
            EXPECT_EQ(frame->ReadoutAt(s)->GetValue(), SliderReadout(id, f.slider[s]))
                << kSliders[s].name;
        }
        EXPECT_EQ(eeprom.cfg.ManDownLvl, f.slider[kSliderManMove]);
        EXPECT_EQ(eeprom.cfg.ManDownSamples, f.slider[kSliderManSamples]);
        EXPECT_EQ(frame->Notebook_FallDetect->GetSelection(), f.mode);
        EXPECT_EQ(frame->Slider_Angle->IsEnabled(), f.mode != 0);
        EXPECT_EQ(frame->Choice_FallType->IsEnabled(), f.mode != 0);
    }

    void ExpectOneWarning(const std::string& mentions) {
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].caption, "Warning");
        EXPECT_EQ(boxes[0].style, wxOK | wxICON_EXCLAMATION | wxCENTRE);
        EXPECT_TRUE(boxes[0].hasParent);
        EXPECT_NE(boxes[0].text.find(mentions), std::string::npos) << boxes[0].text;
    }

    fs::path dir;
    wxString savedCwd;
};

TEST_F(FileCommandsTest, SaveAsThenOpenInAFreshWindowReproducesTheForm) {
    Load(EditedForm());
    const FormSnapshot saved = frame->ReadForm();
    ASSERT_EQ(Stored(saved), Stored(EditedForm()));

    chosenFiles = {Path("site.kt9")};
    Menu(F::idMenuSaveAs);
    EXPECT_TRUE(boxes.empty());
    ExpectCleanNamedFile(Path("site.kt9"));

    // As after a restart: a new window naming some other clean file.
    frame->Destroy();
    wxTheApp->ProcessIdle();
    frame = new Kestrin_ProFrame(nullptr, -1);
    frame->Timer1.Stop();
    frame->Show();
    ASSERT_EQ(EEPROM.freq, 433000000u);
    NameFile(Path("old.kt9"));

    chosenFiles = {Path("site.kt9")};
    Menu(F::idMenuOpen);
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(Stored(frame->ReadForm()), Stored(saved));
    EXPECT_EQ(frame->SpeedChoice(kFall)->GetStringSelection(), "2400");
    EXPECT_EQ(frame->TextCtrl_Button->GetValue(), wxString::FromUTF8("caf\xc3\xa9 \"quoted\""));
    EXPECT_EQ(EEPROM.freq, 469997500u);
    EXPECT_EQ(frame->TextCtrl_Freq->GetValue(), "469.997 500 MHz");
    ExpectDisplaysFollow(saved);
    // The mode handler marks a change while loading; finishing clears it.
    ExpectCleanNamedFile(Path("site.kt9"));

    // The first edit marks the file; Save writes it without asking.
    frame->TextCtrl_Button->SetValue("EDITED");
    EXPECT_EQ(frame->GetTitle(), "site.kt9* Kestrin-Pro Fr");
    EXPECT_TRUE(frame->MenuItem4->IsEnabled());
    Menu(F::idMenuSave);
    EXPECT_TRUE(boxes.empty());
    ExpectCleanNamedFile(Path("site.kt9"));
    FormSnapshot onDisk = StartupForm();
    std::string error;
    ASSERT_TRUE(OpenConfigFile((dir / "site.kt9").string(), onDisk, true, &error)) << error;
    EXPECT_EQ(onDisk.msg[kButton].text, "EDITED");
}

TEST_F(FileCommandsTest, OpenTakesHandEditedFilesWithinTheControls) {
    Spit(dir / "hand.kt9",
         "; site notes\r\n"
         "[Site]\r\n"
         "Name=Ward 3\r\n"
         "[Button]\r\n"
         "Type=1\r\n"
         "Text=\"QUOTED TEXT\"\r\n"
         "Tone=9\r\n"
         "[Accl]\r\n"
         "Angle=250\r\n"
         "ManSamples=-3\r\n"
         "Enabled=1\r\n"
         "[Test]\r\n"
         "Hour=2\r\n");
    chosenFiles = {Path("hand.kt9")};
    Menu(F::idMenuOpen);
    EXPECT_TRUE(boxes.empty());
    ExpectCleanNamedFile(Path("hand.kt9"));

    EXPECT_EQ(frame->Choice_ButtonType->GetSelection(), 1);
    EXPECT_EQ(frame->TextCtrl_Button->GetValue(), "QUOTED TEXT");
    EXPECT_EQ(frame->Choice_ButtonTone->GetSelection(), 3);
    EXPECT_EQ(frame->SpinCtrl_TestHour->GetValue(), 2);
    // Missing keys and sections: choice 0, text empty, slider at its lowest.
    EXPECT_EQ(frame->Choice_ButtonSpeed->GetSelection(), 0);
    EXPECT_EQ(frame->TextCtrl_ButtonID->GetValue(), "");
    EXPECT_EQ(frame->TextCtrl_Reset->GetValue(), "");
    EXPECT_EQ(frame->TextCtrl_FallOn->GetValue(), "");
    EXPECT_FALSE(frame->CheckBox_CordIncTime->GetValue());
    EXPECT_EQ(frame->Slider_FreeFallThresh->GetValue(), 30);
    EXPECT_EQ(EEPROM.freq, 0u);
    EXPECT_EQ(frame->TextCtrl_Freq->GetValue(), "000.000 000 MHz");

    FormSnapshot expected = frame->ReadForm();
    EXPECT_EQ(expected.slider[kSliderAngle], 100);
    EXPECT_EQ(expected.slider[kSliderManSamples], 0);
    EXPECT_EQ(expected.mode, 1);
    ExpectDisplaysFollow(expected);
}

TEST_F(FileCommandsTest, OpenRefusesWhatIsNoConfigurationAndKeepsTheForm) {
    Spit(dir / "foreign.ini", "[Version]\r\nProgramming Software=1.8.3\r\n[Other]\r\nx=1\r\n");
    Spit(dir / "empty.kt9", "");
    fs::create_directory(dir / "folder.kt9");
    Load(EditedForm());
    NameFile(Path("current.kt9"));
    const std::string before = Stored(frame->ReadForm());
    const wxString freqText = frame->TextCtrl_Freq->GetValue();

    for (const char* name : {"foreign.ini", "empty.kt9", "missing.kt9", "folder.kt9"}) {
        SCOPED_TRACE(name);
        boxes.clear();
        chosenFiles = {Path(name)};
        Menu(F::idMenuOpen);
        ExpectOneWarning(name);
        EXPECT_EQ(Stored(frame->ReadForm()), before);
        EXPECT_EQ(frame->TextCtrl_Freq->GetValue(), freqText);
        EXPECT_EQ(filePath, Path("current.kt9"));
        EXPECT_EQ(frame->GetTitle(), "current.kt9 Kestrin-Pro Fr");
        EXPECT_FALSE(changeMade);
    }
}

TEST_F(FileCommandsTest, OpenGoesOnOnlyAfterTheChangesAreSafe) {
    chosenFiles = {Path("a.kt9")};
    Menu(F::idMenuSaveAs);

    // Yes, then the file dialog cancelled: the save stays made and current.
    frame->TextCtrl_Button->SetValue("EDIT ONE");
    answers = {wxYES};
    Menu(F::idMenuOpen);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Save changes to a.kt9?");
    ExpectCleanNamedFile(Path("a.kt9"));
    EXPECT_NE(Slurp(dir / "a.kt9").find("Text=EDIT ONE\r\n"), std::string::npos);

    // Yes with a save that fails, and Cancel: no file dialog, nothing lost.
    for (int answer : {wxYES, wxCANCEL}) {
        SCOPED_TRACE(answer);
        NameFile(Path("gone/b.kt9"));
        frame->TextCtrl_Button->SetValue("EDIT TWO");
        boxes.clear();
        answers = {answer};
        chosenFiles = {Path("a.kt9")};
        Menu(F::idMenuOpen);
        EXPECT_EQ(chosenFiles.size(), 1u) << "the file dialog was shown";
        EXPECT_EQ(boxes.size(), answer == wxYES ? 2u : 1u);
        EXPECT_EQ(frame->TextCtrl_Button->GetValue(), "EDIT TWO");
        EXPECT_EQ(frame->GetTitle(), "b.kt9* Kestrin-Pro Fr");
        EXPECT_TRUE(changeMade);
    }
}

TEST_F(FileCommandsTest, FailedSaveLeavesFileAndStateAsTheyWere) {
    chosenFiles = {Path("a.kt9")};
    Menu(F::idMenuSaveAs);
    const std::string original = Slurp(dir / "a.kt9");
    frame->TextCtrl_Button->SetValue("NOT SAVED");
    const std::string form = Stored(frame->ReadForm());

    auto expectUnchanged = [&] {
        EXPECT_EQ(Slurp(dir / "a.kt9"), original);
        EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
        EXPECT_EQ(Stored(frame->ReadForm()), form);
        EXPECT_EQ(filePath, Path("a.kt9"));
        EXPECT_EQ(frame->TextCtrl_FileName->GetValue(), "a.kt9");
        EXPECT_EQ(frame->GetTitle(), "a.kt9* Kestrin-Pro Fr");
        EXPECT_TRUE(frame->MenuItem4->IsEnabled());
        EXPECT_TRUE(changeMade);
    };

    {
        SCOPED_TRACE("Save that fails");
        SavesFail full(dir / "a.kt9");
        Menu(F::idMenuSave);
    }
    ExpectOneWarning("a.kt9");
    expectUnchanged();

    {
        SCOPED_TRACE("Save As into a missing folder");
        boxes.clear();
        chosenFiles = {Path("gone/b.kt9")};
        Menu(F::idMenuSaveAs);
        ExpectOneWarning("b.kt9");
        expectUnchanged();
    }

    {
        SCOPED_TRACE("Quit, Yes, and the save fails");
        boxes.clear();
        answers = {wxYES};
        {
            SavesFail full(dir / "a.kt9");
            Menu(F::idMenuQuit);
        }
        EXPECT_FALSE(frame->IsBeingDeleted());
        ASSERT_EQ(boxes.size(), 2u);
        EXPECT_EQ(boxes[0].caption, "Please confirm");
        EXPECT_EQ(boxes[1].caption, "Warning");
        expectUnchanged();
    }
}

TEST_F(FileCommandsTest, NewReadsTheDefaultFileAndKeepsTheFrequency) {
    FormSnapshot defaults = EditedForm();
    defaults.freq = 440000000;
    std::string error;
    ASSERT_TRUE(SaveConfigFile((dir / "Default.kt9").string(), defaults, &error)) << error;
    const std::string defaultBytes = Slurp(dir / "Default.kt9");
    ASSERT_TRUE(wxSetWorkingDirectory(Path("")));

    FormSnapshot current = StartupForm();
    current.freq = 450000000;
    Load(current);
    NameFile(Path("site.kt9"));
    frame->TextCtrl_Button->SetValue("UNSAVED");
    ASSERT_TRUE(changeMade);

    Menu(F::idMenuNew);
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(filePath, "./Default.kt9");
    EXPECT_EQ(fileName, "");
    EXPECT_EQ(frame->GetTitle(), "Kestrin-Pro Fr");
    EXPECT_EQ(frame->TextCtrl_FileName->GetValue(), "");
    EXPECT_FALSE(frame->MenuItem4->IsEnabled());
    EXPECT_TRUE(changeMade);  // left as it was

    EXPECT_EQ(Stored(frame->ReadForm(), false), Stored(defaults, false));
    EXPECT_EQ(EEPROM.freq, 450000000u);
    EXPECT_EQ(frame->TextCtrl_Freq->GetValue(), "450.000 000 MHz");
    ExpectDisplaysFollow(defaults);

    // Save cannot reach the default file.
    Menu(F::idMenuSave);
    EXPECT_EQ(Slurp(dir / "Default.kt9"), defaultBytes);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(FileCommandsTest, NewWithoutALocalDefaultReadsTheShippedOne) {
    ASSERT_TRUE(wxSetWorkingDirectory(Path("")));
    Load(EditedForm());
    Menu(F::idMenuNew);
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(filePath, kestrin_ui::FindDataFile("Default.kt9"));
    EXPECT_NE(filePath, "./Default.kt9");
    EXPECT_EQ(Stored(frame->ReadForm(), false), Stored(StartupForm(), false));
    ExpectDisplaysFollow(StartupForm());
}

TEST_F(FileCommandsTest, NewWithAnUnusableDefaultFileClearsTheFormAndSaysSo) {
    Spit(dir / "Default.kt9", "this is not a configuration\r\n");
    ASSERT_TRUE(wxSetWorkingDirectory(Path("")));
    Load(EditedForm());

    Menu(F::idMenuNew);
    ExpectOneWarning("Default.kt9");
    for (int m = 0; m < kMsgCount; ++m) {
        SCOPED_TRACE(kMessages[m].prefix);
        EXPECT_EQ(frame->TypeChoice(m)->GetSelection(), 0);
        EXPECT_EQ(frame->SpeedChoice(m)->GetSelection(), 0);
        EXPECT_EQ(frame->IdText(m)->GetValue(), "");
        EXPECT_EQ(frame->MessageText(m)->GetValue(), "");
    }
    EXPECT_EQ(frame->TextCtrl_FallOn->GetValue(), "");
    EXPECT_EQ(frame->SpinCtrl_ButtonRepeat->GetValue(), 0);
    EXPECT_EQ(frame->SpinCtrl_TestSec->GetValue(), 0);
    EXPECT_FALSE(frame->CheckBox_FallIncTime->GetValue());
    EXPECT_EQ(frame->Slider_FreeFallThresh->GetValue(), kSliders[kSliderFreeFallThresh].min);
    EXPECT_EQ(frame->Slider_ManSamples->GetValue(), 0);
    EXPECT_EQ(frame->RadioBox1->GetSelection(), 0);
    EXPECT_EQ(EEPROM.freq, 469997500u);
    ExpectDisplaysFollow(frame->ReadForm());
}

TEST_F(FileCommandsTest, ReportDescribesTheFormForEachMode) {
    struct Case {
        int mode;
        std::size_t lines;
        const char* modeLine;
    };
    const Case cases[] = {{0, 39, "Fall Detection Disabled"},
                          {1, 50, "Fall Detection Enabled"},
                          {2, 47, "ManDown Detection Enabled"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        Spit(dir / "report.txt", std::string(5000, 'x') + "\n");  // replaced whole
        SelectMode(c.mode);
        NameFile(Path("site.kt9"));
        const std::string form = Stored(frame->ReadForm());

        chosenFiles = {Path("report.txt")};
        Menu(F::idMenuText);
        EXPECT_TRUE(boxes.empty());
        const std::string text = Slurp(dir / "report.txt");
        EXPECT_EQ(text.rfind("KST TQ9 PARAMETERS\r\n", 0), 0u) << "no byte-order mark";
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'),
                  std::count(text.begin(), text.end(), '\r'));
        const std::vector<std::string> lines = SplitCrlf(text);
        ASSERT_EQ(lines.size(), c.lines);
        EXPECT_EQ(lines[2], "Frequency: 433.000 000 MHz");
        EXPECT_EQ(lines[4], c.modeLine);
        EXPECT_EQ(lines[8], "AlphaNumeric-1200 to 0100000 Beep type A, \"PANIC BUTTON ALARM !!\"");
        EXPECT_EQ(lines[9], "Repeat 0 times at 10 second intervals");
        EXPECT_EQ(lines[33], "Repeating every 0:0:0");
        const std::string last[] = {
            "", "Tilt detected at a value of " + frame->TextCtrl_Angle->GetValue().ToStdString(),
            "Man Down alarm triggered if a threshold of " +
                frame->TextCtrl_Movement->GetValue().ToStdString() + " is not exceeded for " +
                frame->TextCtrl_ManSamples->GetValue().ToStdString()};
        EXPECT_EQ(lines.back(), last[c.mode]);

        // Writing a report is no change to the configuration.
        EXPECT_EQ(Stored(frame->ReadForm()), form);
        EXPECT_EQ(frame->GetTitle(), "site.kt9 Kestrin-Pro Fr");
        EXPECT_FALSE(changeMade);
    }

    // Texts typed in the 8-bit set come out in UTF-8.
    frame->TextCtrl_Button->SetValue(wxString::FromUTF8("Caf\xc3\xa9"));
    chosenFiles = {Path("report.txt")};
    Menu(F::idMenuText);
    EXPECT_EQ(SplitCrlf(Slurp(dir / "report.txt"))[8],
              "AlphaNumeric-1200 to 0100000 Beep type A, \"Caf\xc3\xa9\"");
}

TEST_F(FileCommandsTest, ReportThatCannotBeWrittenIsReported) {
    chosenFiles = {Path("gone/report.txt")};
    Menu(F::idMenuText);
    ExpectOneWarning("report.txt");
    EXPECT_FALSE(fs::exists(dir / "gone"));
}

TEST_F(FileCommandsTest, CancelledDialogsChangeNothing) {
    chosenFiles = {Path("a.kt9")};
    Menu(F::idMenuSaveAs);
    frame->TextCtrl_Button->SetValue("EDITED");
    const std::string original = Slurp(dir / "a.kt9");
    const std::string form = Stored(frame->ReadForm());
    for (long id : {F::idMenuSaveAs, F::idMenuText, F::idMenuOpen}) {
        answers = {wxNO};  // Open: discard the changes, then cancel
        Menu(id);
        EXPECT_EQ(Stored(frame->ReadForm()), form);
        EXPECT_EQ(filePath, Path("a.kt9"));
        EXPECT_EQ(frame->GetTitle(), "a.kt9* Kestrin-Pro Fr");
        EXPECT_TRUE(changeMade);
        EXPECT_EQ(Slurp(dir / "a.kt9"), original);
        EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
    }
}

#if !defined(_WIN32)  // FIFOs and /dev/null; tests/windows has the Windows forms
// A FIFO, a device or a folder named where a file is expected: every file
// command refuses it at once with a message naming it, and nothing changes.
TEST_F(FileCommandsTest, EveryFileCommandRefusesWhatIsNoRegularFileAtOnce) {
    ASSERT_EQ(mkfifo((dir / "site.kt9").c_str(), 0600), 0);
    fs::create_directory(dir / "folder.kt9");
    chosenFiles = {Path("a.kt9")};
    Menu(F::idMenuSaveAs);
    Load(EditedForm());
    const std::string form = Stored(frame->ReadForm());

    auto refused = [&](long id, const wxString& path, const std::string& verb) {
        SCOPED_TRACE(path.ToStdString() + " " + verb);
        boxes.clear();
        chosenFiles = {path};
        answers = {wxNO};  // Open: leave the changes
        // A wait on the FIFO would never end; the bound leaves room for a busy
        // machine.
        const auto start = std::chrono::steady_clock::now();
        Menu(id);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
        ASSERT_EQ(boxes.size(), id == F::idMenuOpen ? 2u : 1u);
        EXPECT_EQ(boxes.back().text,
                  FileErrorText(verb.c_str(), path.ToStdString(), kNotRegularReason));
        EXPECT_EQ(Stored(frame->ReadForm()), form);
        EXPECT_EQ(filePath, Path("a.kt9"));
    };
    for (const wxString& path : {Path("site.kt9"), Path("folder.kt9"), wxString("/dev/null")}) {
        refused(F::idMenuOpen, path, "Cannot open");
        refused(F::idMenuSaveAs, path, "Cannot write");
        refused(F::idMenuText, path, "Cannot write");
    }

    // Save to a current file that has since become a FIFO.
    fs::remove(dir / "a.kt9");
    ASSERT_EQ(mkfifo((dir / "a.kt9").c_str(), 0600), 0);
    refused(F::idMenuSave, Path("a.kt9"), "Cannot write");
    EXPECT_TRUE(changeMade);
    EXPECT_TRUE(fs::is_fifo(dir / "a.kt9"));

    // New passes over a FIFO for its default file, at once, to the shipped one.
    fs::rename(dir / "site.kt9", dir / "Default.kt9");
    ASSERT_TRUE(wxSetWorkingDirectory(Path("")));
    boxes.clear();
    const auto start = std::chrono::steady_clock::now();
    Menu(F::idMenuNew);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(frame->TextCtrl_Button->GetValue(), kMessages[kButton].defaultText);
}

#endif

// A read-back can bring texts holding CR, LF and other control bytes. They
// show on one line, save and reopen to the same bytes, and the report keeps
// one item a line.
TEST_F(FileCommandsTest, ReadBackTextsWithLineBreaksKeepOneLineEverywhere) {
    eeprom_union image{};
    const char button[] = "PANIC\r\nROOM 12\x01";
    std::memcpy(image.cfg.PMsgButtonMsg, button, sizeof button - 1);
    std::memcpy(image.cfg.PMsgReedActivatedMsg, "a\rb", 3);
    FormSnapshot f = frame->ReadForm();
    DecodeImage(image, f);
    ASSERT_EQ(f.msg[kButton].text, "PANIC\r\nROOM 12\x01");
    Load(f);
    EXPECT_EQ(frame->TextCtrl_Button->GetValue(),
              wxString::FromUTF8("PANIC\xe2\x90\x8d\xe2\x90\x8aROOM 12\xe2\x90\x81"));
    EXPECT_EQ(frame->TextCtrl_Button->GetNumberOfLines(), 1);
    EXPECT_EQ(frame->ReadForm().msg[kButton].text, f.msg[kButton].text);

    chosenFiles = {Path("read.kt9")};
    Menu(F::idMenuSaveAs);
    ASSERT_TRUE(boxes.empty()) << boxes[0].text;
    Load(StartupForm());
    chosenFiles = {Path("read.kt9")};
    answers = {wxNO};  // leave the start-up form
    Menu(F::idMenuOpen);
    ExpectCleanNamedFile(Path("read.kt9"));
    EXPECT_EQ(frame->ReadForm().msg[kButton].text, "PANIC\r\nROOM 12\x01");
    EXPECT_EQ(frame->ReadForm().msg[kReed].text, "a\rb");

    chosenFiles = {Path("report.txt")};
    Menu(F::idMenuText);
    const std::vector<std::string> lines = SplitCrlf(Slurp(dir / "report.txt"));
    ASSERT_EQ(lines.size(), 39u);
    EXPECT_NE(lines[8].find("\"PANIC\xe2\x90\x8d\xe2\x90\x8aROOM 12\xe2\x90\x81\""),
              std::string::npos)
        << lines[8];
    EXPECT_NE(lines[18].find("\"a\xe2\x90\x8d"
                             "b\""),
              std::string::npos)
        << lines[18];
}

// The 2400 item belongs to a read-back that had it: a form loaded or reset
// without it must not offer it, or a later save could store Speed=2.
TEST_F(FileCommandsTest, The2400ItemGoesWithTheMessageThatHadIt) {
    FormSnapshot with2400 = StartupForm();
    with2400.msg[kFall].speed = kSpeed2400;
    Load(with2400);
    EXPECT_EQ(frame->SpeedChoice(kFall)->GetCount(), 3u);
    EXPECT_EQ(frame->SpeedChoice(kButton)->GetCount(), 2u);

    Spit(dir / "plain.kt9", Stored(StartupForm()));
    chosenFiles = {Path("plain.kt9")};
    answers = {wxNO};
    Menu(F::idMenuOpen);
    ASSERT_TRUE(boxes.empty());
    for (int m = 0; m < kMsgCount; ++m) EXPECT_EQ(frame->SpeedChoice(m)->GetCount(), 2u) << m;

    Load(with2400);
    Spit(dir / "Default.kt9", Stored(StartupForm()));
    ASSERT_TRUE(wxSetWorkingDirectory(Path("")));
    Menu(F::idMenuNew);
    EXPECT_EQ(frame->SpeedChoice(kFall)->GetCount(), 2u);
    EXPECT_EQ(frame->SpeedChoice(kFall)->GetSelection(), 1);

    // A file that has it brings it back.
    Spit(dir / "fast.kt9", Stored(with2400));
    chosenFiles = {Path("fast.kt9")};
    Menu(F::idMenuOpen);
    EXPECT_EQ(frame->SpeedChoice(kFall)->GetStringSelection(), "2400");

    // Choosing another speed leaves no message at 2400: the item goes, and
    // the choice is an edit like any other.
    Choose(frame->SpeedChoice(kFall), 0);
    EXPECT_EQ(frame->SpeedChoice(kFall)->GetCount(), 2u);
    EXPECT_EQ(frame->SpeedChoice(kFall)->GetSelection(), 0);
    EXPECT_TRUE(changeMade);
}

}  // namespace
