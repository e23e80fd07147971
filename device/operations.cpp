#include "device/operations.h"

#include "device/link.h"
#include "device/payloads.h"

namespace kestrin {

namespace {

Outcome Failed(FT_HANDLE shoe, int packet) {
    // A write that fails because the adapter has gone is worth telling
    // apart: the remedy is to plug it in, not to check the transmitter.
    DWORD rx = 0, tx = 0, events = 0;
    const bool gone = FT_GetStatus(shoe, &rx, &tx, &events) == FT_IO_ERROR;
    return {gone ? Result::ShoeUnplugged : Result::WriteFailed, packet};
}

std::string PacketName(int packet) {
    if (packet == kStartPacket) return "the start packet";
    if (packet == kEndPacket) return "the end packet";
    return "packet " + std::to_string(packet) + " of " + std::to_string(kRunPackets);
}

void Report(const Progress& progress, int done, int total) {
    if (progress) progress(done, total);
}

}  // namespace

std::string RunMessage(const Outcome& o) {
    const std::string incomplete =
        "The transmitter was not given a complete configuration: program it again before it is "
        "used.";
    switch (o.result) {
        case Result::Completed:
            return std::string();
        case Result::WriteFailed:
            return "Programming did not complete: the programming shoe stopped taking data at " +
                   PacketName(o.packet) + ".\n" + incomplete +
                   "\nCheck the shoe and its cable, then program again.";
        case Result::ShoeUnplugged:
            return "Programming did not complete: the programming shoe was unplugged at " +
                   PacketName(o.packet) + ".\n" + incomplete;
        case Result::Cancelled:
            if (o.packet == kStartPacket)
                return "Programming was cancelled before anything was sent: the transmitter "
                       "keeps its configuration.";
            return "Programming was cancelled before " + PacketName(o.packet) + ".\n" + incomplete;
        case Result::NoReply:
        case Result::IncompleteReply:
            break;
    }
    return "Programming did not complete.\n" + incomplete;
}

std::string ReadMessage(const Outcome& o) {
    switch (o.result) {
        case Result::Completed:
            return std::string();
        case Result::NoReply:
            if (o.packet <= 1) return "No connection established\nCheck Kestrin's power and probe";
            return "The transmitter did not send its configuration: nothing was loaded.\n"
                   "Check Kestrin's power and probe, then read again.";
        case Result::IncompleteReply:
            return "The transmitter's reply was incomplete: nothing was loaded.\n"
                   "Check Kestrin's power and probe, then read again.";
        case Result::WriteFailed:
            return "The read request could not be sent: the programming shoe is not taking data.";
        case Result::ShoeUnplugged:
            return "The read request could not be sent: the programming shoe was unplugged.";
        case Result::Cancelled:
            return "Reading was cancelled: nothing was loaded.";
    }
    return std::string();
}

std::string CommandMessage(const Outcome& o) {
    switch (o.result) {
        case Result::Completed:
            return std::string();
        case Result::ShoeUnplugged:
            return "The command was not sent: the programming shoe was unplugged.";
        default:
            return "The command was not sent: the programming shoe is not taking data.";
    }
}

Outcome SendPacket(FT_HANDLE shoe, uint8_t type, const Bytes& payload,
                   boost::crc_ccitt_type& runCrc, int packet) {
    const Bytes frame = BuildFrame(type, payload);
    runCrc.process_bytes(frame.data(), frame.size());
    const Bytes wire = Stuff(frame);
    if (!WriteAll(shoe, wire)) return Failed(shoe, packet);
    Pause(PauseMs(wire.size()));
    return {};
}

Outcome SendStartPacket(FT_HANDLE shoe, boost::crc_ccitt_type& runCrc) {
    const Outcome o = SendPacket(shoe, kTypeRun, Bytes{'0'}, runCrc, kStartPacket);
    runCrc.reset(0xFFFF);
    return o;
}

Outcome SendEndPacket(FT_HANDLE shoe, boost::crc_ccitt_type& runCrc) {
    if (!WriteAll(shoe, Stuff(BuildEndFrame(runCrc)))) return Failed(shoe, kEndPacket);
    return {};
}

Outcome ProgramRun(const Adapters& adapters, const Config& cfg, uint8_t manDownLvl,
                   uint8_t manDownSamples, boost::crc_ccitt_type& runCrc, const Progress& progress,
                   const CancelFlag& cancel) {
    const auto payloads = RunPayloads(cfg, manDownLvl, manDownSamples);
    if (cancel) return {Result::Cancelled, kStartPacket};
    if (Outcome o = SendStartPacket(adapters.shoe, runCrc); !o.ok()) return o;
    for (int k = 1; k <= kRunPackets; ++k) {
        if (cancel) return {Result::Cancelled, k};
        if (Outcome o = SendPacket(adapters.shoe, kTypeRun, payloads[k - 1], runCrc, k); !o.ok())
            return o;
        Report(progress, k, kRunPackets);
    }
    if (cancel) return {Result::Cancelled, kEndPacket};
    return SendEndPacket(adapters.shoe, runCrc);
}

ReadBackResult ReadBack(const Adapters& adapters, boost::crc_ccitt_type& runCrc,
                        const Progress& progress, const CancelFlag& cancel) {
    ReadBackResult r;
    const auto request = [&](const char* payload, int packet) -> bool {
        FT_Purge(adapters.shoe, FT_PURGE_RX | FT_PURGE_TX);
        FT_Purge(adapters.cable, FT_PURGE_RX | FT_PURGE_TX);
        r.outcome = SendPacket(adapters.shoe, kTypeCommand, ToBytes(payload), runCrc, packet);
        return r.outcome.ok();
    };

    if (cancel) {
        r.outcome = {Result::Cancelled, 1};
        return r;
    }
    if (!request("D0", 1)) return r;
    const Bytes info = ReadReply(adapters.cable, kInfoReplyCapacity);
    if (info.empty()) {
        r.outcome = {Result::NoReply, 1};
        return r;
    }
    r.infoArrived = true;
    r.infoText = InfoText(info);
    Report(progress, 1, 2);

    if (cancel) {
        r.outcome = {Result::Cancelled, 2};
        return r;
    }
    if (!request("D1", 2)) return r;
    const Bytes reply = ReadReply(adapters.cable, kImageReplyCapacity);
    if (reply.empty()) {
        r.outcome = {Result::NoReply, 2};
        return r;
    }
    r.image = ExtractImage(reply);
    if (!r.image) {
        r.outcome = {Result::IncompleteReply, 2};
        return r;
    }
    Report(progress, 2, 2);
    return r;
}

Outcome SendCommand(const Adapters& adapters, const Bytes& payload, boost::crc_ccitt_type& runCrc) {
    return SendPacket(adapters.shoe, kTypeCommand, payload, runCrc, 1);
}

}  // namespace kestrin
