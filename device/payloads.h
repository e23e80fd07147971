// The twelve data payloads of a programming run.
#pragma once

#include <array>
#include <cstdint>

#include "config/eeprom.h"
#include "device/framing.h"

namespace kestrin {

constexpr int kRunPackets = 12;

// Payloads 1 to 12 in sending order, each sent as a packet of type 0x30.
// The synthesizer word of packet 11 comes from cfg.freq.
std::array<Bytes, kRunPackets> RunPayloads(const Config& cfg, uint8_t manDownLvl,
                                           uint8_t manDownSamples);

}  // namespace kestrin
