// Colour-space conversions used by the light strategies.
#pragma once

#include <string>
#include <string_view>

#include "core/json.h"
#include "core/result.h"

namespace kesvo {

struct Rgb {
  double r;
  double g;
  double b;
};

// Hue, saturation and value in 0 to 1 to red, green and blue in 0 to 1 (the
// hexcone model; a saturation of exactly 0 gives grey).
Rgb hsv_to_rgb(double h, double s, double v);

// Six hex digits RRGGBB to the object {"h", "s", "v"}: hue in degrees,
// saturation and value on a scale of 0 to 255, each rounded to one decimal
// and held as a double. Fails with "invalid hex".
Result<Value, std::string> rgb_to_hsv(std::string_view rrggbb);

}  // namespace kesvo
