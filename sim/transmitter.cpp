#include "sim/transmitter.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>

#include "device/link.h"

namespace kestrin::sim {

namespace {

constexpr uint8_t kRecordEnd = 0x80;
constexpr int kPackets = 12;

void PutSlot(eeprom_union& im, SlotPlace s, const char* typeSpeedIdTone, const char* text) {
    std::memcpy(im.raw + s.offset, typeSpeedIdTone, kSlotTextOffset);
    std::memcpy(im.raw + s.offset + kSlotTextOffset, text, std::min(std::strlen(text), s.textLen));
}

// Packet number of a run packet from its first payload byte; 0 if none.
int PacketNumber(uint8_t first) {
    if (first >= '1' && first <= '9') return first - '0';
    if (first == ':') return 10;
    if (first == 'B') return 11;
    if (first == 'C') return 12;
    return 0;
}

uint16_t Le(const Bytes& p, std::size_t at) {
    return static_cast<uint16_t>(p[at] | (p[at + 1] << 8));
}

// The message record of a packet, from byte `from` up to the closing 0x80,
// laid into its slot with the rest of the text area cleared.
bool PutRecord(const Bytes& p, std::size_t from, SlotPlace s, eeprom_union& im) {
    if (p.size() < from + 1 || p.back() != kRecordEnd) return false;
    const std::size_t slotLen = kSlotTextOffset + s.textLen;
    const std::size_t n = std::min(p.size() - 1 - from, slotLen);
    std::memset(im.raw + s.offset, 0, slotLen);
    std::copy(p.begin() + from, p.begin() + from + n, im.raw + s.offset);
    return true;
}

}  // namespace

eeprom_union SampleImage() {
    eeprom_union im{};
    PutSlot(im, slot::AccelerometerOFF, "AF0200009A", "Fall Sensor Off");
    PutSlot(im, slot::AccelerometerON, "AF0200009A", "Fall Sensor On");
    PutSlot(im, slot::BtryLow, "AF0200004B", "SIM BATTERY LOW");
    PutSlot(im, slot::BtryShutDown, "AF0200005B", "SIM BATTERY EMPTY");
    PutSlot(im, slot::Button, "AF0200001A", "SIM PANIC BUTTON, ROOM 12");
    PutSlot(im, slot::Cord, "AF0200002A", "SIM PULL CORD, ROOM 12");
    PutSlot(im, slot::Fall, "AF0200006C", "SIM FALL DETECTED, ROOM 12");
    PutSlot(im, slot::ReedActivated, "NN0200003D", "112233");
    PutSlot(im, slot::Reset, "AF0200008A", "SIM UNIT RESET");
    PutSlot(im, slot::Test, "AF0200007A", "SIM TEST CALL");
    cfgStUnpacked& c = im.cfg;
    c.BtnRepCnt = 3;
    c.BtnRepTmr = 1143;  // 20 s
    c.CordRepTmr = 554;  // 10 s
    c.CordRepTmrInc = 1;
    c.FallRepCnt = 4;
    c.FallRepTmr = 1731;  // 30 s
    c.FallRepTmrInc = 0;
    c.RstMsgEnable = 1;
    c.TestRepTmr = 20470;  // about 24 hours
    c.Lis302Allowed = 1;
    c.LowerThreshold = 2621;  // 0.80 g squared in 1/64 g
    c.LowerSamples = 10;
    c.LowerSampleTimeout = 40;
    c.UpperThreshold = 13271;  // 1.80 g
    c.UpperSamples = 10;
    c.UpperSampleTimeout = 400;
    c.StableThreshold = 4515;  // 1.05 g
    c.StableSamples = 52;
    c.StableSampleTimeout = 800;
    c.AxisThreshold = 40;
    c.TxF0 = 0xB9;  // 433.000 MHz
    c.TxF1 = 0xFA;
    c.TxF2 = 0x39;
    c.ManDownLvl = 8;
    c.ManDownSamples = 120;
    c.TxFAdjust = -2;
    c.BtryDiff = 40;
    c.BtryLevel = 2350;
    c.BtryMsgRepCnt = 2;
    c.BtryMsgRepTmr = 3496;
    c.BtryTxCntLimit = 5;
    c.PreambleCnt = 18;
    c.PostambleCnt = 2;
    return im;
}

Simulator::Simulator() : image_(SampleImage()), runPackets_(kPackets + 1) {
    devices_.push_back(Device{{"FT123456", "USB BASE PROGRAMMER"}, true, 1, {}});
    devices_.push_back(Device{{"FTCABLE1", "TTL232R-3V3"}, true, 1, {}});
}

void Simulator::SetShoeIdentity(const std::string& serial, const std::string& description) {
    devices_[kShoe].info = {serial, description};
}

void Simulator::SetCableIdentity(const std::string& serial, const std::string& description) {
    devices_[kCable].info = {serial, description};
}

Simulator::DeviceRef Simulator::AddDevice(const std::string& serial,
                                          const std::string& description) {
    devices_.push_back(Device{{serial, description}, true, 1, {}});
    return devices_.size() - 1;
}

void Simulator::Plug(DeviceRef device, bool plugged) {
    Device& d = devices_.at(device);
    if (d.plugged == plugged) return;
    d.plugged = plugged;
    d.rx.clear();
    if (plugged) ++d.generation;
    // Half a frame in the shoe's cable is lost with it.
    if (device == kShoe) input_.clear();
}

std::vector<Simulator::DeviceRef> Simulator::Enumerate() const {
    std::vector<DeviceRef> out;
    for (DeviceRef i = 0; i < devices_.size(); ++i)
        if (devices_[i].plugged) out.push_back(i);
    return out;
}

Simulator::WriteResult Simulator::Write(DeviceRef device, const uint8_t* data, std::size_t n) {
    if (!devices_.at(device).plugged) return {false, 0};
    // Only the shoe has a transmitter behind it; the others swallow bytes.
    if (device != kShoe) return {true, n};
    if (faults_.failWrites) return {false, 0};
    std::size_t accepted = n;
    if (faults_.shortWriteLimit) accepted = std::min(n, *faults_.shortWriteLimit);
    Receive(Bytes(data, data + accepted));
    if (faults_.unplugShoeAfterWrites && --*faults_.unplugShoeAfterWrites <= 0) {
        faults_.unplugShoeAfterWrites.reset();
        UnplugShoe();
    }
    return {accepted == n, accepted};
}

std::size_t Simulator::Read(DeviceRef device, uint8_t* out, std::size_t n) {
    Device& d = devices_.at(device);
    if (!d.plugged) return 0;
    const std::size_t got = std::min(n, d.rx.size());
    std::copy(d.rx.begin(), d.rx.begin() + got, out);
    d.rx.erase(d.rx.begin(), d.rx.begin() + got);
    return got;
}

void Simulator::Receive(const Bytes& chunk) {
    input_.insert(input_.end(), chunk.begin(), chunk.end());
    // Stuffing keeps ETX out of a frame's inside, so ETX always ends one.
    for (auto etx = std::find(input_.begin(), input_.end(), ETX); etx != input_.end();
         etx = std::find(input_.begin(), input_.end(), ETX)) {
        Bytes stuffed(input_.begin(), etx + 1);
        input_.erase(input_.begin(), etx + 1);
        OnFrame(stuffed);
    }
}

void Simulator::OnFrame(const Bytes& stuffed) {
    const auto soh = std::find(stuffed.begin(), stuffed.end(), SOH);
    if (soh == stuffed.end()) return;  // line noise
    const Bytes raw(soh, stuffed.end());
    if (raw == kVersionQuery) {
        frames_.push_back(raw);
        if (!faults_.shoeSilent) Reply(kShoe, Bytes(versionReply_.begin(), versionReply_.end()));
        return;
    }
    const Bytes frame = Unstuff(raw);
    frames_.push_back(frame);
    OnPacket(frame);
}

void Simulator::OnPacket(const Bytes& frame) {
    const bool valid = frame.size() >= 6 && frame[0] == SOH && frame[2] == STX &&
                       PacketCrc(frame.data(), frame.size() - 3) ==
                           ((frame[frame.size() - 3] << 8) | frame[frame.size() - 2]);
    if (!valid) {
        if (inRun_) runSpoilt_ = true;
        return;
    }
    const uint8_t type = frame[1];
    const Bytes payload(frame.begin() + 3, frame.end() - 3);

    if (type == kTypeRun && payload == Bytes{'0'}) {
        // A start packet begins the run afresh, whatever came before.
        inRun_ = true;
        runSpoilt_ = false;
        runCrc_.reset(0xFFFF);
        std::fill(runPackets_.begin(), runPackets_.end(), std::nullopt);
        return;
    }
    if (inRun_ && type == kTypeRun && payload.size() == 3 && payload[0] == 'Z') {
        EndRun(payload);
        return;
    }
    if (inRun_) {
        // Everything the host sent mid-run is in its run CRC, so here too.
        runCrc_.process_bytes(frame.data(), frame.size());
        if (type == kTypeRun) {
            const int number = payload.empty() ? 0 : PacketNumber(payload[0]);
            if (number == 0)
                runSpoilt_ = true;
            else
                runPackets_[number] = payload;
        }
    }
    if (type == kTypeCommand) OnCommand(payload);
}

void Simulator::EndRun(const Bytes& payload) {
    static const uint8_t kTail[] = {SOH, kTypeRun, STX, 'Z'};
    runCrc_.process_bytes(kTail, sizeof kTail);
    const uint16_t sent = static_cast<uint16_t>((payload[1] << 8) | payload[2]);
    inRun_ = false;
    eeprom_union next = image_;
    const int last = faults_.applyPackets ? *faults_.applyPackets : kPackets;
    if (!runSpoilt_ && sent == runCrc_.checksum() && ApplyRun(next, last)) {
        if (faults_.storeWrongOffset && *faults_.storeWrongOffset < kImageSize)
            ++next.raw[*faults_.storeWrongOffset];
        if (!faults_.ignoreRun) image_ = next;
        ++runsApplied_;
    } else {
        ++runsRejected_;
    }
}

bool Simulator::ApplyRun(eeprom_union& im, int lastPacket) const {
    for (int k = 1; k <= kPackets; ++k)
        if (!runPackets_[k]) return false;
    auto P = [&](int k) -> const Bytes& { return *runPackets_[k]; };
    if (P(1).size() < 5 || P(2).size() < 5 || P(5).size() < 6 || P(6).size() < 4 ||
        P(11).size() != 4 || P(12).size() != 24 || P(12)[1] < '0' || P(12)[1] > '2')
        return false;
    for (int k : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10})
        if (P(k).back() != kRecordEnd) return false;

