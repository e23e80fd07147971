// The simulated shoe, read cable and transmitter, driven through the common
// adapter operations as the program drives real hardware.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <string>

#include "device/ftdi.h"
#include "device/payloads.h"
#include "sim/sim_backend.h"

namespace kestrin::sim {
namespace {

class SimulatorTest : public ::testing::Test {
  protected:
    void SetUp() override { model_ = &InstallSimulatorBackend(); }

    FT_HANDLE OpenShoe() {
        DWORD n = 0;
        FT_HANDLE h = nullptr;
        EXPECT_EQ(FT_CreateDeviceInfoList(&n), FT_OK);
        EXPECT_EQ(FT_Open(0, &h), FT_OK);
        return h;
    }

    FT_HANDLE OpenCable() {
        char name[] = "TTL232R-3V3";
        FT_HANDLE h = nullptr;
        EXPECT_EQ(FT_OpenEx(name, FT_OPEN_BY_DESCRIPTION, &h), FT_OK);
        return h;
    }

    static FT_STATUS WriteRaw(FT_HANDLE h, Bytes bytes) {
        DWORD written = 0;
        return FT_Write(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written);
    }

    static FT_STATUS Send(FT_HANDLE h, uint8_t type, const std::string& payload) {
        return WriteRaw(h, Stuff(BuildFrame(type, ToBytes(payload))));
    }

    // Byte by byte until a read brings nothing, as the program reads replies.
    static Bytes ReadReply(FT_HANDLE h) {
        Bytes out;
        uint8_t b;
        DWORD got = 0;
        while (FT_Read(h, &b, 1, &got) == FT_OK && got == 1) out.push_back(b);
        return out;
    }

    Simulator* model_ = nullptr;
};

TEST_F(SimulatorTest, ShoeAnswersTheVersionQuery) {
    FT_HANDLE shoe = OpenShoe();
    ASSERT_EQ(WriteRaw(shoe, {0x01, 0x31, 0x02, 0x03}), FT_OK);
    const Bytes reply = ReadReply(shoe);
    EXPECT_EQ(std::string(reply.begin(), reply.end()).substr(15, 4), "2.07");
}

TEST_F(SimulatorTest, EnumeratesWhatIsPluggedIn) {
    model_->SetShoeIdentity("KR123456", "FT232R USB UART");
    model_->AddDevice("A1B2C3", "USB <-> Serial");
    model_->UnplugCable();
    DWORD n = 0;
    ASSERT_EQ(FT_CreateDeviceInfoList(&n), FT_OK);
    ASSERT_EQ(n, 2u);
    char serial[kFtSerialLen], desc[kFtDescriptionLen];
    DWORD f, t, id, loc;
    FT_HANDLE h;
    ASSERT_EQ(FT_GetDeviceInfoDetail(0, &f, &t, &id, &loc, serial, desc, &h), FT_OK);
    EXPECT_STREQ(serial, "KR123456");
    EXPECT_STREQ(desc, "FT232R USB UART");
    ASSERT_EQ(FT_GetDeviceInfoDetail(1, &f, &t, &id, &loc, serial, desc, &h), FT_OK);
    EXPECT_STREQ(desc, "USB <-> Serial");
    char cable[] = "TTL232R-3V3";
    EXPECT_EQ(FT_OpenEx(cable, FT_OPEN_BY_DESCRIPTION, &h), FT_DEVICE_NOT_FOUND);

    model_->UnplugShoe();  // the list is stale now
    EXPECT_EQ(FT_Open(0, &h), FT_DEVICE_NOT_FOUND);
}

TEST_F(SimulatorTest, UnpluggedHandleStaysDeadAfterReplug) {
    FT_HANDLE shoe = OpenShoe();
    DWORD rx, tx, ev;
    EXPECT_EQ(FT_GetStatus(shoe, &rx, &tx, &ev), FT_OK);
    FT_HANDLE again;
    EXPECT_EQ(FT_Open(0, &again), FT_DEVICE_NOT_OPENED);  // one handle per device
    model_->UnplugShoe();
    EXPECT_EQ(FT_GetStatus(shoe, &rx, &tx, &ev), FT_IO_ERROR);
    model_->PlugShoe();
    EXPECT_EQ(FT_GetStatus(shoe, &rx, &tx, &ev), FT_IO_ERROR);
    EXPECT_EQ(Send(shoe, kTypeCommand, "S"), FT_IO_ERROR);
    EXPECT_EQ(FT_Close(shoe), FT_OK);
    FT_HANDLE fresh = OpenShoe();
    EXPECT_EQ(FT_GetStatus(fresh, &rx, &tx, &ev), FT_OK);
}

// A configuration unlike the simulator's own, with bytes that need stuffing.
Config HandMadeConfig() {
    Config c;
    c.PMsgButton = std::string("AF1234567B") + "Help, room 7";
    c.PMsgCord = std::string("NN0000042C") + "42";
    c.PMsgBtryLow = std::string("AF0100000A") + "BAT LOW";
    c.PMsgBtryShutDown = std::string("AF0100000D") + "BAT OUT";
    c.PMsgFall = std::string("AN2007663A") + "FALL \x10\x03!";
    c.PMsgTest = std::string("AF0100001B") + "TEST";
    c.PMsgReset = std::string("AF0100002C") + "RESET";
    c.PMsgReedActivated = "NF0100003D";  // no text at all
    c.PMsgFallOff = std::string("NF0100003D") + "OFF";
    c.PMsgFallOn = std::string("NF0100003D") + std::string(30, 'X');  // longer than the slot
    c.BtnRepTmr = 0x1003;
    c.BtnRepCnt = 5;
    c.CordRepTmr = 1731;
    c.CordRepTmrInc = 1;
    c.FallRepNum = 255;
    c.FallRepTmr = 3496;
    c.FallRepTmrInc = 1;
    c.TestRepTmr = 852;
    c.accOn = '2';
    c.lowerThresh = 368;
    c.lowerCount = 2;
    c.lowerTimeout = 4;
    c.upperThresh = 16384;
    c.upperCount = 6;
    c.upperTimeout = 8;
    c.stableThresh = 4096;
    c.stableCount = 12;
    c.stableTimeout = 16;
    c.angle = 32;
    c.freq = 433000000;
    return c;
}

// Frames of a whole run, each unstuffed, as the program sends them, with the
// program's own run CRC in the end frame. `edit` may change the data frames
// (after the CRC has seen them, like damage on the wire) or drop some.
std::vector<Bytes> RunFrames(const Config& c,
                             const std::function<void(std::vector<Bytes>&)>& wireDamage = {},
                             const std::function<void(std::vector<Bytes>&)>& plan = {}) {
    std::vector<Bytes> data;
    for (const Bytes& p : RunPayloads(c, 10, 200)) data.push_back(BuildFrame(kTypeRun, p));
    if (plan) plan(data);
    boost::crc_ccitt_type run(0xFFFF);
    for (const Bytes& f : data) run.process_bytes(f.data(), f.size());
    if (wireDamage) wireDamage(data);
    std::vector<Bytes> frames{BuildFrame(kTypeRun, {'0'})};
    frames.insert(frames.end(), data.begin(), data.end());
    frames.push_back(BuildEndFrame(run));
    return frames;
}

void ExpectSlot(const eeprom_union& im, SlotPlace s, const std::string& record) {
    std::string want = record.substr(0, kSlotTextOffset + s.textLen);
    want.resize(kSlotTextOffset + s.textLen, '\0');
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(im.raw + s.offset), want.size()), want)
        << "slot at " << s.offset;
}

