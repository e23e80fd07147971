// Decoding a read-back image into the form.
#pragma once

#include "config/eeprom.h"
#include "config/form.h"

namespace kestrin {

// Overwrites every form value that the image holds (texts, Cap Codes, type,
// speed and tone, repeats, thresholds, times, mode, frequency, correction,
// man-down). Values the controls cannot hold are brought within them. The
// test-call time is not in the image and stays as it was.
void DecodeImage(const eeprom_union& image, FormSnapshot& form);

}  // namespace kestrin