    // Packet by packet, so that a transmitter that stores only the first
    // packets of a run can be shown.
    cfgStUnpacked& c = im.cfg;
    for (int k = 1; k <= std::min(lastPacket, kPackets); ++k) {
        const Bytes& p = P(k);
        switch (k) {
            case 1:
                c.BtnRepTmr = Le(p, 1);
                c.BtnRepCnt = p[3];
                PutRecord(p, 4, slot::Button, im);
                break;
            case 2:
                c.CordRepTmr = Le(p, 1);
                c.CordRepTmrInc = p[3];
                PutRecord(p, 4, slot::Cord, im);
                break;
            case 3:
                PutRecord(p, 1, slot::BtryLow, im);
                break;
            case 4:
                PutRecord(p, 1, slot::BtryShutDown, im);
                break;
            case 5:
                c.FallRepTmr = Le(p, 1);
                c.FallRepTmrInc = p[3];
                c.FallRepCnt = p[4];
                PutRecord(p, 5, slot::Fall, im);
                break;
            case 6:
                c.TestRepTmr = Le(p, 1);
                PutRecord(p, 3, slot::Test, im);
                break;
            case 7:
                PutRecord(p, 1, slot::Reset, im);
                break;
            case 8:
                PutRecord(p, 1, slot::ReedActivated, im);
                break;
            case 9:
                PutRecord(p, 1, slot::AccelerometerOFF, im);
                break;
            case 10:
                PutRecord(p, 1, slot::AccelerometerON, im);
                break;
            case 11:
                c.TxF0 = p[1];
                c.TxF1 = p[2];
                c.TxF2 = p[3];
                break;
            case 12: {
                c.Lis302Allowed = static_cast<uint8_t>(p[1] - '0');
                le16* words[] = {&c.LowerThreshold,  &c.LowerSamples,  &c.LowerSampleTimeout,
                                 &c.UpperThreshold,  &c.UpperSamples,  &c.UpperSampleTimeout,
                                 &c.StableThreshold, &c.StableSamples, &c.StableSampleTimeout,
                                 &c.AxisThreshold};
                for (std::size_t i = 0; i < 10; ++i) *words[i] = Le(p, 2 + 2 * i);
                c.ManDownLvl = p[22];
                c.ManDownSamples = p[23];
                break;
            }
        }
    }
    return true;
}

