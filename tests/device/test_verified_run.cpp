// Verified programming against the simulated transmitter: the comparison of
// what was sent with what is held, the whole sequence with each fault, the
// backups and the programming log.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "config/backup.h"
#include "config/config_file.h"
#include "config/encode.h"
#include "config/form.h"
#include "config/programming_log.h"
#include "config/verify.h"
#include "device/link.h"
#include "device/verified_run.h"
#include "pages/frequency.h"
#include "sim/sim_backend.h"
#include "tests/portable.h"

namespace kestrin {
namespace {

namespace fs = std::filesystem;

class VerifiedRunTest : public ::testing::Test {
  protected:
    void SetUp() override {
        sim = &sim::InstallSimulatorBackend();
        SetPause([](int) {});
        DWORD n = 0;
        ASSERT_EQ(FT_CreateDeviceInfoList(&n), FT_OK);
        ASSERT_EQ(FT_Open(0, &adapters.shoe), FT_OK);
        char cable[] = "TTL232R-3V3";
        ASSERT_EQ(FT_OpenEx(cable, FT_OPEN_BY_DESCRIPTION, &adapters.cable), FT_OK);
        Encode(StartupForm());
        dir = kestrin_test::MakeTempFolder("kestrin-verify");
        request.backupFolder = (dir / "backups").string();
    }
    void TearDown() override {
        SetPause(nullptr);
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }
    void Encode(const FormSnapshot& form) {
        eeprom_union image{};
        EncodeForm(form, request.cfg, image);
        request.cfg.freq = form.freq;
        request.cfg.freqNum = FreqToSynthWord(form.freq);
        request.manDownLvl = image.cfg.ManDownLvl;
        request.manDownSamples = image.cfg.ManDownSamples;
    }
    RunReport Run(ProgramAnyway ask = nullptr) {
        return ProgramAndVerify(adapters, request, runCrc, nullptr, cancel, ask, when);
    }
    std::vector<std::string> Settings(const std::vector<Difference>& d) {
        std::vector<std::string> out;
        for (const Difference& x : d) out.push_back(x.setting);
        return out;
    }

