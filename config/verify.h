// What a programming run sent against the image the transmitter holds
// afterwards: every setting the run carries, named as the form labels it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "config/eeprom.h"

namespace kestrin {

struct Difference {
    std::string setting;  // "Button Pressed, message text"
    std::string sent;     // as the operator knows it: "\"PANIC BUTTON ALARM !!\"", "20 s"
    std::string held;     // what the transmitter holds, in the same words
};

// Every setting of the run (the ten message records, the repeat timers,
// counts and flags, the test-call interval, the detection mode, the nine
// threshold/time/timeout values, the tilt angle, the synthesizer word and the
// two man-down bytes) that the image holds otherwise. Texts are 8-bit
// (Windows-1252) as the record holds them. cfg.freqNum must be the word sent.
std::vector<Difference> CompareWithImage(const Config& sent, uint8_t manDownLvl,
                                         uint8_t manDownSamples, const eeprom_union& held);

// "Button Pressed, message text: sent "PANIC BUTTON ALARM !!", transmitter
// holds "PANIC BUTTON A""
std::string DifferenceLine(const Difference& d);

// The lines of at most `maxLines` differences, then "and N more".
std::vector<std::string> DifferenceLines(const std::vector<Difference>& all, std::size_t maxLines);

}  // namespace kestrin
