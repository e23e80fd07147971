#include "device/framing.h"

#include <algorithm>

boost::crc_ccitt_type crc_total(0xFFFF);

namespace kestrin {

Bytes ToBytes(const std::string& s) { return Bytes(s.begin(), s.end()); }

uint16_t PacketCrc(const uint8_t* data, std::size_t n) {
    boost::crc_ccitt_type crc_packet(0xFFFF);
    crc_packet.process_bytes(data, n);
    return crc_packet.checksum();
}

static void AppendCrcAndEnd(Bytes& frame) {
    const uint16_t crc = PacketCrc(frame);
    frame.push_back(static_cast<uint8_t>(crc >> 8));
    frame.push_back(static_cast<uint8_t>(crc & 0xFF));
    frame.push_back(ETX);
}

Bytes BuildFrame(uint8_t type, const Bytes& payload) {
    Bytes frame;
    frame.reserve(payload.size() + 6);
    frame.push_back(SOH);
    frame.push_back(type);
    frame.push_back(STX);
    for (uint8_t b : payload) frame.push_back(b);
    AppendCrcAndEnd(frame);
    return frame;
}

Bytes Stuff(const Bytes& frame) {
    Bytes out;
    out.reserve(frame.size() * 2);
    for (std::size_t i = 0; i < frame.size(); ++i) {
        const uint8_t b = frame[i];
        if (i + 1 < frame.size() && (b == DLE || b == ETX)) {
            out.push_back(DLE);
            out.push_back(static_cast<uint8_t>(b + 0x20));
        } else {
            out.push_back(b);
        }
    }
    return out;
}

Bytes Unstuff(const Bytes& stuffed) {
    Bytes out;
    out.reserve(stuffed.size());
    std::size_t i = 0;
    for (; i + 1 < stuffed.size(); ++i) {
        if (stuffed[i] == DLE) {
            ++i;
            out.push_back(static_cast<uint8_t>(stuffed[i] - 0x20));
        } else {
            out.push_back(stuffed[i]);
        }
    }
    if (i < stuffed.size()) out.push_back(stuffed[i]);
    return out;
}

Bytes BuildEndFrame(boost::crc_ccitt_type& runCrc) {
    Bytes frame{SOH, kTypeRun, STX, 'Z'};
    runCrc.process_bytes(frame.data(), frame.size());
    const uint16_t total = runCrc.checksum();
    frame.push_back(static_cast<uint8_t>(total >> 8));
    frame.push_back(static_cast<uint8_t>(total & 0xFF));
    AppendCrcAndEnd(frame);
    return frame;
}

namespace {
// Whether the walk of Unstuff ends on an escape byte with nothing after it:
// the reply was cut inside an escape, and that last byte is no data.
bool EndsInLoneEscape(const Bytes& stuffed) {
    std::size_t i = 0;
    while (i + 1 < stuffed.size()) i += stuffed[i] == DLE ? 2 : 1;
    return i + 1 == stuffed.size() && stuffed[i] == DLE;
}
}  // namespace

std::optional<std::array<uint8_t, 512>> ExtractImage(const Bytes& reply) {
    const std::size_t kept = std::min(reply.size(), kImageReplyCapacity);
    if (kept <= 5) return std::nullopt;
    const Bytes stuffed(reply.begin() + 5, reply.begin() + kept);
    if (EndsInLoneEscape(stuffed)) return std::nullopt;
    Bytes body = Unstuff(stuffed);
    if (body.size() < 1 + 512) return std::nullopt;
    std::array<uint8_t, 512> image{};
    std::copy(body.begin() + 1, body.begin() + 1 + 512, image.begin());
    return image;
}

}  // namespace kestrin
