// What a person's clicks and keys do around a device operation, sent as real
// X input: one click is one operation, input made during it is lost rather
// than replayed afterwards, and Cancel stops a run.
#include <condition_variable>
#include <mutex>

#include "config/eeprom.h"
#include "device/link.h"
#include "gui_test.h"
#include "sim/sim_backend.h"
#include "x_input.h"

using namespace kestrin;

namespace {

// Holds the worker in its n-th pacing pause until released, so the test can
// act on the window in the middle of an operation. A programming run paces
// the two requests of its backup read, then its start packet (3) and each
// data packet k (3 + k). The short waits inside reading a reply do not count.
class PauseGate {
  public:
    explicit PauseGate(int at) {
        SetPause([this, at](int ms) {
            if (ms < PauseMs(0)) return;
            std::unique_lock<std::mutex> lock(m_);
            if (++count_ != at) return;
            reached_ = true;
            cv_.wait(lock, [this] { return open_; });
        });
    }
    ~PauseGate() { Release(); }
    bool Reached() {
        std::lock_guard<std::mutex> lock(m_);
        return reached_;
    }
    void Release() {
        {
            std::lock_guard<std::mutex> lock(m_);
            open_ = true;
        }
        cv_.notify_all();
    }

  private:
    std::mutex m_;
    std::condition_variable cv_;
    int count_ = 0;
    bool reached_ = false, open_ = false;
};

class OperationInputTest : public FrameTest {
  protected:
    void SetUp() override {
        sim = &sim::InstallSimulatorBackend();
        FrameTest::SetUp();
        if (!xinput::Available()) GTEST_SKIP() << "no XTEST on this display";
        wxTimerEvent tick(frame->Timer1);
        frame->GetEventHandler()->ProcessEvent(tick);
        ASSERT_TRUE(connected);
        xinput::Pump(200);  // drawn, so clicks land where the controls are
    }
    void TearDown() override {
        WaitForDevice();
        SetPause([](int) {});
        FrameTest::TearDown();
    }
    void ShowPage(int page) {
        frame->Notebook1->SetSelection(page);
        xinput::Pump(150);
    }
    // Starts a run with a real click and holds it at the given pause.
    void ClickProgramAndHold(PauseGate& gate) {
        xinput::Click(frame->Button_Program);
        ASSERT_TRUE(xinput::PumpUntil([&] { return gate.Reached(); }, 3000));
    }
    // After the operation: long enough for anything replayed to show.
    void FinishAndSettle(PauseGate& gate) {
        gate.Release();
        WaitForDevice();
        xinput::Pump(600);
    }
    size_t RunFrames(size_t from) const {
        size_t n = 0;
        for (size_t i = from; i < sim->Frames().size(); ++i)
            if (sim->Frames()[i].size() > 1 && sim->Frames()[i][1] == kTypeRun) ++n;
        return n;
    }
    size_t EndPackets() const {
        size_t n = 0;
        for (const Bytes& f : sim->Frames())
            if (f.size() > 3 && f[1] == kTypeRun && f[3] == 'Z') ++n;
        return n;
    }
    sim::Simulator* sim = nullptr;
};

TEST_F(OperationInputTest, ADoubleClickOnProgramIsOneRunOfFourteenFrames) {
    PauseGate gate(1);
    const size_t before = sim->Frames().size();
    xinput::DoubleClick(frame->Button_Program, 150);
    ASSERT_TRUE(xinput::PumpUntil([&] { return gate.Reached(); }, 3000));
    xinput::Pump(400);  // the second click arrives while the run holds
    FinishAndSettle(gate);
    EXPECT_EQ(RunFrames(before), 14u);
    EXPECT_EQ(sim->Frames().size() - before, 18u);  // with the backup read and the check
    EXPECT_EQ(EndPackets(), 1u);
    EXPECT_EQ(sim->RunsApplied(), 1);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(OperationInputTest, KeysAndClicksDuringARunChangeNothingAfterIt) {
    // New (Ctrl-N) would reset the form; the Reset button would send "R".
    frame->TextCtrl_Button->ChangeValue("MY TEXT");
    ShowPage(5);
    PauseGate gate(3);
    ClickProgramAndHold(gate);
    xinput::Key("ctrl+n");
    xinput::Click(frame->Button_Reset);
    xinput::Click(frame->Button_Status);
    xinput::Type("typed during the run");
    xinput::Key("Tab");
    xinput::Key("space");
    xinput::Pump(300);
    FinishAndSettle(gate);

    EXPECT_TRUE(sim->Commands().empty());
    EXPECT_EQ(EndPackets(), 1u);
    EXPECT_EQ(sim->RunsApplied(), 1);
    EXPECT_EQ(frame->TextCtrl_Button->GetValue(), "MY TEXT");
    EXPECT_TRUE(boxes.empty());
    // The window takes input again once the run has ended.
    EXPECT_TRUE(frame->Button_Reset->IsEnabled());
    xinput::Click(frame->Button_Reset);
    EXPECT_TRUE(xinput::PumpUntil([&] { return !sim->Commands().empty(); }, 2000));
    WaitForDevice();
    EXPECT_EQ(sim->Commands(), std::vector<std::string>{"R"});
}

TEST_F(OperationInputTest, TextTypedIntoAFieldDuringARunIsLost) {
    ShowPage(1);
    frame->TextCtrl_Button->ChangeValue("");
    xinput::Focus(frame->TextCtrl_Button);
    PauseGate gate(2);
    ClickProgramAndHold(gate);
    xinput::Focus(frame->TextCtrl_Button);
    xinput::Type("LOST");
    xinput::Pump(300);
    FinishAndSettle(gate);
    EXPECT_EQ(frame->TextCtrl_Button->GetValue(), "");
    EXPECT_EQ(sim->RunsApplied(), 1);
}

TEST_F(OperationInputTest, CancelStopsTheRunWithoutAnEndPacketAndSaysSo) {
    const eeprom_union original = sim->Image();
    const size_t before = sim->Frames().size();
    PauseGate gate(6);  // the pause after data packet 3
    ClickProgramAndHold(gate);
    ASSERT_TRUE(frame->Button_Cancel->IsShownOnScreen());
    EXPECT_TRUE(frame->Gauge_Transfer->IsShown());
    xinput::Click(frame->Button_Cancel);
    xinput::Pump(200);
    FinishAndSettle(gate);

    EXPECT_EQ(RunFrames(before), 4u);  // start and packets 1 to 3
    EXPECT_EQ(sim->Frames().size() - before, 6u);  // and the backup read; no check
    EXPECT_EQ(EndPackets(), 0u);
    EXPECT_EQ(sim->RunsApplied(), 0);
    EXPECT_EQ(0, memcmp(sim->Image().raw, original.raw, kImageSize));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Warning");
    EXPECT_EQ(boxes[0].text.rfind("Programming was cancelled before packet 4 of 12", 0), 0u)
        << boxes[0].text;
    EXPECT_NE(boxes[0].text.find("not given a complete configuration"), std::string::npos);
    EXPECT_FALSE(frame->Gauge_Transfer->IsShown());
    EXPECT_FALSE(frame->Button_Cancel->IsShown());
    EXPECT_TRUE(frame->Button_Program->IsEnabled());
}

TEST_F(OperationInputTest, TheCloseBoxDuringARunAsksAndCancelsOrGoesOn) {
    NameFile("/tmp/site.kt9");
    {
        // "No": the run goes on and the window stays.
        PauseGate gate(4);
        ClickProgramAndHold(gate);
        answers = {wxNO};
        EXPECT_FALSE(frame->Close(false));
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].caption, "Please confirm");
        FinishAndSettle(gate);
        EXPECT_EQ(sim->RunsApplied(), 1);
        EXPECT_FALSE(frame->IsBeingDeleted());
    }
    boxes.clear();
    {
        // "Yes": the run stops before its next packet, then the window closes.
        PauseGate gate(4);
        ClickProgramAndHold(gate);
        answers = {wxYES};
        frame->Close(false);
        const size_t sent = sim->Frames().size();
        gate.Release();
        ASSERT_TRUE(xinput::PumpUntil([&] { return frame->IsBeingDeleted(); }, 5000));
        EXPECT_EQ(sim->Frames().size(), sent);
        EXPECT_EQ(EndPackets(), 1u);  // only the first run's
        EXPECT_EQ(sim->RunsApplied(), 1);
        frame = nullptr;  // destroyed by the close
    }
}

}  // namespace