TEST_F(SimulatorTest, CompleteRunIsWrittenIntoTheImage) {
    FT_HANDLE shoe = OpenShoe();
    const Config c = HandMadeConfig();
    const eeprom_union before = model_->Image();
    // A command sent mid-run is part of the run CRC on both sides.
    const Bytes status = BuildFrame(kTypeCommand, {'S'});
    std::vector<Bytes> frames =
        RunFrames(c, {}, [&](std::vector<Bytes>& d) { d.insert(d.begin() + 3, status); });
    for (const Bytes& f : frames) ASSERT_EQ(WriteRaw(shoe, Stuff(f)), FT_OK);

    EXPECT_EQ(model_->RunsApplied(), 1);
    EXPECT_EQ(model_->Commands(), std::vector<std::string>{"S"});
    const eeprom_union& im = model_->Image();
    ExpectSlot(im, slot::Button, c.PMsgButton);
    ExpectSlot(im, slot::Cord, c.PMsgCord);
    ExpectSlot(im, slot::BtryLow, c.PMsgBtryLow);
    ExpectSlot(im, slot::BtryShutDown, c.PMsgBtryShutDown);
    ExpectSlot(im, slot::Fall, c.PMsgFall);
    ExpectSlot(im, slot::Test, c.PMsgTest);
    ExpectSlot(im, slot::Reset, c.PMsgReset);
    ExpectSlot(im, slot::ReedActivated, c.PMsgReedActivated);
    ExpectSlot(im, slot::AccelerometerOFF, c.PMsgFallOff);
    ExpectSlot(im, slot::AccelerometerON, c.PMsgFallOn);
    const cfgStUnpacked& f = im.cfg;
    EXPECT_EQ(f.BtnRepTmr, 0x1003);
    EXPECT_EQ(f.BtnRepCnt, 5);
    EXPECT_EQ(f.CordRepTmr, 1731);
    EXPECT_EQ(f.CordRepTmrInc, 1);
    EXPECT_EQ(f.FallRepCnt, 255);
    EXPECT_EQ(f.FallRepTmr, 3496);
    EXPECT_EQ(f.FallRepTmrInc, 1);
    EXPECT_EQ(f.TestRepTmr, 852);
    EXPECT_EQ(f.Lis302Allowed, 2);
    EXPECT_EQ(f.LowerThreshold, 368);
    EXPECT_EQ(f.LowerSamples, 2);
    EXPECT_EQ(f.LowerSampleTimeout, 4);
    EXPECT_EQ(f.UpperThreshold, 16384);
    EXPECT_EQ(f.UpperSamples, 6);
    EXPECT_EQ(f.UpperSampleTimeout, 8);
    EXPECT_EQ(f.StableThreshold, 4096);
    EXPECT_EQ(f.StableSamples, 12);
    EXPECT_EQ(f.StableSampleTimeout, 16);
    EXPECT_EQ(f.AxisThreshold, 32);
    EXPECT_EQ(f.TxF0, 0xB9);
    EXPECT_EQ(f.TxF1, 0xFA);
    EXPECT_EQ(f.TxF2, 0x39);
    EXPECT_EQ(f.ManDownLvl, 10);
    EXPECT_EQ(f.ManDownSamples, 200);
    // What a run does not carry stays as the device had it.
    EXPECT_EQ(f.TxFAdjust, before.cfg.TxFAdjust);
    EXPECT_EQ(f.RstMsgEnable, before.cfg.RstMsgEnable);
    EXPECT_EQ(0, memcmp(im.raw + 457, before.raw + 457, kImageSize - 457));
}

