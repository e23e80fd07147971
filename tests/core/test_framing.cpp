#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "device/framing.h"

namespace kestrin {
namespace {

Bytes Hex(const std::string& text) {
    std::istringstream in(text);
    Bytes out;
    unsigned v;
    while (in >> std::hex >> v) out.push_back(static_cast<uint8_t>(v));
    return out;
}

struct WireCase {
    const char* name;
    uint8_t type;
    Bytes payload;
    const char* wire;  // stuffed frame
};

TEST(Framing, PacketsGoOutAsExpectedOnTheWire) {
    const WireCase cases[] = {
        {"start", kTypeRun, {'0'}, "01 30 02 30 67 E0 03"},
        {"D0", kTypeCommand, {'D', '0'}, "01 33 02 44 30 95 53 03"},
        {"D1", kTypeCommand, {'D', '1'}, "01 33 02 44 31 85 72 03"},
        {"status", kTypeCommand, {'S'}, "01 33 02 53 62 75 03"},
        {"reset", kTypeCommand, {'R'}, "01 33 02 52 72 54 03"},
        {"space", kTypeCommand, {'T', '0'}, "01 33 02 54 30 96 20 03"},
        {"tuning 3", kTypeCommand, {'F', 0x03}, "01 33 02 46 10 23 F5 01 03"},
        {"tuning 16", kTypeCommand, {'F', 0x10}, "01 33 02 46 10 30 D7 53 03"},
        {"two escapes in a row", kTypeCommand, {0x10, 0x03}, "01 33 02 10 30 10 23 51 18 03"},
        {"SOH and STX are plain", kTypeCommand, {0x01, 0x02}, "01 33 02 01 02 71 7B 03"},
        {"CRC high byte 0x10", kTypeCommand, {'F', 0x2F}, "01 33 02 46 2F 10 30 EF 03"},
        {"CRC low byte 0x10", kTypeCommand, {'F', 0x31}, "01 33 02 46 31 E3 10 30 03"},
        {"CRC low byte 0x03", kTypeCommand, {'F', 0x45}, "01 33 02 46 45 DD 10 23 03"},
        {"empty payload", kTypeCommand, {}, "01 33 02 8B 28 03"},
    };
    for (const WireCase& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes frame = BuildFrame(c.type, c.payload);
        EXPECT_EQ(frame.size(), c.payload.size() + 6);
        EXPECT_EQ(Stuff(frame), Hex(c.wire));
        EXPECT_EQ(Unstuff(Hex(c.wire)), frame);
    }
}

TEST(Framing, CrcIsCcittFalse) {
    EXPECT_EQ(PacketCrc(ToBytes("123456789")), 0x29B1);
    EXPECT_EQ(PacketCrc(Bytes{}), 0xFFFF);
}

TEST(Framing, StuffingRoundTripsAndHidesEveryInnerEtx) {
    std::mt19937 rng(20240611);
    // Payloads rich in the two escaped values, so pairs and runs occur.
    std::uniform_int_distribution<int> pick(0, 7), any(0, 255), len(0, 80);
    for (int i = 0; i < 500; ++i) {
        Bytes payload(len(rng));
        for (uint8_t& b : payload) {
            const int k = pick(rng);
            b = k == 0 ? DLE : k == 1 ? ETX : static_cast<uint8_t>(any(rng));
        }
        const Bytes frame = BuildFrame(i % 2 ? kTypeRun : kTypeCommand, payload);
        const Bytes wire = Stuff(frame);
        ASSERT_EQ(Unstuff(wire), frame);
        ASSERT_EQ(wire.back(), ETX);
        for (std::size_t j = 0; j + 1 < wire.size(); ++j) {
            ASSERT_NE(wire[j], ETX) << "at " << j;
            if (wire[j] == DLE) {
                ASSERT_TRUE(wire[j + 1] == 0x30 || wire[j + 1] == 0x23) << "at " << j;
                ++j;
            }
        }
    }
}

TEST(Framing, PauseIsThirtyMsPerByteAndAHundred) {
    EXPECT_EQ(PauseMs(7), 310);
    EXPECT_EQ(PauseMs(8), 340);
    EXPECT_EQ(PauseMs(0), 100);
}

// The run CRC covers every unstuffed frame since the reset, whoever sent it,
// then SOH "0" STX "Z"; the end frame carries it big-endian under its own CRC.
TEST(Framing, RunCrcCoversEveryFrameSentDuringTheRun) {
    const Bytes start = BuildFrame(kTypeRun, {'0'});
    crc_total.process_bytes(start.data(), start.size());
    crc_total.reset(0xFFFF);

    const Bytes first = BuildFrame(kTypeRun, {'1', 0xC3, 0x06, 0x01, 0x80});
    const Bytes midRun = BuildFrame(kTypeCommand, {'S'});  // status click between packets
    const Bytes last = BuildFrame(kTypeRun, {'B', 0xB9, 0xFA, 0x39});
    Bytes covered;
    for (const Bytes* f : {&first, &midRun, &last}) {
        crc_total.process_bytes(f->data(), f->size());
        covered.insert(covered.end(), f->begin(), f->end());
    }
    const Bytes end = BuildEndFrame(crc_total);
    covered.insert(covered.end(), {SOH, kTypeRun, STX, 'Z'});
    const uint16_t total = PacketCrc(covered);

    ASSERT_EQ(end.size(), 9u);
    EXPECT_EQ(Bytes(end.begin(), end.begin() + 4), (Bytes{SOH, kTypeRun, STX, 'Z'}));
    EXPECT_EQ(end[4], total >> 8);
    EXPECT_EQ(end[5], total & 0xFF);
    EXPECT_EQ(end, BuildFrame(kTypeRun, {'Z', end[4], end[5]}));
    // The end frame itself is not fed to the run CRC.
    EXPECT_EQ(crc_total.checksum(), total);

    // Without the mid-run packet the total differs.
    Bytes without(first);
    without.insert(without.end(), last.begin(), last.end());
    without.insert(without.end(), {SOH, kTypeRun, STX, 'Z'});
    EXPECT_NE(PacketCrc(without), total);
}

// A read-back reply: five leading bytes, one more byte, then the stuffed image.
Bytes Reply(const std::array<uint8_t, 512>& image, std::size_t trailing = 3) {
    Bytes reply{0x01, 0x33, 0x02, 0x44, 0x31, 0x7E};
    const Bytes stuffed = Stuff(Bytes(image.begin(), image.end()));
    // Stuff leaves its last byte alone: append it escaped by hand if need be.
    reply.insert(reply.end(), stuffed.begin(), stuffed.end() - 1);
    const uint8_t lastByte = image.back();
    if (lastByte == DLE || lastByte == ETX) {
        reply.push_back(DLE);
        reply.push_back(static_cast<uint8_t>(lastByte + 0x20));
    } else {
        reply.push_back(lastByte);
    }
    reply.insert(reply.end(), trailing, 0xAA);
    return reply;
}

TEST(Framing, ExtractImageUnstuffsTheImageOutOfTheReply) {
    std::array<uint8_t, 512> image{};
    for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<uint8_t>(i * 7);
    image[0] = ETX;
    image[1] = DLE;
    image[2] = DLE;
    image[100] = ETX;
    image[511] = ETX;
    const auto got = ExtractImage(Reply(image));
    ASSERT_TRUE(got);
    EXPECT_EQ(*got, image);
}

TEST(Framing, ExtractImageNeedsAFullImage) {
    std::array<uint8_t, 512> plain{};
    plain.fill(0x41);
    EXPECT_FALSE(ExtractImage(Bytes{}));
    EXPECT_FALSE(ExtractImage(Bytes(5, 0x41)));
    EXPECT_FALSE(ExtractImage(Bytes(5 + 1 + 511, 0x41)));
    EXPECT_TRUE(ExtractImage(Reply(plain, 0)));  // exactly 518 bytes

    // An image whose every byte is escaped still fits the reply buffer, and
    // bytes past the buffer are ignored.
    std::array<uint8_t, 512> escaped{};
    escaped.fill(DLE);
    const Bytes longest = Reply(escaped, 0);
    ASSERT_LE(longest.size(), kImageReplyCapacity);
    const auto got = ExtractImage(longest);
    ASSERT_TRUE(got);
    EXPECT_EQ(*got, escaped);
    EXPECT_TRUE(ExtractImage(Reply(escaped, 400)));
}

// A reply cut between an escape byte and its partner does not say which byte
// stood there (0x10 0x23 is 0x03, 0x10 0x30 is 0x10): it is incomplete,
// whether the cut falls in the image or after it.
TEST(Framing, AReplyCutInsideAnEscapeIsIncomplete) {
    std::array<uint8_t, 512> image{};
    image.fill(0x41);
    image[511] = ETX;
    const Bytes whole = Reply(image, 0);
    ASSERT_EQ(whole.end()[-2], DLE);
    EXPECT_FALSE(ExtractImage(Bytes(whole.begin(), whole.end() - 1)));

    Bytes cutAfter = Reply(image, 0);
    cutAfter.push_back(DLE);
    EXPECT_FALSE(ExtractImage(cutAfter));
    cutAfter.push_back(0x23);
    EXPECT_EQ(ExtractImage(cutAfter), image);
}

}  // namespace
}  // namespace kestrin
