// What the operator sees after a programming run: the notice, the warning
// that names what the transmitter holds otherwise, the backup and the log.
#include <filesystem>
#include <fstream>

#include "config/data_folder.h"
#include "config/programming_log.h"
#include "gui_test.h"
#include "sim/sim_backend.h"

using namespace kestrin;
namespace fs = std::filesystem;

namespace {

class VerificationTest : public FrameTest {
  protected:
    void SetUp() override {
        sim = &sim::InstallSimulatorBackend();
        FrameTest::SetUp();
        Tick();
        ASSERT_TRUE(connected && connectedRead);
        linesBefore = LogLines().size();
    }
    void Tick() {
        wxTimerEvent tick(frame->Timer1);
        frame->GetEventHandler()->ProcessEvent(tick);
    }
    std::vector<std::string> LogLines() const {
        std::ifstream in(fs::path(UserDataFolder()) / kLogFileName);
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }
    // The one line this test's run added.
    std::string NewLogLine() {
        const auto lines = LogLines();
        EXPECT_EQ(lines.size(), std::max<size_t>(linesBefore, 1) + 1);
        linesBefore = lines.size();
        return lines.empty() ? std::string() : lines.back();
    }
    // The notice's text as one line, however it is wrapped to the column.
    std::string Notice() const {
        if (!frame->Panel_Notice->IsShown()) return std::string();
        std::string text = frame->StaticText_Notice->GetLabel().ToStdString();
        for (char& c : text)
            if (c == '\n') c = ' ';
        return text;
    }
    sim::Simulator* sim = nullptr;
    size_t linesBefore = 0;
};

TEST_F(VerificationTest, AHealthyRunEndsProgrammedAndVerifiedWithABackupAndALogLine) {
    Click(frame->Button_Program);
    EXPECT_TRUE(boxes.empty()) << boxes[0].text;
    EXPECT_EQ(Notice().rfind("Programmed and verified at ", 0), 0u) << Notice();
    const std::string line = NewLogLine();
    EXPECT_NE(line.find(",verified,unsaved,0100000,"), std::string::npos) << line;
    EXPECT_NE(line.find(",433000000,Kestrin TQ9 firmware 3.1 serial 000123,"), std::string::npos)
        << line;
    const std::string backup = line.substr(line.rfind(',') + 1);
    EXPECT_TRUE(fs::exists(fs::path(UserDataFolder()) / "backups" / backup)) << backup;
    // The next run puts the notice away while it runs.
    NameFile("/tmp/site.kt9");
    frame->TextCtrl_Button->SetValue("CHANGED");
    Click(frame->Button_Program);
    EXPECT_NE(NewLogLine().find(",verified,site.kt9 (unsaved changes),"), std::string::npos);
}

TEST_F(VerificationTest, AWrongByteIsNamedAndTheFormIsLeftAsItWas) {
    ASSERT_TRUE(sim::ApplyFaultList("store-wrong:140", *sim, nullptr));
    NameFile("/tmp/site.kt9");
    Click(frame->Button_Program);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Warning");
    EXPECT_NE(boxes[0].text.find("does not hold the configuration"), std::string::npos);
    EXPECT_NE(boxes[0].text.find("Button Pressed, message text: sent \"PANIC BUTTON ALARM !!\", "
                                 "transmitter holds \"PAOIC BUTTON ALARM !!\""),
              std::string::npos)
        << boxes[0].text;
    EXPECT_EQ(frame->TextCtrl_Button->GetValue(), "PANIC BUTTON ALARM !!");
    EXPECT_FALSE(changeMade);
    EXPECT_EQ(Notice().find("NOT verified"), 0u) << Notice();
    EXPECT_NE(NewLogLine().find(",differences: 1,site.kt9,"), std::string::npos);
}

TEST_F(VerificationTest, WithoutTheReadCableTheNoticeSaysNotVerified) {
    sim->UnplugCable();
    Tick();
    ASSERT_FALSE(connectedRead);
    const size_t before = sim->Frames().size();
    Click(frame->Button_Program);
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(sim->Frames().size() - before, 14u);
    EXPECT_EQ(Notice().rfind("Sent but not verified at ", 0), 0u) << Notice();
    EXPECT_NE(Notice().find(": no read cable is connected."), std::string::npos) << Notice();
    EXPECT_NE(NewLogLine().find(",\"sent, not verified\","), std::string::npos);
}

TEST_F(VerificationTest, ATransmitterThatDoesNotAnswerTheBackupReadIsProgrammedOnlyOnYes) {
    sim->faults().transmitterSilent = true;
    answers = {wxNO};
    const size_t before = sim->Frames().size();
    Click(frame->Button_Program);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Please confirm");
    EXPECT_NE(boxes[0].text.find("did not answer the backup read"), std::string::npos);
    EXPECT_EQ(sim->Frames().size() - before, 1u);
    EXPECT_EQ(sim->RunsApplied(), 0);
    EXPECT_NE(NewLogLine().find(",cancelled,"), std::string::npos);

    boxes.clear();
    answers = {wxYES};
    Click(frame->Button_Program);
    EXPECT_EQ(sim->RunsApplied(), 1);
    ASSERT_EQ(boxes.size(), 2u);  // the question, then the unanswered check
    EXPECT_NE(boxes[1].text.find("did not answer the read-back that checks it"), std::string::npos);
}

}  // namespace