    sim::Simulator* sim = nullptr;
    Adapters adapters;
    RunRequest request;
    boost::crc_ccitt_type runCrc{0xFFFF};
    CancelFlag cancel{false};
    fs::path dir;
    const std::time_t when = 1796000000;
};

TEST_F(VerifiedRunTest, EachSettingThatIsHeldOtherwiseIsNamedInTheFormsWords) {
    // What a transmitter that took the run holds.
    ASSERT_EQ(Run().verdict, Verdict::Verified);
    const eeprom_union good = sim->Image();
    EXPECT_TRUE(
        CompareWithImage(request.cfg, request.manDownLvl, request.manDownSamples, good).empty());

    struct Case {
        std::function<void(cfgStUnpacked&)> spoil;
        const char* setting;
        const char* sent;
        const char* held;
    };
    const Case cases[] = {
        {[](cfgStUnpacked& c) { c.PMsgButtonMsg[2] = 'O'; }, "Button Pressed, message text",
         "\"PANIC BUTTON ALARM !!\"", "\"PAOIC BUTTON ALARM !!\""},
        {[](cfgStUnpacked& c) { c.PMsgButtonMsg[21] = 'X'; }, "Button Pressed, message text",
         "\"PANIC BUTTON ALARM !!\"", "\"PANIC BUTTON ALARM !!X\""},
        {[](cfgStUnpacked& c) { c.PMsgCordType = 'N'; }, "Pull Cord Removed, message type",
         "AlphaNumeric", "Numeric"},
        {[](cfgStUnpacked& c) { c.PMsgReedActivatedSpeed = 'N'; },
         "Magnet Wand Touched to Kestrin, baud rate", "1200 baud", "512 baud"},
        {[](cfgStUnpacked& c) { c.PMsgBtryLowId[6] = '9'; }, "Battery Low, Cap Code", "0100000",
         "0100009"},
        {[](cfgStUnpacked& c) { c.PMsgBtryShutDownTone = 'D'; }, "Battery Shutdown, tone", "A",
         "D"},
        {[](cfgStUnpacked& c) { c.PMsgResetTone = 'Q'; }, "Reset Message, tone", "A", "code 0x51"},
        {[](cfgStUnpacked& c) { c.PMsgAccelerometerONMsg[0] = 'f'; },
         "Fall detector Activated, message text", "\"Fall Detection On!\"",
         "\"fall Detection On!\""},
        {[](cfgStUnpacked& c) { c.PMsgAccelerometerOFFMsg[0] = 0; },
         "Fall detector Disabled, message text", "\"Fall Detection Off!\"", "\"\""},
        {[](cfgStUnpacked& c) { c.BtnRepCnt = 3; }, "Button Pressed, Number of Repeats", "0", "2"},
        {[](cfgStUnpacked& c) { c.BtnRepTmr = 1143; }, "Button Pressed, Repeat Time",
         "10 s (554 ticks)", "20 s (1143 ticks)"},
        {[](cfgStUnpacked& c) { c.CordRepTmr = 555; }, "Pull Cord Removed, Repeat Time",
         "10 s (554 ticks)", "10 s (555 ticks)"},
        {[](cfgStUnpacked& c) { c.CordRepTmrInc = 0; },
         "Pull Cord Removed, Increase time per repeat", "on", "off"},
        {[](cfgStUnpacked& c) { c.FallRepCnt = 255; }, "Fall Detected Message, Number of Repeats",
         "0 (1)", "Inf (255)"},
        {[](cfgStUnpacked& c) { c.FallRepTmr = 260; }, "Fall Detected Message, Repeat Time",
         "10 s (554 ticks)", "5 s (260 ticks)"},
        {[](cfgStUnpacked& c) { c.FallRepTmrInc = 0; },
         "Fall Detected Message, Increase time per repeat", "on", "off"},
        {[](cfgStUnpacked& c) { c.TestRepTmr = 853; }, "Test Call, Repeat Time",
         "0 h 00 min 00 s (0 ticks)", "1 h 00 min 00 s (853 ticks)"},
        {[](cfgStUnpacked& c) { c.Lis302Allowed = 1; }, "Detection mode", "None", "Fall Detection"},
        {[](cfgStUnpacked& c) { c.LowerThreshold = 2620; }, "Freefall Detection, Threshold",
         "0.80g (2621)", "0.80g (2620)"},
        {[](cfgStUnpacked& c) { c.LowerSamples = 12; }, "Freefall Detection, Time Beneath",
         "25ms (10)", "30ms (12)"},
        {[](cfgStUnpacked& c) { c.LowerSampleTimeout = 0; }, "Freefall Detection, Timeout",
         "100ms (40)", "0ms (0)"},
        {[](cfgStUnpacked& c) { c.UpperThreshold = 1; }, "Shock Detection, Threshold", nullptr,
         nullptr},
        {[](cfgStUnpacked& c) { c.UpperSamples = 1; }, "Shock Detection, Time Above", nullptr,
         nullptr},
        {[](cfgStUnpacked& c) { c.UpperSampleTimeout = 1; }, "Shock Detection, Timeout", nullptr,
         nullptr},
        {[](cfgStUnpacked& c) { c.StableThreshold = 1; }, "Stability, Threshold", nullptr, nullptr},
        {[](cfgStUnpacked& c) { c.StableSamples = 1; }, "Stability, Time Stable", nullptr, nullptr},
        {[](cfgStUnpacked& c) { c.StableSampleTimeout = 1; }, "Stability, Timeout", nullptr,
         nullptr},
        {[](cfgStUnpacked& c) { c.AxisThreshold = 64; }, "Tilt", "63% (40)", "100% (64)"},
        {[](cfgStUnpacked& c) { c.TxF1 = 0xFB; }, "Frequency", "433.000 000 MHz (word 39FAB9)",
         nullptr},
        {[](cfgStUnpacked& c) { c.ManDownLvl = 9; }, "Man Down, Movement Required to Prevent Alarm",
         "30% (8)", "35% (9)"},
        {[](cfgStUnpacked& c) { c.ManDownSamples = 0; }, "Man Down, Stationary Timeout",
         "60.0s (120)", "0.0s (0)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.setting);
        eeprom_union held = good;
        c.spoil(held.cfg);
        const auto d =
            CompareWithImage(request.cfg, request.manDownLvl, request.manDownSamples, held);
        ASSERT_EQ(d.size(), 1u) << (d.empty() ? "" : DifferenceLine(d[1]));
        EXPECT_EQ(d[0].setting, c.setting);
        if (c.sent) {
            EXPECT_EQ(d[0].sent, c.sent);
        }
        if (c.held) {
            EXPECT_EQ(d[0].held, c.held);
        }
        EXPECT_NE(d[0].sent, d[0].held);
    }
    // A held byte the form never shows is no difference of the run's.
    eeprom_union held = good;
    held.cfg.TxFAdjust = 7;
    held.cfg.BtryLevel = 1;
    EXPECT_TRUE(
        CompareWithImage(request.cfg, request.manDownLvl, request.manDownSamples, held).empty());
}

TEST_F(VerifiedRunTest, ShortCapCodesAndEveryModeVerify) {
    for (int mode = 0; mode <= 2; ++mode) {
        SCOPED_TRACE(mode);
        FormSnapshot form = StartupForm();
        form.mode = mode;
        form.msg[kButton].id = "123";  // written as 0000123
        form.msg[kCord].text = "x";    // far shorter than its slot
        Encode(form);
        const RunReport r = Run();
        EXPECT_EQ(r.verdict, Verdict::Verified) << VerdictDetails(r);
        EXPECT_EQ(std::string(sim->Image().cfg.PMsgButtonId, 7), "0000123");
        EXPECT_EQ(sim->Image().cfg.Lis302Allowed, mode);
    }
    eeprom_union held = sim->Image();
    held.cfg.PMsgButtonId[6] = '4';
    const auto d = CompareWithImage(request.cfg, request.manDownLvl, request.manDownSamples, held);
    ASSERT_EQ(d.size(), 1u);
    EXPECT_EQ(DifferenceLine(d[0]),
              "Button Pressed, Cap Code: sent 0000123, transmitter holds 0000124");
}

TEST_F(VerifiedRunTest, EachFaultOfTheTransmitterIsReportedWithTheSettingsItConcerns) {
    struct Case {
        const char* faults;
        Verdict verdict;
        std::vector<std::string> named;     // all of these differ
        std::vector<std::string> notNamed;  // none of these
    };
    const Case cases[] = {
        {"", Verdict::Verified, {}, {}},
        {"store-wrong:140", Verdict::Differences, {"Button Pressed, message text"}, {}},
        {"ignore-run",
         Verdict::Differences,
         {"Button Pressed, message text", "Pull Cord Removed, message text", "Detection mode"},
         {}},
        {"apply-packets:3",
         Verdict::Differences,
         {"Battery Shutdown, message text", "Fall Detected Message, message text",
          "Reset Message, message text", "Detection mode"},
         {"Button Pressed, message text", "Pull Cord Removed, message text",
          "Battery Low, message text", "Button Pressed, Repeat Time"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.faults);
        SetUp();
        std::string error;
        ASSERT_TRUE(sim::ApplyFaultList(c.faults, *sim, &error)) << error;
        const RunReport r = Run();
        EXPECT_TRUE(r.run.ok());
        EXPECT_EQ(r.verdict, c.verdict) << VerdictDetails(r);
        const auto named = Settings(r.differences);
        for (const std::string& s : c.named)
            EXPECT_NE(std::find(named.begin(), named.end(), s), named.end()) << s << " in\n"
                                                                             << VerdictDetails(r);
        for (const std::string& s : c.notNamed)
            EXPECT_EQ(std::find(named.begin(), named.end(), s), named.end()) << s;
        if (c.verdict == Verdict::Differences) {
            EXPECT_NE(VerdictDetails(r).find("does not hold the configuration"), std::string::npos);
            EXPECT_EQ(LogOutcome(r), "differences: " + std::to_string(r.differences.size()));
        }
    }
    SetUp();
    ASSERT_TRUE(sim::ApplyFaultList("store-wrong:140", *sim, nullptr));
    const RunReport r = Run();
    ASSERT_EQ(r.differences.size(), 1u);
    EXPECT_EQ(DifferenceLine(r.differences[0]),
              "Button Pressed, message text: sent \"PANIC BUTTON ALARM !!\", transmitter holds "
              "\"PAOIC BUTTON ALARM !!\"");
}

TEST_F(VerifiedRunTest, WithoutACableTheRunIsSentButNotVerified) {
    ASSERT_TRUE(sim::ApplyFaultList("no-cable", *sim, nullptr));
    adapters.cable = nullptr;  // as the monitor leaves it
    const size_t before = sim->Frames().size();
    const RunReport r = Run();
    EXPECT_EQ(r.verdict, Verdict::NotVerified);
    EXPECT_EQ(sim->Frames().size() - before, 14u);
    EXPECT_EQ(sim->RunsApplied(), 1);
    EXPECT_TRUE(r.backupPath.empty());
    EXPECT_EQ(VerdictSummary(r), "Sent but not verified: no read cable is connected");
    EXPECT_EQ(LogOutcome(r), "sent, not verified");
}

TEST_F(VerifiedRunTest, ASilentTransmitterIsProgrammedOnlyIfTheOperatorSaysSo) {
    ASSERT_TRUE(sim::ApplyFaultList("silent", *sim, nullptr));
    std::string asked;
    const size_t before = sim->Frames().size();
    RunReport r = Run([&](const std::string& why) {
        asked = why;
        return false;
    });
    EXPECT_NE(asked.find("did not answer the backup read"), std::string::npos) << asked;
    EXPECT_EQ(r.verdict, Verdict::Cancelled);
    EXPECT_EQ(sim->Frames().size() - before, 1u);  // the unanswered information request
    EXPECT_EQ(LogOutcome(r), "cancelled");

    r = Run([](const std::string&) { return true; });
    EXPECT_TRUE(r.run.ok());
    EXPECT_EQ(r.verdict, Verdict::VerifyNoReply);
    EXPECT_EQ(LogOutcome(r), "sent, not verified");
    // A reply cut short at the check is said as such.
    SetUp();
    ASSERT_TRUE(sim::ApplyFaultList("cut-reply:300", *sim, nullptr));
    r = Run([](const std::string&) { return true; });
    EXPECT_EQ(r.verdict, Verdict::VerifyIncomplete);
}

TEST_F(VerifiedRunTest, TheBackupReopensToWhatTheTransmitterHeldBefore) {
    const eeprom_union previous = sim->Image();
    const RunReport r = Run();
    ASSERT_EQ(r.verdict, Verdict::Verified);
    ASSERT_FALSE(r.backupPath.empty());
    EXPECT_EQ(fs::path(r.backupPath).filename().string(),
              FileStamp(when) + "_0200001.kt9");  // the Button Cap Code held before

    FormSnapshot reopened = StartupForm();
    std::string error;
    ASSERT_TRUE(OpenConfigFile(r.backupPath, reopened, true, &error)) << error;
    const FormSnapshot expected = BackupForm(previous);
    for (int m = 0; m < kMsgCount; ++m) {
        EXPECT_EQ(reopened.msg[m].text, expected.msg[m].text);
        EXPECT_EQ(reopened.msg[m].id, expected.msg[m].id);
        EXPECT_EQ(reopened.msg[m].type, expected.msg[m].type);
        EXPECT_EQ(reopened.msg[m].tone, expected.msg[m].tone);
    }
    EXPECT_EQ(reopened.msg[kButton].text, "SIM PANIC BUTTON, ROOM 12");
    // The tuning correction has no key in a configuration file; the .img keeps it.
    for (int s = kSliderAngle; s < kSliderCount; ++s)
        EXPECT_EQ(reopened.slider[s], expected.slider[s]);
    EXPECT_EQ(reopened.mode, expected.mode);
    EXPECT_EQ(reopened.freq, expected.freq);
    // 20470 ticks of 4.2209 s: 24 h 0 min 2 s.
    EXPECT_EQ(reopened.testHour, 24);
    EXPECT_EQ(reopened.testMin, 0);
    EXPECT_EQ(reopened.testSec, 2);

    eeprom_union raw{};
    const std::string img = r.backupPath.substr(0, r.backupPath.size() - 4) + ".img";
    ASSERT_TRUE(ReadImageFile(img, raw, &error)) << error;
    EXPECT_EQ(0, memcmp(raw.raw, previous.raw, kImageSize));

    // A second backup in the same second keeps the first.
    const RunReport again = Run();
    EXPECT_NE(again.backupPath, r.backupPath);
    EXPECT_TRUE(fs::exists(r.backupPath));
}

TEST(ProgrammingLog, OneLinePerRunUnderAHeader) {
    const fs::path dir = kestrin_test::MakeTempFolder("kestrin-log");
    LogEntry e;
    e.when = 1796000000;
    e.outcome = "differences: 2";
    e.configuration = "ward, \"B\".kt9";
    e.capCodes.fill("0100000");
    e.frequency = 433002500;
    e.transmitter = "serial 12\r\nfirmware 3";
    std::string error;
    ASSERT_TRUE(AppendToLog((dir / "data").string(), e, &error)) << error;
    e.outcome = "verified";
    e.configuration.clear();
    ASSERT_TRUE(AppendToLog((dir / "data").string(), e, &error)) << error;

    std::ifstream in(dir / "data" / kLogFileName);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    in.close();  // an open file cannot be removed on Windows
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], LogHeader());
    EXPECT_EQ(lines[0].rfind("time,outcome,configuration,Button Cap Code,", 0), 0u);
    EXPECT_NE(lines[1].find(",differences: 2,\"ward, \"\"B\"\".kt9\",0100000,"), std::string::npos)
        << lines[1];
    EXPECT_NE(lines[1].find(",433002500,serial 12  firmware 3,"), std::string::npos) << lines[1];
    EXPECT_NE(lines[2].find(",verified,unsaved,"), std::string::npos) << lines[2];

    // A folder that cannot be made is a clear refusal, not a crash.
    std::ofstream(dir / "file") << "x";
    EXPECT_FALSE(AppendToLog((dir / "file" / "sub").string(), e, &error));
    EXPECT_NE(error.find("file"), std::string::npos) << error;
    fs::remove_all(dir);
}

TEST(SimulatorFaults, ANameThatIsNoFaultIsRefusedAndChangesNothing) {
    sim::Simulator sim;
    std::string error;
    EXPECT_FALSE(sim::ApplyFaultList("silent,store-wrong:600", sim, &error));
    EXPECT_NE(error.find("store-wrong:600"), std::string::npos);
    EXPECT_FALSE(sim.faults().transmitterSilent);
    EXPECT_FALSE(sim::ApplyFaultList("lightning", sim, &error));
    EXPECT_TRUE(sim::ApplyFaultList(" silent , cut-reply:12,unplug-shoe-after:3", sim, &error));
    EXPECT_TRUE(sim.faults().transmitterSilent);
    EXPECT_EQ(sim.faults().cutReplyAfter, 12u);
    EXPECT_EQ(sim.faults().unplugShoeAfterWrites, 3);
}

}  // namespace
}  // namespace kestrin
