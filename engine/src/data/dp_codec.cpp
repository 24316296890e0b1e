#include "data/dp_codec.h"

#include <cmath>

#include "core/value_rules.h"

namespace kesvo {

namespace {

bool is_inverted(const Value& spec) {
  const Value& inverted = spec["inverted"];
  return inverted.is_bool() && inverted.as_bool();
}

bool range_contains(const Value& spec, const Value& v) {
  const Value& range = spec["range"];
  if (!range.is_array()) return false;
  for (const Value& item : range.as_array()) {
    if (strict_equal(item, v)) return true;
  }
  return false;
}

Value decode_integer(const Value& spec, const Value& raw) {
  if (!raw.is_number() && !raw.is_bool()) return Value();
  const double r = to_number(raw);
  const double lo = to_number(spec["min"]);
  if (r < lo) return Value();
  const double hi = to_number(spec["max"]);
  if (r > hi) return Value();
  const double factor = spec_scale_factor(spec);
  const double v = is_inverted(spec) ? hi / factor - r / factor : r / factor;
  if (!std::isfinite(v)) return Value();
  return Value(v);
}

Value decode_boolean(const Value& raw) {
  if (raw.is_bool()) return raw;
  if (raw.is_number()) {
    const double d = raw.number_as_double();
    if (d == 1.0 || d == 0.0) return raw;
  }
  return Value();
}

Result<Value, std::string> encode_integer(const Value& spec, const Value& value) {
  if (!value.is_number() && !value.is_bool()) return fail_msg("invalid numeric value");
  double v = to_number(value);
  const double factor = spec_scale_factor(spec);
  if (is_inverted(spec)) v = to_number(spec["max"]) / factor - v;
  const double raw = round_half_even(v * factor);
  // Written so that a NaN raw value passes both bounds.
  if (to_number(spec["min"]) > raw || raw > to_number(spec["max"])) return fail_msg("value out of range");
  if (!std::isfinite(raw)) return Value();
  if (std::fabs(raw) < 9.22e18) return Value::from_i64(to_i64(raw));
  return Value(raw);
}

}  // namespace

Value decode_dp_value(const Role& role, const Value& raw) {
  switch (role.kind) {
    case DpKind::Integer: return decode_integer(role.spec, raw);
    case DpKind::Boolean: return decode_boolean(raw);
    case DpKind::Enum: return range_contains(role.spec, raw) ? raw : Value();
    default: return raw;
  }
}

Value decode_dp(const Role& role, const Value& status) { return decode_dp_value(role, status[role.code]); }

Result<Value, std::string> encode_dp(const Role& role, const Value& value) {
  switch (role.kind) {
    case DpKind::Integer: return encode_integer(role.spec, value);
    case DpKind::Boolean:
      if (!value.is_bool()) return fail_msg("invalid boolean value");
      return value;
    case DpKind::Enum:
      if (!value.is_string() || !range_contains(role.spec, value)) return fail_msg("invalid enum value");
      return value;
    default: return value;
  }
}

}  // namespace kesvo
