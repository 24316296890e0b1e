// Light and colour strategies: private brightness scales, HSV colours packed
// in hex texts, colour-control records and scenes.
#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <string>

#include "adapter/colour.h"
#include "adapter/strategy_families.h"
#include "adapter/strategy_support.h"
#include "core/value_rules.h"

namespace kesvo {

Rgb hsv_to_rgb(double h, double s, double v) {
  if (s == 0.0) return {v, v, v};
  const double x = 6.0 * h;
  const int64_t i = to_i64(std::floor(x));
  const double f = x - static_cast<double>(i);
  const double p = v * (1.0 - s);
  const double q = v * (1.0 - s * f);
  const double t = v * (1.0 - s * (1.0 - f));
  int64_t sector = i % 6;
  if (sector < 0) sector += 6;
  switch (sector) {
    case 0: return {v, t, p};
    case 1: return {q, v, p};
    case 2: return {p, v, t};
    case 3: return {p, q, v};
    case 4: return {t, p, v};
    default: return {v, p, q};
  }
}

Result<Value, std::string> rgb_to_hsv(std::string_view rrggbb) {
  const double r = KESVO_TRY(hex_field(rrggbb, 0, 2)) / 255.0;
  const double g = KESVO_TRY(hex_field(rrggbb, 2, 4)) / 255.0;
  const double b = KESVO_TRY(hex_field(rrggbb, 4, 6)) / 255.0;
  const double mx = std::max(r, std::max(g, b));
  const double mn = std::min(r, std::min(g, b));
  double hue = 0.0;
  double sat = 0.0;
  if (mx != mn) {
    const double span = mx - mn;
    sat = span / mx;
    const double rc = (mx - r) / span;
    const double gc = (mx - g) / span;
    const double bc = (mx - b) / span;
    double raw;
    if (r == mx) {
      raw = bc - gc;
    } else if (g == mx) {
      raw = 2.0 + rc - bc;
    } else {
      raw = 4.0 + gc - rc;
    }
    hue = std::fmod(raw / 6.0, 1.0);
    if (hue < 0) hue += 1.0;
  }
  Object o;
  o.reserve(3);
  o.append_new("h", Value(round_to(hue * 360.0, 1)));
  o.append_new("s", Value(round_to(sat * 255.0, 1)));
  o.append_new("v", Value(round_to(mx * 255.0, 1)));
  return Value(std::move(o));
}

namespace strategies {

namespace {

// The number a brightness strategy reads: a JSON number, or a string that
// holds one in full.
Result<double, std::string> range_input(const Value& raw) {
  if (raw.is_number()) return raw.number_as_double();
  if (raw.is_string()) {
    if (auto d = parse_float_text(raw.as_string())) return *d;
  }
  return fail_msg("invalid range");
}

// Limits x to [lo, hi]; NaN passes through unchanged.
double limit(double x, double lo, double hi) {
  if (x < lo) return lo;
  if (x > hi) return hi;
  return x;
}

// A saturation or value field on the 0-255 scale, rounded to `digits`
// decimals as a fraction of 255 and then to one decimal on the scale.
double scaled_channel(double field, int digits) { return round_to(round_to(field / 255.0, digits) * 255.0, 1); }

ReadResult hsv14_read(const Value& raw, int digits) {
  const std::string_view s = raw_text(raw);
  if (s.size() == 14 && s.substr(6) == "0168ffff") {
    // This marker carries the colour as RGB in the first six digits.
    Value obj = KESVO_TRY(rgb_to_hsv(s.substr(0, 6)));
    return spaced_json_text(obj, colour_keys);
  }
  const double h = KESVO_TRY(hex_field(s, 6, 10));
  const double sat = KESVO_TRY(hex_field(s, 10, 12));
  const double val = KESVO_TRY(hex_field(s, 12, s.size()));
  Object o;
  o.reserve(3);
  o.append_new("h", Value(h));
  o.append_new("s", Value(scaled_channel(sat, digits)));
  o.append_new("v", Value(scaled_channel(val, digits)));
  return spaced_json_text(Value(std::move(o)), colour_keys);
}

// Appends each named member of obj, converted with to_number and truncated,
// as four hex digits.
void append_hex4_members(std::string& out, const Value& obj, std::initializer_list<std::string_view> names) {
  for (std::string_view name : names) append_hex(out, to_number(obj[name]), 4);
}

std::string_view control_mode_name(double mode) {
  if (mode == 0) return "direct";
  if (mode == 1) return "gradient";
  return "";
}

std::string_view scene_mode_name(double mode) {
  if (mode == 0) return "static";
  if (mode == 1) return "jump";
  if (mode == 2) return "gradient";
  return "";
}

}  // namespace

ReadResult hb_range_v1_read(const Value& raw, const Value&, const Value&) {
  const double x = KESVO_TRY(range_input(raw));
  const double c = limit(std::trunc(x), 25, 255);
  const double r = std::floor((c - 25) / 230 * 100);
  return number_value(limit(r, 0, 100));
}

ReadResult hb_range_v2_read(const Value& raw, const Value&, const Value&) {
  const double x = KESVO_TRY(range_input(raw));
  const double c = limit(std::trunc(x), 0, 255);
  const double r = std::floor(c / 255 * 11000 + 1000);
  return number_value(limit(r, 1000, 12000));
}

constexpr std::string_view kJsqSuffix = "|0|0";

ReadResult hb_jsq_lightv1_read(const Value& raw, const Value&, const Value&) {
  std::string out(raw_text(raw));
  out += kJsqSuffix;
  return Value(std::move(out));
}

Result<Value> hb_jsq_lightv1_write(const Value& value, const Value&) {
  if (!value.is_string()) return Value("");
  std::string_view s = value.as_string();
  if (s.ends_with(kJsqSuffix)) s.remove_suffix(kJsqSuffix.size());
  return Value(s);
}

ReadResult dj_v1_hsv_read(const Value& raw, const Value&, const Value&) { return hsv14_read(raw, 3); }
ReadResult voice_atm_color_read(const Value& raw, const Value&, const Value&) { return hsv14_read(raw, 4); }

Result<Value> hsv14_write(const Value& value, const Value&) {
  const EmbeddedJson obj(value);
  const double h = round_half_even(to_number((*obj)["h"]));
  const double s = round_half_even(to_number((*obj)["s"]));
  const double v = round_half_even(to_number((*obj)["v"]));
  const Rgb c = hsv_to_rgb(h / 360, s / 255, v / 255);
  std::string out;
  out.reserve(14);
  append_hex(out, round_to_i64(c.r * 255), 2);
  append_hex(out, round_to_i64(c.g * 255), 2);
  append_hex(out, round_to_i64(c.b * 255), 2);
  append_hex(out, h, 4);
  append_hex(out, s, 2);
  append_hex(out, v, 2);
  return Value(std::move(out));
}

ReadResult hb_djv1_color_read(const Value& raw, const Value&, const Value&) {
  const EmbeddedJson obj(raw);
  const double h = to_number((*obj)["h"]);
  const double s = to_number((*obj)["s"]);
  const double v = to_number((*obj)["v"]);
  const Rgb c = hsv_to_rgb(h / 360, s / 255, v / 255);
  std::string out = std::to_string(to_i64(c.r * 255));
  out += '|';
  out += std::to_string(to_i64(c.g * 255));
  out += '|';
  out += std::to_string(to_i64(c.b * 255));
  return Value(std::move(out));
}

ReadResult dj_v2_color_read(const Value& raw, const Value&, const Value&) {
  const std::string_view s = raw_text(raw);
  Object o;
  o.reserve(3);
  o.append_new("h", Value(KESVO_TRY(hex_field(s, 0, 4))));
  o.append_new("s", Value(KESVO_TRY(hex_field(s, 4, 8))));
  o.append_new("v", Value(KESVO_TRY(hex_field(s, 8, 12))));
  return spaced_json_text(Value(std::move(o)), electricity_keys);
}

Result<Value> dj_v2_color_write(const Value& value, const Value&) {
  const EmbeddedJson obj(value);
  std::string out;
  out.reserve(12);
  append_hex4_members(out, *obj, {"h", "s", "v"});
  return Value(std::move(out));
}

ReadResult dj_v2_control_read(const Value& raw, const Value&, const Value&) {
  const std::string_view s = raw_text(raw);
  if (s.empty()) return Value("");
  Object o;
  o.reserve(6);
  o.append_new("change_mode", Value(control_mode_name(KESVO_TRY(hex_field(s, 0, 1)))));
  o.append_new("h", Value(KESVO_TRY(hex_field(s, 1, 5))));
  o.append_new("s", Value(KESVO_TRY(hex_field(s, 5, 9))));
  o.append_new("v", Value(KESVO_TRY(hex_field(s, 9, 13))));
  o.append_new("bright", Value(KESVO_TRY(hex_field(s, 13, 17))));
  o.append_new("temperature", Value(KESVO_TRY(hex_field(s, 17, s.size()))));
  return spaced_json_text(Value(std::move(o)), electricity_keys);
}

Result<Value> dj_v2_control_write(const Value& value, const Value&) {
  const EmbeddedJson obj(value);
  std::string out = (*obj)["change_mode"].string_or_empty() == "gradient" ? "1" : "0";
  out.reserve(21);
  append_hex4_members(out, *obj, {"h", "s", "v", "bright", "temperature"});
  return Value(std::move(out));
}

ReadResult dj_v2_scene_read(const Value& raw, const Value&, const Value&) {
  const std::string_view s = raw_text(raw);
  constexpr size_t kUnit = 26;
  const size_t units = s.size() < 2 + kUnit ? 0 : (s.size() - 2) / kUnit;
  const double scene = KESVO_TRY(hex_field(s, 0, 2));
  Array list;
  list.reserve(units);
  for (size_t k = 0; k < units; ++k) {
    const size_t start = 2 + kUnit * k;
    if (!is_char_boundary(s, start) || !is_char_boundary(s, start + kUnit)) return fail_msg("invalid scene");
    const std::string_view u = s.substr(start, kUnit);
    Object o;
    o.reserve(8);
    o.append_new("unit_switch_duration", Value(KESVO_TRY(hex_field(u, 0, 2))));
    o.append_new("unit_gradient_duration", Value(KESVO_TRY(hex_field(u, 2, 4))));
    o.append_new("unit_change_mode", Value(scene_mode_name(KESVO_TRY(hex_field(u, 4, 6)))));
    o.append_new("h", Value(KESVO_TRY(hex_field(u, 6, 10))));
    o.append_new("s", Value(KESVO_TRY(hex_field(u, 10, 14))));
    o.append_new("v", Value(KESVO_TRY(hex_field(u, 14, 18))));
    o.append_new("bright", Value(KESVO_TRY(hex_field(u, 18, 22))));
    o.append_new("temperature", Value(KESVO_TRY(hex_field(u, 22, 26))));
    list.emplace_back(std::move(o));
  }
  Object scene_obj;
  scene_obj.reserve(2);
  scene_obj.append_new("scene_num", Value(scene + 1));
  scene_obj.append_new("scene_units", Value(std::move(list)));
  return spaced_json_text(Value(std::move(scene_obj)), electricity_keys);
}

Result<Value> dj_v2_scene_write(const Value& value, const Value&) {
  const EmbeddedJson obj(value);
  const int64_t scene = to_i64(to_number((*obj)["scene_num"]));
  std::string out;
  // Scene numbers are stored minus one; the lowest integer has nothing below.
  append_hex(out, scene == INT64_MIN ? scene : scene - 1, 2);
  const Value& units = (*obj)["scene_units"];
  if (units.is_array()) {
    out.reserve(2 + 26 * units.as_array().size());
    for (const Value& u : units.as_array()) {
      append_hex(out, to_number(u["unit_switch_duration"]), 2);
      append_hex(out, to_number(u["unit_gradient_duration"]), 2);
      const std::string_view mode = u["unit_change_mode"].string_or_empty();
      append_hex(out, int64_t{mode == "gradient" ? 2 : mode == "jump" ? 1 : 0}, 2);
      append_hex4_members(out, u, {"h", "s", "v", "bright", "temperature"});
    }
  }
  return Value(std::move(out));
}

ReadResult dj_v1_scene_read(const Value& raw, const Value&, const Value&) {
  const std::string_view s = raw_text(raw);
  if (s.empty()) return Value("");
  Object o;
  o.reserve(4);
  o.append_new("frequency", Value(KESVO_TRY(hex_field(s, 4, 6))));
  o.append_new("bright", Value(KESVO_TRY(hex_field(s, 0, 2))));
  o.append_new("temperature", Value(KESVO_TRY(hex_field(s, 2, 4))));
  Array groups;
  if (s.size() >= 9) {
    const size_t count = (s.size() - 3) / 6;
    groups.reserve(count);
    for (size_t k = 0; k < count; ++k) {
      const size_t start = 8 + 6 * k;
      if (start + 6 > s.size() || !is_char_boundary(s, start) || !is_char_boundary(s, start + 6)) {
        return fail_msg("invalid scene");
      }
      groups.push_back(KESVO_TRY(rgb_to_hsv(s.substr(start, 6))));
    }
  }
  o.append_new("hsv", Value(std::move(groups)));
  return spaced_json_text(Value(std::move(o)), colour_keys);
}

}  // namespace strategies

}  // namespace kesvo
