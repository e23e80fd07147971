// The connection monitor, the programming run, the read-back and the
// engineering commands in the real window against the simulated shoe, read
// cable and transmitter; pauses cost nothing here.
#include <wx/ffile.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <sstream>

#include "app/ui_hooks.h"
#include "config/decode.h"
#include "config/eeprom.h"
#include "config/encode.h"
#include "device/framing.h"
#include "device/link.h"
#include "gui_test.h"
#include "pages/readouts.h"
#include "sim/sim_backend.h"

using namespace kestrin;

namespace {

std::vector<Bytes> GoldenRun() {
    std::ifstream in(std::string(KESTRIN_SOURCE_DIR) + "/tests/core/golden_run.hex");
    std::vector<Bytes> frames;
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream hex(line);
        Bytes frame;
        unsigned byte;
        while (hex >> std::hex >> byte) frame.push_back(static_cast<uint8_t>(byte));
        if (!frame.empty()) frames.push_back(frame);
    }
    return frames;
}

class DeviceTest : public FrameTest {
  protected:
    void SetUp() override {
        sim = &sim::InstallSimulatorBackend();
        FrameTest::SetUp();
    }
    void Tick() {
        wxTimerEvent tick(frame->Timer1);
        frame->GetEventHandler()->ProcessEvent(tick);
    }
    // Frames the shoe received since `from`, stuffed as they travelled.
    std::vector<Bytes> WireFrom(size_t from) const {
        std::vector<Bytes> out;
        for (size_t i = from; i < sim->Frames().size(); ++i) out.push_back(Stuff(sim->Frames()[i]));
        return out;
    }
    // Only the programming run's frames, leaving out the reads around it.
    std::vector<Bytes> RunFrom(size_t from) const {
        std::vector<Bytes> out;
        for (const Bytes& f : WireFrom(from))
            if (f.size() > 1 && f[1] == kTypeRun) out.push_back(f);
        return out;
    }
    bool SawWarning(const std::string& start) const {
        for (const ShownBox& b : boxes)
            if (b.caption == "Warning" && b.text.rfind(start, 0) == 0) return true;
        return false;
    }
    sim::Simulator* sim = nullptr;
};

TEST_F(DeviceTest, ShoeConnectsAndDisconnectsWithinATickEach) {
    NameFile("/tmp/site.kt9");
    Tick();
    EXPECT_TRUE(connected);
    EXPECT_EQ(frame->TextCtrl_Connectionstatus->GetValue(), "CONNECTED");
    EXPECT_EQ(frame->TextCtrl_Connectionstatus->GetBackgroundColour(), wxColour(4, 255, 4));
    EXPECT_EQ(frame->TextCtrl_ShoeVersion->GetValue(), "2.07");
    EXPECT_TRUE(frame->Button_Program->IsEnabled());
    for (wxButton* b : frame->EngineeringButtons()) EXPECT_TRUE(b->IsEnabled()) << b->GetLabel();
    EXPECT_TRUE(frame->Button_Read->IsShown());
    // Plugging in a shoe is not an edit.
    EXPECT_EQ(frame->GetTitle(), "site.kt9 Kestrin-Pro Fr");
    EXPECT_FALSE(changeMade);

    sim->UnplugShoe();
    Tick();
    EXPECT_FALSE(connected);
    EXPECT_EQ(frame->TextCtrl_Connectionstatus->GetValue(), "DISCONNECTED");
    EXPECT_EQ(frame->TextCtrl_Connectionstatus->GetBackgroundColour(), wxColour(255, 4, 4));
    EXPECT_EQ(frame->TextCtrl_ShoeVersion->GetValue(), "");
    EXPECT_FALSE(frame->Button_Program->IsEnabled());
    for (wxButton* b : frame->EngineeringButtons()) EXPECT_FALSE(b->IsEnabled()) << b->GetLabel();
    EXPECT_TRUE(frame->Button_Read->IsShown());  // the cable is independent

    sim->PlugShoe();
    Tick();
    EXPECT_TRUE(connected);
    EXPECT_TRUE(frame->Button_Program->IsEnabled());
}

TEST_F(DeviceTest, OnlyTheTwoAcceptedShoesConnect) {
    struct Case {
        const char *serial, *description;
        bool accepted;
    };
    for (const Case& c :
         {Case{"KR123456", "FT232R USB UART", true}, Case{"FT123456", "USB BASE PROGRAMMER", true},
          Case{"KR123456", "USB BASE PROGRAMMER", false},
          Case{"FT123456", "FT232R USB UART", false},
          Case{"ft123456", "USB BASE PROGRAMMER", false}}) {
        SCOPED_TRACE(std::string(c.serial) + " / " + c.description);
        sim->UnplugShoe();
        Tick();
        sim->SetShoeIdentity(c.serial, c.description);
        sim->PlugShoe();
        Tick();
        EXPECT_EQ(connected, c.accepted);
        EXPECT_EQ(frame->Button_Program->IsEnabled(), c.accepted);
    }
}

