#include "adapter/strategy_support.h"

#include <charconv>
#include <cmath>

#include <fast_float/fast_float.h>

#include "core/base64.h"
#include "core/hex.h"
#include "core/json_writer.h"
#include "core/value_rules.h"
#include "data/dp_kind.h"

namespace kesvo {

namespace {

constexpr std::string_view kColourKeys[] = {"h", "s", "v"};
constexpr std::string_view kElectricityKeys[] = {"voltage",       "electricCurrent", "power",        "reactivePower",
                                                 "apparentPower", "powerFactor",     "electricTotal"};

bool kept(KeepList keep, std::string_view name) {
  for (std::string_view k : keep) {
    if (k == name) return true;
  }
  return false;
}

void write_number(const Value& v, bool keep_as_is, std::string& out) {
  if (keep_as_is) {
    write_json(v, out);
    return;
  }
  write_json(number_value(v.number_as_double()), out);
}

void write_spaced(const Value& v, std::string_view governing, KeepList keep, std::string& out) {
  switch (v.type()) {
    case Value::Type::UInt:
    case Value::Type::Int:
    case Value::Type::Double: write_number(v, kept(keep, governing), out); return;
    case Value::Type::Array: {
      out += '[';
      bool first = true;
      for (const Value& item : v.as_array()) {
        if (!first) out += ", ";
        first = false;
        write_spaced(item, governing, keep, out);
      }
      out += ']';
      return;
    }
    case Value::Type::Object: {
      out += '{';
      bool first = true;
      for (const Member& m : v.as_object()) {
        if (!first) out += ", ";
        first = false;
        write_json_string(m.key, out);
        out += ": ";
        write_spaced(m.value, m.key, keep, out);
      }
      out += '}';
      return;
    }
    default: write_json(v, out); return;
  }
}

}  // namespace

const KeepList colour_keys{kColourKeys};
const KeepList electricity_keys{kElectricityKeys};

EmbeddedJson::EmbeddedJson(const Value& v) {
  if (v.is_string()) {
    owned_ = parse_embedded_json(v);
  } else {
    ref_ = &v;
  }
}

Result<double, std::string> hex_field(std::string_view s, size_t a, size_t b) {
  const size_t n = s.size();
  const size_t lo = a < n ? a : n;
  const size_t hi = b < n ? b : n;
  if (!is_char_boundary(s, lo) || !is_char_boundary(s, hi)) return fail_msg("invalid hex");
  if (hi <= lo) return 0.0;
  size_t i = lo;
  if (s[i] == '+') ++i;
  if (i == hi) return fail_msg("invalid hex");
  uint64_t v = 0;
  for (; i < hi; ++i) {
    const int d = hex_digit_value(s[i]);
    if (d < 0) return fail_msg("invalid hex");
    if (v > (UINT64_MAX >> 4)) return fail_msg("invalid hex");
    v = (v << 4) | static_cast<uint64_t>(d);
  }
  return static_cast<double>(v);
}

std::optional<std::string> decode_base64(const Value& raw) {
  if (!raw.is_string()) return std::nullopt;
  return base64_decode_filtered(raw.as_string());
}

double round_to(double x, int digits) {
  if (!std::isfinite(x)) return x;
  if (digits < 0) digits = 0;
  // Every double is exact with 1074 decimals; more change nothing.
  if (digits > 1074) return x;
  // Up to 309 integer digits, the point, the decimals and a sign.
  char small[128];
  std::string large;
  char* buf = small;
  size_t cap = sizeof small;
  if (digits > 100) {
    large.resize(static_cast<size_t>(digits) + 320);
    buf = large.data();
    cap = large.size();
  }
  auto r = std::to_chars(buf, buf + cap, x, std::chars_format::fixed, digits);
  if (r.ec != std::errc()) {
    large.resize(static_cast<size_t>(digits) + 320);
    buf = large.data();
    r = std::to_chars(buf, buf + large.size(), x, std::chars_format::fixed, digits);
    if (r.ec != std::errc()) return x;
  }
  double out = x;
  fast_float::from_chars(buf, r.ptr, out);
  return out;
}

int64_t round_to_i64(double x) { return to_i64(round_half_even(x)); }

void append_hex(std::string& out, int64_t v, int width) {
  append_hex_padded(out, static_cast<uint64_t>(v), width > 0 ? static_cast<size_t>(width) : 0);
}

void append_hex(std::string& out, double x, int width) { append_hex(out, to_i64(x), width); }

void write_spaced_json(const Value& value, KeepList keep, std::string& out) { write_spaced(value, {}, keep, out); }

Value spaced_json_text(const Value& value, KeepList keep) {
  std::string out;
  write_spaced(value, {}, keep, out);
  return Value(std::move(out));
}

}  // namespace kesvo
