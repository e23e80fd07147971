// A model of the programming shoe, the read cable and the transmitter behind
// them, for development and tests without hardware. Pure: no I/O, no waiting.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "config/eeprom.h"
#include "device/framing.h"

namespace kestrin::sim {

struct DeviceInfo {
    std::string serial;
    std::string description;
};

// What the adapters and the transmitter do wrong, on demand.
struct Faults {
    bool transmitterSilent = false;  // no reply to read requests
    bool shoeSilent = false;         // no reply to the version query
    // Every reply stops after this many bytes.
    std::optional<std::size_t> cutReplyAfter;
    // This byte of every reply arrives inverted.
    std::optional<std::size_t> corruptReplyByte;
    bool failWrites = false;  // writes to the shoe fail outright
    // Writes to the shoe take at most this many bytes and report failure.
    std::optional<std::size_t> shortWriteLimit;
    // The shoe is unplugged right after this many further writes.
    std::optional<int> unplugShoeAfterWrites;
    // A run that checks out leaves the transmitter as it was.
    bool ignoreRun = false;
    // After a run, this byte of the image is stored wrong.
    std::optional<std::size_t> storeWrongOffset;
    // Of a run, only packets 1 to this one are stored.
    std::optional<int> applyPackets;
};

// Faults named as a person starting the program would: a comma-separated
// list of ignore-run, store-wrong:OFFSET, apply-packets:K, no-cable, silent,
// cut-reply:N, unplug-shoe-after:N, other-shoe. False with a text naming the first entry
// that is not one of them; nothing is changed then.
class Simulator;
bool ApplyFaultList(const std::string& list, Simulator& sim, std::string* error);

class Simulator {
  public:
    using DeviceRef = std::size_t;  // index into the device table, stable

    static constexpr DeviceRef kShoe = 0, kCable = 1;

    // Shoe and cable plugged in, a transmitter with a configuration of its own.
    Simulator();

    // --- adapters --------------------------------------------------------
    void PlugShoe(bool plugged = true) { Plug(kShoe, plugged); }
    void UnplugShoe() { Plug(kShoe, false); }
    void PlugCable(bool plugged = true) { Plug(kCable, plugged); }
    void UnplugCable() { Plug(kCable, false); }
    void SetShoeIdentity(const std::string& serial, const std::string& description);
    void SetCableIdentity(const std::string& serial, const std::string& description);
    // Another adapter that nobody answers on; plugged in at once.
    DeviceRef AddDevice(const std::string& serial, const std::string& description);
    void Plug(DeviceRef device, bool plugged);

    // Plugged devices in enumeration order.
    std::vector<DeviceRef> Enumerate() const;
    const DeviceInfo& Info(DeviceRef device) const { return devices_.at(device).info; }
    bool Plugged(DeviceRef device) const { return devices_.at(device).plugged; }
    // Changes at every plug-in, so a handle from before an unplug stays dead.
    unsigned Generation(DeviceRef device) const { return devices_.at(device).generation; }

    // --- the wire, as the adapter backend sees it ------------------------
    struct WriteResult {
        bool ok;
        std::size_t accepted;
    };
    WriteResult Write(DeviceRef device, const uint8_t* data, std::size_t n);
    std::size_t Read(DeviceRef device, uint8_t* out, std::size_t n);
    std::size_t Queued(DeviceRef device) const { return devices_.at(device).rx.size(); }
    void PurgeReceive(DeviceRef device) { devices_.at(device).rx.clear(); }

    // --- behaviour ---------------------------------------------------------
    Faults& faults() { return faults_; }
    // The whole reply to the version query; characters 15 to 18 are the version.
    void SetVersionReply(const std::string& reply) { versionReply_ = reply; }
    // The text shown in the Info box; framed into the reply to "D0".
    void SetInfoText(const std::string& text) { infoText_ = text; }
    // Empty reads wait the read timeout (for the adapter backend to honour).
    void SetRealTime(bool on) { realTime_ = on; }
    bool RealTime() const { return realTime_; }

    // --- the transmitter ---------------------------------------------------
    const eeprom_union& Image() const { return image_; }
    void SetImage(const eeprom_union& image) { image_ = image; }
    // Every frame received through the shoe, unstuffed, in order.
    const std::vector<Bytes>& Frames() const { return frames_; }
    // Engineering command payloads: "S", "R", "C", "T0".."T4", "F" + byte.
    const std::vector<std::string>& Commands() const { return commands_; }
    int RunsApplied() const { return runsApplied_; }
    int RunsRejected() const { return runsRejected_; }

    // Replies as the transmitter builds them, before any fault.
    Bytes InfoReply() const;
    Bytes ImageReply() const;

  private:
    struct Device {
        DeviceInfo info;
        bool plugged = true;
        unsigned generation = 1;
        Bytes rx;  // bytes waiting to be read from this adapter
    };

    void Receive(const Bytes& chunk);
    void OnFrame(const Bytes& stuffed);
    void OnPacket(const Bytes& frame);
    void OnCommand(const Bytes& payload);
    void EndRun(const Bytes& payload);
    bool ApplyRun(eeprom_union& image, int lastPacket) const;
    void Reply(DeviceRef device, Bytes reply);

    std::vector<Device> devices_;
    Faults faults_;
    std::string versionReply_ = "KESTRIN SHOE V 2.07\r\n";
    std::string infoText_ = "Kestrin TQ9 firmware 3.1 serial 000123";
    bool realTime_ = false;

    eeprom_union image_{};
    Bytes input_;  // shoe bytes not yet ending in ETX
    std::vector<Bytes> frames_;
    std::vector<std::string> commands_;

    // The run being collected.
    bool inRun_ = false;
    bool runSpoilt_ = false;
    boost::crc_ccitt_type runCrc_{0xFFFF};
    std::vector<std::optional<Bytes>> runPackets_;  // by packet number 1..12
    int runsApplied_ = 0;
    int runsRejected_ = 0;
};

// The configuration a fresh simulated transmitter holds.
eeprom_union SampleImage();

}  // namespace kestrin::sim