TEST_F(DeviceTest, ShoeVersionIsCharactersFifteenToEighteen) {
    sim->SetVersionReply("ABCDEFGHIJKLMNOPQRSTU");
    Tick();
    EXPECT_EQ(frame->TextCtrl_ShoeVersion->GetValue(), "PQRS");
}

TEST_F(DeviceTest, AShoeThatCannotBeOpenedIsNotShownConnected) {
    // Another program holds the shoe.
    DWORD count = 0;
    ASSERT_EQ(FT_CreateDeviceInfoList(&count), FT_OK);
    FT_HANDLE held = nullptr;
    ASSERT_EQ(FT_Open(0, &held), FT_OK);
    Tick();
    EXPECT_FALSE(connected);
    EXPECT_EQ(frame->TextCtrl_Connectionstatus->GetValue(), "DISCONNECTED");
    EXPECT_FALSE(frame->Button_Program->IsEnabled());
    // Once it is free, the next tick connects.
    FT_Close(held);
    Tick();
    EXPECT_TRUE(connected);
}

TEST_F(DeviceTest, ReadCableAloneShowsReadButOnlyTheShoeEnablesTheRest) {
    sim->UnplugShoe();
    Tick();
    EXPECT_TRUE(connectedRead);
    EXPECT_TRUE(frame->Button_Read->IsShown());
    EXPECT_FALSE(frame->Button_Program->IsEnabled());
    for (wxButton* b : frame->EngineeringButtons()) EXPECT_FALSE(b->IsEnabled());
    sim->UnplugCable();
    Tick();
    EXPECT_FALSE(connectedRead);
    EXPECT_FALSE(frame->Button_Read->IsShown());
}

TEST_F(DeviceTest, ProgrammingTheStartupFormSendsTheGoldenRunAndTheTransmitterTakesIt) {
    Tick();
    const size_t before = sim->Frames().size();
    Click(frame->Button_Program);
    EXPECT_TRUE(boxes.empty());
    // A backup read before the run, a check after it.
    const std::vector<Bytes> wire = WireFrom(before);
    const Bytes d0 = Stuff(BuildFrame(kTypeCommand, ToBytes("D0")));
    const Bytes d1 = Stuff(BuildFrame(kTypeCommand, ToBytes("D1")));
    ASSERT_EQ(wire.size(), 18u);
    EXPECT_EQ(std::vector<Bytes>(wire.begin(), wire.begin() + 2), (std::vector<Bytes>{d0, d1}));
    EXPECT_EQ(std::vector<Bytes>(wire.end() - 2, wire.end()), (std::vector<Bytes>{d0, d1}));
    EXPECT_EQ(RunFrom(before), GoldenRun());
    EXPECT_EQ(sim->RunsApplied(), 1);
    EXPECT_FALSE(frame->Gauge_Transfer->IsShown());
    EXPECT_TRUE(frame->Button_Program->IsEnabled());
    EXPECT_EQ(EEPROM.freqNum, 3799737u);

    // The transmitter's image, field by field.
    const cfgStUnpacked& img = sim->Image().cfg;
    const auto text = [](const char* p, size_t n) { return std::string(p, strnlen(p, n)); };
    EXPECT_EQ(text(img.PMsgButtonMsg, 54), "PANIC BUTTON ALARM !!");
    EXPECT_EQ(std::string(img.PMsgButtonId, 7), "0100000");
    EXPECT_EQ(img.PMsgButtonType, 'A');
    EXPECT_EQ(img.PMsgButtonSpeed, 'F');
    EXPECT_EQ(img.PMsgButtonTone, 'A');
    EXPECT_EQ(text(img.PMsgAccelerometerONMsg, 22), "Fall Detection On!");
    EXPECT_EQ(text(img.PMsgAccelerometerOFFMsg, 22), "Fall Detection Off!");
    EXPECT_EQ(text(img.PMsgTestMsg, 22), "TEST CALL!!");
    EXPECT_EQ(img.BtnRepCnt, 1);
    EXPECT_EQ(img.BtnRepTmr, 554);
    EXPECT_EQ(img.CordRepTmr, 554);
    EXPECT_EQ(img.CordRepTmrInc, 1);
    EXPECT_EQ(img.FallRepCnt, 1);
    EXPECT_EQ(img.FallRepTmrInc, 1);
    EXPECT_EQ(img.TestRepTmr, 0);
    EXPECT_EQ(img.Lis302Allowed, 0);
    EXPECT_EQ(img.LowerThreshold, 2621);  // (0.80 * 64)^2 truncated
    EXPECT_EQ(img.LowerSamples, 10);
    EXPECT_EQ(img.LowerSampleTimeout, 40);
    EXPECT_EQ(img.UpperThreshold, 13271);
    EXPECT_EQ(img.StableThreshold, 4515);
    EXPECT_EQ(img.StableSamples, 52);
    EXPECT_EQ(img.StableSampleTimeout, 800);
    EXPECT_EQ(img.AxisThreshold, 40);
    EXPECT_EQ(img.TxF0, 0xB9);
    EXPECT_EQ(img.TxF1, 0xFA);
    EXPECT_EQ(img.TxF2, 0x39);
    EXPECT_EQ(img.ManDownLvl, 8);
    EXPECT_EQ(img.ManDownSamples, 120);
}

