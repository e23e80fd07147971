// A programming run of the start-up form, byte for byte against the frames an
// independent script wrote (scripts/golden_run.py regenerates the file).
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "config/encode.h"
#include "config/form.h"
#include "device/framing.h"
#include "device/payloads.h"

namespace kestrin {
namespace {

std::vector<Bytes> ReadGolden() {
    std::ifstream in(KESTRIN_SOURCE_DIR "/tests/core/golden_run.hex");
    std::vector<Bytes> frames;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty()) continue;
        std::istringstream hex(line);
        Bytes frame;
        unsigned v;
        while (hex >> std::hex >> v) frame.push_back(static_cast<uint8_t>(v));
        frames.push_back(frame);
    }
    return frames;
}

TEST(GoldenRun, StartUpFormProgramsTheReferenceFrames) {
    const std::vector<Bytes> golden = ReadGolden();
    ASSERT_EQ(golden.size(), 14u) << "tests/core/golden_run.hex missing or incomplete";

    Config cfg;
    eeprom_union image{};
    EncodeForm(StartupForm(), cfg, image);
    cfg.freq = 433000000;

    std::vector<Bytes> wire;
    const Bytes start = BuildFrame(kTypeRun, {'0'});
    crc_total.process_bytes(start.data(), start.size());
    crc_total.reset(0xFFFF);
    wire.push_back(Stuff(start));
    for (const Bytes& payload : RunPayloads(cfg, image.cfg.ManDownLvl, image.cfg.ManDownSamples)) {
        const Bytes frame = BuildFrame(kTypeRun, payload);
        crc_total.process_bytes(frame.data(), frame.size());
        wire.push_back(Stuff(frame));
    }
    wire.push_back(Stuff(BuildEndFrame(crc_total)));

    ASSERT_EQ(wire.size(), golden.size());
    for (std::size_t i = 0; i < wire.size(); ++i) EXPECT_EQ(wire[i], golden[i]) << "frame " << i;
}

}  // namespace
}  // namespace kestrin
