// Decoding of the binary electricity records that meters report.
#pragma once

#include <string_view>

#include "core/json.h"

namespace kesvo {

// Decodes an electricity record (plain, extended "01 0F" or signed extended
// "02 0F" form) into an object with the members voltage, current, power,
// reactive_power, apparent_power and power_factor, in that order; null when
// the bytes are no record (fewer than 8 bytes in the plain form).
Value decode_electricity(std::string_view bytes);

}  // namespace kesvo