struct BrokenRun {
    const char* name;
    std::function<void(std::vector<Bytes>&)> wireDamage;
    std::function<void(std::vector<Bytes>&)> plan;
    std::function<void(std::vector<Bytes>&)> endDamage;
};
void PrintTo(const BrokenRun& r, std::ostream* os) { *os << r.name; }

class BrokenRunTest : public SimulatorTest, public ::testing::WithParamInterface<BrokenRun> {};

TEST_P(BrokenRunTest, LeavesTheImageAsItWas) {
    FT_HANDLE shoe = OpenShoe();
    const eeprom_union before = model_->Image();
    std::vector<Bytes> frames = RunFrames(HandMadeConfig(), GetParam().wireDamage, GetParam().plan);
    if (GetParam().endDamage) GetParam().endDamage(frames);
    for (const Bytes& f : frames) WriteRaw(shoe, Stuff(f));
    EXPECT_EQ(model_->RunsApplied(), 0);
    EXPECT_EQ(0, memcmp(model_->Image().raw, before.raw, kImageSize));
}

// The end frame with its run CRC's low byte changed and a valid packet CRC.
void WrongRunCrc(std::vector<Bytes>& frames) {
    Bytes& end = frames.back();
    frames.back() = BuildFrame(kTypeRun, {'Z', end[4], static_cast<uint8_t>(end[5] ^ 0x01)});
}