void Simulator::OnCommand(const Bytes& payload) {
    const std::string p(payload.begin(), payload.end());
    if (p == "D0") {
        if (!faults_.transmitterSilent) Reply(kCable, InfoReply());
    } else if (p == "D1") {
        if (!faults_.transmitterSilent) Reply(kCable, ImageReply());
    } else if (p == "S" || p == "R" || p == "C" ||
               (p.size() == 2 && p[0] == 'T' && p[1] >= '0' && p[1] <= '4')) {
        commands_.push_back(p);
    } else if (p.size() == 2 && p[0] == 'F') {
        commands_.push_back(p);
        // The tuning correction is kept, so a read-back shows it.
        image_.cfg.TxFAdjust = static_cast<int8_t>(payload[1]);
    }
}

void Simulator::Reply(DeviceRef device, Bytes reply) {
    Device& d = devices_.at(device);
    if (!d.plugged) return;
    if (faults_.cutReplyAfter && reply.size() > *faults_.cutReplyAfter)
        reply.resize(*faults_.cutReplyAfter);
    if (faults_.corruptReplyByte && *faults_.corruptReplyByte < reply.size())
        reply[*faults_.corruptReplyByte] ^= 0xFF;
    d.rx.insert(d.rx.end(), reply.begin(), reply.end());
}

