// The device operations an operator starts: a programming run, a read-back
// and a single engineering command. Each runs to its end on the calling
// thread (the window and the command-line tool call them from a worker),
// reports progress through a callback, stops at the next packet boundary
// once asked to, and says what happened in words the operator can act on.
#pragma once

#include <array>
#include <atomic>
#include <boost/crc.hpp>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "config/eeprom.h"
#include "device/framing.h"
#include "device/ftdi.h"

namespace kestrin {

struct Adapters {
    FT_HANDLE shoe = nullptr;   // every packet goes out here
    FT_HANDLE cable = nullptr;  // replies to read requests come in here
};

// Step `done` of `total` is finished. Called on the operation's thread.
using Progress = std::function<void(int done, int total)>;
using CancelFlag = std::atomic<bool>;

enum class Result {
    Completed,
    WriteFailed,      // the shoe refused or cut short a packet
    ShoeUnplugged,    // ... because it is no longer there
    NoReply,          // the transmitter sent nothing back
    IncompleteReply,  // a reply too short to hold what it must
    Cancelled,        // stopped on request before `packet`
};

// Packets of a run are numbered 0 (start), 1 to 12 (data) and 13 (end); the
// two read requests 1 ("D0") and 2 ("D1"); a command is packet 1.
constexpr int kStartPacket = 0, kEndPacket = 13;

struct Outcome {
    Result result = Result::Completed;
    int packet = 0;  // where it failed or stopped
    bool ok() const { return result == Result::Completed; }
};

// The operator's words for an outcome; empty for a completed run or command.
std::string RunMessage(const Outcome& outcome);
std::string ReadMessage(const Outcome& outcome);
std::string CommandMessage(const Outcome& outcome);

// Frames one packet, feeds the frame to runCrc, writes it whole and takes the
// pacing pause. A refused write is no pause: nothing more will follow.
Outcome SendPacket(FT_HANDLE shoe, uint8_t type, const Bytes& payload,
                   boost::crc_ccitt_type& runCrc, int packet = 1);
// The start packet, after which runCrc starts afresh.
Outcome SendStartPacket(FT_HANDLE shoe, boost::crc_ccitt_type& runCrc);
// The end packet carrying runCrc; no pause follows it.
Outcome SendEndPacket(FT_HANDLE shoe, boost::crc_ccitt_type& runCrc);

// Start packet, the twelve data packets of cfg (whose freqNum must already
// hold the synthesizer word) and the end packet. Progress after each data
// packet (k of 12). A cancel stops before the next packet: the end packet is
// then never sent, so no run CRC is offered for a partial run.
Outcome ProgramRun(const Adapters& adapters, const Config& cfg, uint8_t manDownLvl,
                   uint8_t manDownSamples, boost::crc_ccitt_type& runCrc, const Progress& progress,
                   const CancelFlag& cancel);

struct ReadBackResult {
    Outcome outcome;
    bool infoArrived = false;  // the reply to "D0" had at least one byte
    std::string infoText;      // the information text shown from that reply
    std::optional<std::array<uint8_t, kImageSize>> image;
};

// Both requests through the shoe, both replies from the cable, the image
// taken out of the second. Progress after each reply (k of 2); a cancel is
// honoured between the requests.
ReadBackResult ReadBack(const Adapters& adapters, boost::crc_ccitt_type& runCrc,
                        const Progress& progress, const CancelFlag& cancel);

// One command packet of type 0x33.
Outcome SendCommand(const Adapters& adapters, const Bytes& payload, boost::crc_ccitt_type& runCrc);

}  // namespace kestrin