TEST_F(DeviceTest, RefusedRunsSendNothing) {
    Tick();
    struct Case {
        const char* what;
        std::function<void()> spoil;
        const char* warning;
    };
    const Case cases[] = {
        {"Cap Code in the reserved block", [&] { frame->TextCtrl_ResetID->SetValue("2007664"); },
         "Please ensure all Cap Codes are correct"},
        {"Cap Code too large", [&] { frame->TextCtrl_ButtonID->SetValue("2097152"); },
         "Please ensure all Cap Codes are correct"},
        {"empty Cap Code", [&] { frame->TextCtrl_FallID->SetValue(""); },
         "Please ensure all Cap Codes are correct"},
        {"frequency 0 Hz from a file", [&] { EEPROM.freq = 0; }, "Please ensure the frequency"},
        {"frequency in the unavailable band", [&] { EEPROM.freq = 457100000; },
         "Please ensure the frequency"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (int m = 0; m < kMsgCount; ++m) frame->IdText(m)->SetValue("0100000");
        EEPROM.freq = 433000000;
        c.spoil();
        boxes.clear();
        const size_t before = sim->Frames().size();
        Click(frame->Button_Program);
        EXPECT_TRUE(SawWarning(c.warning));
        EXPECT_EQ(sim->Frames().size(), before);
        EXPECT_FALSE(frame->Gauge_Transfer->IsShown());
    }
    EXPECT_EQ(sim->RunsApplied(), 0);
}

TEST_F(DeviceTest, UnplugOrFailedWriteMidRunStopsAndSaysSo) {
    Tick();
    const eeprom_union original = sim->Image();
    sim->faults().unplugShoeAfterWrites = 5;
    const size_t before = sim->Frames().size();
    Click(frame->Button_Program);
    EXPECT_TRUE(SawWarning("Programming did not complete"));
    EXPECT_LT(sim->Frames().size() - before, 7u);  // stopped at once
    EXPECT_FALSE(frame->Gauge_Transfer->IsShown());
    EXPECT_EQ(sim->RunsApplied(), 0);
    EXPECT_EQ(0, memcmp(sim->Image().raw, original.raw, kImageSize));

    sim->PlugShoe();
    Tick();
    Tick();
    sim->faults() = {};
    sim->faults().shortWriteLimit = 4;
    boxes.clear();
    Click(frame->Button_Status);
    EXPECT_TRUE(SawWarning("The command was not sent"));
}

TEST_F(DeviceTest, ReadBackFillsEveryControlAndProgramsBackIdentically) {
    Tick();
    // The simulated transmitter holds a configuration of its own; start from a changed form.
    frame->TextCtrl_Button->SetValue("changed");
    Slide(frame->Slider_ManSamples, 3);
    Click(frame->Button_Read);
    ASSERT_TRUE(boxes.empty()) << boxes[0].text;

    FormSnapshot expected = frame->ReadForm();
    DecodeImage(sim->Image(), expected);
    const FormSnapshot shown = frame->ReadForm();
    for (int m = 0; m < kMsgCount; ++m) {
        SCOPED_TRACE(kMessages[m].prefix);
        EXPECT_EQ(shown.msg[m].text, expected.msg[m].text);
        EXPECT_EQ(shown.msg[m].id, expected.msg[m].id);
        EXPECT_EQ(shown.msg[m].type, expected.msg[m].type);
        EXPECT_EQ(shown.msg[m].speed, expected.msg[m].speed);
        EXPECT_EQ(shown.msg[m].tone, expected.msg[m].tone);
    }
    EXPECT_EQ(shown.fallOn, expected.fallOn);
    EXPECT_EQ(shown.fallOff, expected.fallOff);
    EXPECT_EQ(shown.slider, expected.slider);
    EXPECT_EQ(shown.mode, expected.mode);
    EXPECT_EQ(shown.freq, expected.freq);
    EXPECT_EQ(shown.buttonRepeats, expected.buttonRepeats);
    EXPECT_EQ(shown.fallRepeatNum, expected.fallRepeatNum);
    EXPECT_EQ(frame->TextCtrl_Info->GetValue(), "Kestrin TQ9 firmware 3.1 serial 000123");
    // Dependent displays followed.
    EXPECT_EQ(frame->TextCtrl_ManSamples->GetValue(),
              SliderReadout(kSliderManSamples, shown.slider[kSliderManSamples]));
    EXPECT_EQ(frame->Choice_ButtonRepeat->IsEnabled(), shown.buttonRepeats > 0);
    EXPECT_EQ(frame->Notebook_FallDetect->GetSelection(), shown.mode);
    EXPECT_EQ(0, memcmp(eeprom.raw, sim->Image().raw, kImageSize));

    // Program, read back, program again: the same bytes on the wire.
    size_t before = sim->Frames().size();
    Click(frame->Button_Program);
    const std::vector<Bytes> first = RunFrom(before);
    Click(frame->Button_Read);
    before = sim->Frames().size();
    Click(frame->Button_Program);
    const std::vector<Bytes> second = RunFrom(before);
    ASSERT_EQ(first.size(), 14u);
    EXPECT_EQ(second, first);
}

TEST_F(DeviceTest, ReadBackFailuresLeaveTheFormAndImageAlone) {
    Tick();
    struct Case {
        const char* what;
        std::function<void()> fault;
        const char* warning;
    };
    const Case cases[] = {
        {"silent transmitter", [&] { sim->faults().transmitterSilent = true; },
         "No connection established\nCheck Kestrin's power and probe"},
        {"image reply cut short", [&] { sim->faults().cutReplyAfter = 300; },
         "The transmitter's reply was incomplete"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        sim->faults() = {};
        c.fault();
        boxes.clear();
        frame->TextCtrl_Button->SetValue("kept");
        const eeprom_union image = eeprom;
        Click(frame->Button_Read);
        EXPECT_TRUE(SawWarning(c.warning));
        EXPECT_EQ(frame->TextCtrl_Button->GetValue(), "kept");
        EXPECT_EQ(0, memcmp(eeprom.raw, image.raw, kImageSize));
        EXPECT_TRUE(frame->Button_Read->IsEnabled());
    }
}

TEST_F(DeviceTest, ReadBackOf2400BaudKeepsItVisibleAndProgramsItBack) {
    Tick();
    eeprom_union image = sim->Image();
    image.cfg.PMsgButtonSpeed = 'V';
    sim->SetImage(image);
    Click(frame->Button_Read);
    ASSERT_TRUE(boxes.empty());
    EXPECT_EQ(frame->Choice_ButtonSpeed->GetStringSelection(), "2400");
    Click(frame->Button_Program);
    EXPECT_EQ(sim->Image().cfg.PMsgButtonSpeed, 'V');
}

TEST_F(DeviceTest, ReadWithoutTheShoeSaysSoAndSendsNothing) {
    sim->UnplugShoe();
    Tick();
    EXPECT_EQ(ftHandle, nullptr);
    ASSERT_TRUE(frame->Button_Read->IsShown());
    const size_t before = sim->Frames().size();
    Click(frame->Button_Read);
    EXPECT_TRUE(SawWarning("The programming shoe is not connected"));
    EXPECT_EQ(sim->Frames().size(), before);
}

TEST_F(DeviceTest, EngineeringCommandsSendTheirPayloads) {
    Tick();
    const std::pair<wxButton*, std::string> table[] = {
        {frame->Button_Space, "T0"},        {frame->Button_Mark, "T1"},
        {frame->Button_Preamble512, "T2"},  {frame->Button_Preamble1200, "T3"},
        {frame->Button_Preamble2400, "T4"}, {frame->Button_Status, "S"},
        {frame->Button_Cali, "C"},          {frame->Button_Reset, "R"}};
    for (const auto& [button, payload] : table) Click(button);
    frame->Slider_Freq->SetValue(-1);
    Click(frame->Button_FreqProgram);
    std::vector<std::string> expected;
    for (const auto& entry : table) expected.push_back(entry.second);
    expected.push_back(std::string("F") + char(0xFF));
    EXPECT_EQ(sim->Commands(), expected);
    EXPECT_TRUE(boxes.empty());

    // On the wire, exactly as framed.
    const size_t before = sim->Frames().size();
    Click(frame->Button_Status);
    frame->Slider_Freq->SetValue(3);
    Click(frame->Button_FreqProgram);
    const std::vector<Bytes> wire = WireFrom(before);
    ASSERT_EQ(wire.size(), 2u);
    EXPECT_EQ(wire[0], (Bytes{0x01, 0x33, 0x02, 0x53, 0x62, 0x75, 0x03}));
    EXPECT_EQ(wire[1], (Bytes{0x01, 0x33, 0x02, 0x46, 0x10, 0x23, 0xF5, 0x01, 0x03}));
}

}  // namespace
