// Read-out texts beside the sliders.
#pragma once

#include <string>

#include "config/form.h"

namespace kestrin {

// The text shown beside a slider at a position ("0.80g", "25ms", "+0.05g",
// "63%", "30%", "60.0s"; for kSliderFreq the correction in Hz).
std::string SliderReadout(SliderId slider, int position);

}  // namespace kestrin
