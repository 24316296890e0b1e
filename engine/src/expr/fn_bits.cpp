// Bit tests, feature flags and hexadecimal texts.
#include <cmath>

#include "core/hex.h"
#include "core/value_rules.h"
#include "expr/builtins.h"

namespace kesvo::expr {

namespace {

// to_number clamped to [0, 4294967295] and truncated; NaN gives 0.
uint64_t clamped_u32(const Value& v) {
  const double d = to_number(v);
  if (!(d > 0)) return 0;
  if (d >= 4294967295.0) return 4294967295u;
  return static_cast<uint64_t>(d);
}

ExprResult hex_text(const Value& v, const Value& width_arg) {
  const double width = to_number(width_arg);
  if (!std::isfinite(width) || width < 0 || width > static_cast<double>(kMaxValueBytes)) {
    return fail_limit(kTextSizeLimit);
  }
  const auto w = static_cast<size_t>(width);
  std::string out;
  out.reserve(w > 16 ? w : 16);
  append_hex_padded(out, static_cast<uint64_t>(integer_of_value(v)), w);
  return Value(std::move(out));
}

ExprResult hex_ints(const Value& s, const Value& count_arg, const Value& width_arg) {
  const uint64_t count = clamped_u32(count_arg);
  const uint64_t width = clamped_u32(width_arg);
  if (!s.is_string()) return Value();
  const std::string& text = s.as_string();
  if (count * width != text.size()) return Value();
  for (unsigned char c : text) {
    if (c >= 0x80) return Value();
  }
  Array out;
  out.reserve(count);
  for (uint64_t k = 0; k < count; ++k) {
    std::string_view piece(text.data() + k * width, width);
    if (!piece.empty() && piece[0] == '+') piece.remove_prefix(1);
    if (piece.empty()) return Value();
    uint64_t n = 0;
    for (char c : piece) {
      const int d = hex_digit_value(c);
      if (d < 0 || (n >> 60) != 0) return Value();
      n = (n << 4) | static_cast<uint64_t>(d);
    }
    out.emplace_back(Value::from_u64(n));
  }
  return Value(std::move(out));
}

}  // namespace

ExprResult call_bits(Op code, EvalContext& ctx, Args& args) {
  switch (code) {
    case Op::BitTest: {
      const Value& v = args[0];
      if (!v.is_number()) return Value(false);
      const uint64_t bit = clamped_u32(args[1]);
      if (bit > 63) return Value(false);
      return Value(((static_cast<uint64_t>(integer_of_number(v)) >> bit) & 1u) != 0);
    }
    case Op::Flag: {
      const int64_t mask = feature_mask(ctx, args[0].string_or_empty(), args[1].string_or_empty());
      return Value((mask & integer_of_value(args[2])) != 0);
    }
    case Op::Hex: return hex_text(args[0], args[1]);
    case Op::HexInts: return hex_ints(args[0], args[1], args[2]);
    default: return Value();
  }
}

}  // namespace kesvo::expr