Bytes Simulator::InfoReply() const {
    // STX, "INFO: ", the text, its CRC as four hex digits, ETX: the reader
    // shows what lies between the label and the CRC.
    Bytes r{STX};
    const std::string label = "INFO: " + infoText_;
    r.insert(r.end(), label.begin(), label.end());
    char crc[5];
    std::snprintf(crc, sizeof crc, "%04X", PacketCrc(r));
    r.insert(r.end(), crc, crc + 4);
    r.push_back(ETX);
    return r;
}

Bytes Simulator::ImageReply() const {
    // Header, a bank byte, the image, CRC, ETX; stuffed like any frame.
    static const uint8_t kHead[] = {SOH, kTypeCommand, STX, 'D', '1', 0x00};
    Bytes r(sizeof kHead + kImageSize);
    std::copy(std::begin(kHead), std::end(kHead), r.begin());
    std::copy(image_.raw, image_.raw + kImageSize, r.begin() + sizeof kHead);
    const uint16_t crc = PacketCrc(r);
    r.push_back(static_cast<uint8_t>(crc >> 8));
    r.push_back(static_cast<uint8_t>(crc & 0xFF));
    r.push_back(ETX);
    return Stuff(r);
}

bool ApplyFaultList(const std::string& list, Simulator& sim, std::string* error) {
    const auto refuse = [error](const std::string& entry) {
        if (error)
            *error = "\"" + entry +
                     "\" is not a simulator fault: use ignore-run, store-wrong:OFFSET (0-511), "
                     "apply-packets:K (0-12), no-cable, silent, cut-reply:N, unplug-shoe-after:N, "
                     "other-shoe";
        return false;
    };
    Faults faults = sim.faults();
    bool noCable = false, otherShoe = false;
    std::size_t at = 0;
    while (at <= list.size()) {
        std::size_t end = list.find(',', at);
        if (end == std::string::npos) end = list.size();
        std::string entry = list.substr(at, end - at);
        at = end + 1;
        while (!entry.empty() && entry.front() == ' ') entry.erase(entry.begin());
        while (!entry.empty() && entry.back() == ' ') entry.pop_back();
        if (entry.empty()) continue;

        const std::size_t colon = entry.find(':');
        const std::string name = entry.substr(0, colon);
        std::optional<unsigned long> number;
        if (colon != std::string::npos) {
            const std::string digits = entry.substr(colon + 1);
            char* stop = nullptr;
            const unsigned long v = std::strtoul(digits.c_str(), &stop, 10);
            if (!digits.empty() && digits[0] != '-' && stop && *stop == '\0' && v <= 1000000)
                number = v;
        }
        const bool wantsNumber = name == "store-wrong" || name == "apply-packets" ||
                                 name == "cut-reply" || name == "unplug-shoe-after";
        const bool ok = wantsNumber ? number.has_value() : colon == std::string::npos;
        if (!ok || (name == "store-wrong" && *number >= kImageSize) ||
            (name == "apply-packets" && *number > static_cast<unsigned long>(kPackets))) {
            return refuse(entry);
        }
        if (name == "ignore-run") {
            faults.ignoreRun = true;
        } else if (name == "store-wrong") {
            faults.storeWrongOffset = *number;
        } else if (name == "apply-packets") {
            faults.applyPackets = static_cast<int>(*number);
        } else if (name == "no-cable") {
            noCable = true;
        } else if (name == "other-shoe") {
            otherShoe = true;
        } else if (name == "silent") {
            faults.transmitterSilent = true;
        } else if (name == "cut-reply") {
            faults.cutReplyAfter = *number;
        } else if (name == "unplug-shoe-after") {
            faults.unplugShoeAfterWrites = static_cast<int>(*number);
        } else {
            return refuse(entry);
        }
    }
    sim.faults() = faults;
    if (noCable) sim.UnplugCable();
    // An ordinary USB serial adapter where the shoe should be.
    if (otherShoe) sim.SetShoeIdentity("A10KX3QZ", "FT232R USB UART");
    return true;
}

}  // namespace kestrin::sim
