// Encoding the form into the working record and the man-down image bytes.
#pragma once

#include "config/eeprom.h"
#include "config/form.h"

namespace kestrin {

// Fills every field of cfg except freq and freqNum, and image's ManDownLvl and
// ManDownSamples. The Id piece of each record is always seven digits.
void EncodeForm(const FormSnapshot& form, Config& cfg, eeprom_union& image);

}  // namespace kestrin