INSTANTIATE_TEST_SUITE_P(
    Runs, BrokenRunTest,
    ::testing::Values(
        BrokenRun{"WrongRunCrc", {}, {}, WrongRunCrc},
        BrokenRun{
            "BadPacketCrc", [](std::vector<Bytes>& d) { d[4][d[4].size() - 2] ^= 0x40; }, {}, {}},
        BrokenRun{"MissingPacket", {}, [](std::vector<Bytes>& d) { d.erase(d.begin() + 6); }, {}},
        BrokenRun{"NoStartPacket", {}, {}, [](std::vector<Bytes>& f) { f.erase(f.begin()); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SimulatorTest, ShoeLostMidRunThenARunAfterReplugIsApplied) {
    FT_HANDLE shoe = OpenShoe();
    const eeprom_union before = model_->Image();
    model_->faults().unplugShoeAfterWrites = 5;
    const std::vector<Bytes> frames = RunFrames(HandMadeConfig());
    int failed = 0;
    for (const Bytes& f : frames) failed += WriteRaw(shoe, Stuff(f)) != FT_OK;
    EXPECT_EQ(failed, static_cast<int>(frames.size()) - 5);
    DWORD rx, tx, ev;
    EXPECT_EQ(FT_GetStatus(shoe, &rx, &tx, &ev), FT_IO_ERROR);
    EXPECT_EQ(0, memcmp(model_->Image().raw, before.raw, kImageSize));

    FT_Close(shoe);
    model_->PlugShoe();
    shoe = OpenShoe();
    for (const Bytes& f : frames) ASSERT_EQ(WriteRaw(shoe, Stuff(f)), FT_OK);
    EXPECT_EQ(model_->RunsApplied(), 1);
}

TEST_F(SimulatorTest, ReadRequestsAreAnsweredOnTheCable) {
    FT_HANDLE shoe = OpenShoe();
    FT_HANDLE cable = OpenCable();
    eeprom_union image = SampleImage();
    image.raw[5] = 0x10;  // both escaped bytes, side by side
    image.raw[6] = 0x03;
    model_->SetImage(image);

    ASSERT_EQ(Send(shoe, kTypeCommand, "D0"), FT_OK);
    EXPECT_TRUE(ReadReply(shoe).empty());
    const Bytes info = ReadReply(cable);
    // As the reader shows it: first byte blanked, from 7 to the last five.
    std::string text(info.begin(), info.end());
    text[0] = ' ';
    text = text.substr(0, text.find('\0'));
    ASSERT_GT(text.size(), 12u);
    EXPECT_EQ(text.substr(7, text.size() - 12), "Kestrin TQ9 firmware 3.1 serial 000123");

    ASSERT_EQ(Send(shoe, kTypeCommand, "D1"), FT_OK);
    const auto extracted = ExtractImage(ReadReply(cable));
    ASSERT_TRUE(extracted.has_value());
    EXPECT_EQ(0, memcmp(extracted->data(), image.raw, kImageSize));
}

TEST_F(SimulatorTest, RecordsEngineeringCommandsAndKeepsTheTuning) {
    FT_HANDLE shoe = OpenShoe();
    const std::vector<std::string> sent = {"S",
                                           "R",
                                           "T0",
                                           "T1",
                                           "T2",
                                           "T3",
                                           "T4",
                                           "C",
                                           std::string("F\x10", 2),
                                           std::string("F\xFD", 2)};
    for (const std::string& p : sent) ASSERT_EQ(Send(shoe, kTypeCommand, p), FT_OK);
    EXPECT_EQ(model_->Commands(), sent);
    EXPECT_EQ(model_->Image().cfg.TxFAdjust, -3);
    EXPECT_EQ(model_->Frames().size(), sent.size());
}

struct ReplyFault {
    const char* name;
    std::function<void(Faults&)> set;
    int replyLength;  // -1: whatever the full reply is
    bool imageIntact;
};
void PrintTo(const ReplyFault& f, std::ostream* os) { *os << f.name; }

class ReplyFaultTest : public SimulatorTest, public ::testing::WithParamInterface<ReplyFault> {};

TEST_P(ReplyFaultTest, ShapesTheImageReply) {
    FT_HANDLE shoe = OpenShoe();
    FT_HANDLE cable = OpenCable();
    GetParam().set(model_->faults());
    ASSERT_EQ(Send(shoe, kTypeCommand, "D1"), FT_OK);
    const Bytes reply = ReadReply(cable);
    if (GetParam().replyLength >= 0) {
        EXPECT_EQ(reply.size(), static_cast<std::size_t>(GetParam().replyLength));
    }
    const auto image = ExtractImage(reply);
    EXPECT_EQ(image && memcmp(image->data(), model_->Image().raw, kImageSize) == 0,
              GetParam().imageIntact);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, ReplyFaultTest,
    ::testing::Values(ReplyFault{"None", [](Faults&) {}, -1, true},
                      ReplyFault{"Silent", [](Faults& f) { f.transmitterSilent = true; }, 0, false},
                      ReplyFault{"CutShort", [](Faults& f) { f.cutReplyAfter = 300; }, 300, false},
                      ReplyFault{"Corrupted", [](Faults& f) { f.corruptReplyByte = 200; }, -1,
                                 false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SimulatorTest, FailingWritesReportWhatWentOut) {
    FT_HANDLE shoe = OpenShoe();
    Bytes frame = Stuff(BuildFrame(kTypeCommand, {'S'}));
    DWORD written = 99;

    model_->faults().failWrites = true;
    EXPECT_NE(FT_Write(shoe, frame.data(), static_cast<DWORD>(frame.size()), &written), FT_OK);
    EXPECT_EQ(written, 0u);

    model_->faults().failWrites = false;
    model_->faults().shortWriteLimit = 3;
    EXPECT_NE(FT_Write(shoe, frame.data(), static_cast<DWORD>(frame.size()), &written), FT_OK);
    EXPECT_EQ(written, 3u);
    EXPECT_TRUE(model_->Commands().empty());
}

TEST_F(SimulatorTest, EmptyReadWaitsOnlyInRealTime) {
    FT_HANDLE cable = OpenCable();
    ASSERT_EQ(FT_SetTimeouts(cable, 200, 0), FT_OK);
    auto timed = [&] {
        uint8_t b;
        DWORD got;
        const auto start = std::chrono::steady_clock::now();
        FT_Read(cable, &b, 1, &got);
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::steady_clock::now() - start)
            .count();
    };
    EXPECT_LT(timed(), 50);
    model_->SetRealTime(true);
    EXPECT_GE(timed(), 150);
}

}  // namespace
}  // namespace kestrin::sim
