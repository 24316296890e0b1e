// Decoders for device payloads: base64 texts, electricity records and the
// hue/saturation <-> RGB colour conversions.
#include <cmath>

#include "adapter/colour.h"
#include "adapter/electricity_record.h"
#include "core/base64.h"
#include "core/hex.h"
#include "core/utf8.h"
#include "core/value_rules.h"
#include "expr/builtins.h"

namespace kesvo::expr {

namespace {

Value b64_utf8(const Value& s) {
  if (!s.is_string()) return Value();
  std::optional<std::string> bytes = base64_decode_filtered(s.as_string());
  if (!bytes || !valid_utf8(*bytes)) return Value();
  return Value(std::move(*bytes));
}

Value b64_utf16be(const Value& s) {
  if (!s.is_string()) return Value();
  std::optional<std::string> bytes = base64_decode_filtered(s.as_string());
  if (!bytes || bytes->size() % 2 != 0) return Value();
  const std::string& b = *bytes;
  std::string out;
  out.reserve(b.size());
  for (size_t i = 0; i < b.size(); i += 2) {
    uint32_t unit = (static_cast<unsigned char>(b[i]) << 8) | static_cast<unsigned char>(b[i + 1]);
    if (unit >= 0xDC00 && unit <= 0xDFFF) return Value();  // trailing surrogate without a leading one
    if (unit >= 0xD800 && unit <= 0xDBFF) {
      if (i + 3 >= b.size()) return Value();
      const uint32_t low = (static_cast<unsigned char>(b[i + 2]) << 8) | static_cast<unsigned char>(b[i + 3]);
      if (low < 0xDC00 || low > 0xDFFF) return Value();
      unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
      i += 2;
    }
    utf8_append(unit, out);
  }
  return Value(std::move(out));
}

Value electricity_b64(const Value& s) {
  if (!s.is_string()) return Value();
  std::optional<std::string> bytes = base64_decode_filtered(s.as_string());
  if (!bytes) return Value();
  return decode_electricity(*bytes);
}

Value electricity_hex(const Value& s) {
  std::optional<std::string> bytes = hex_decode(s.string_or_empty());
  if (!bytes) return Value();
  return decode_electricity(*bytes);
}

Value hs_to_rgb_hex(const Value& pair) {
  double h = to_number(pair.at(0));
  double s = to_number(pair.at(1));
  // Non-finite inputs ("nan", "inf" texts) would make the sector undefined:
  // they read as 0.
  h = std::fmod(h, 360.0);
  if (std::isnan(h)) h = 0;
  if (h < 0) h += 360.0;
  if (std::isnan(s)) s = 0;
  s = std::fmin(std::fmax(s, 0.0), 100.0);
  const Rgb rgb = hsv_to_rgb(h / 360.0, s / 100.0, 1.0);
  std::string bytes;
  for (double channel : {rgb.r, rgb.g, rgb.b}) bytes += static_cast<char>(round_half_even(channel * 255.0));
  return Value("#" + hex_encode(bytes));
}

Value rgb_hex_to_hs(const Value& s) {
  const std::string_view text = s.string_or_empty();
  if (text.empty() || text[0] != '#') return Value();
  std::optional<std::string> bytes = hex_decode(text.substr(1));
  if (!bytes || bytes->size() != 3) return Value();
  const double r = static_cast<unsigned char>((*bytes)[0]) / 255.0;
  const double g = static_cast<unsigned char>((*bytes)[1]) / 255.0;
  const double b = static_cast<unsigned char>((*bytes)[2]) / 255.0;
  const double v = std::fmax(r, std::fmax(g, b));
  const double delta = v - std::fmin(r, std::fmin(g, b));
  Array out;
  out.reserve(2);
  if (delta == 0) {
    out.emplace_back(0.0);
    out.emplace_back(0.0);
    return Value(std::move(out));
  }
  double hue;
  if (r == v) {
    hue = (g - b) / delta;
  } else if (g == v) {
    hue = 2.0 + (b - r) / delta;
  } else {
    hue = 4.0 + (r - g) / delta;
  }
  hue = std::fmod(hue / 6.0, 1.0);
  if (hue < 0) hue += 1.0;
  out.emplace_back(hue * 360.0);
  out.emplace_back(delta / v * 100.0);
  return Value(std::move(out));
}

}  // namespace

ExprResult call_decoders(Op code, Args& args) {
  const Value& a = args[0];
  switch (code) {
    case Op::B64Utf8: return b64_utf8(a);
    case Op::B64Utf16be: return b64_utf16be(a);
    case Op::ElectricityB64: return electricity_b64(a);
    case Op::ElectricityHex: return electricity_hex(a);
    case Op::HsToRgbHex: return hs_to_rgb_hex(a);
    case Op::RgbHexToHs: return rgb_hex_to_hs(a);
    default: return Value();
  }
}

}  // namespace kesvo::expr
