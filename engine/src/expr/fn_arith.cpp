// Arithmetic functions. Results pass through number_value: non-finite
// results become null and whole results integers.
#include <cmath>

#include "core/value_rules.h"
#include "expr/builtins.h"

namespace kesvo::expr {

namespace {

ExprResult range_of(const Value& n) {
  double m = to_number(n);
  if (std::isnan(m) || m < 0) m = 0;
  if (std::isinf(m) || m >= 100000.0) return fail_limit(kValueSizeLimit);
  const auto t = static_cast<uint64_t>(m);
  Array out;
  out.reserve(t);
  for (uint64_t i = 0; i < t; ++i) out.emplace_back(Value::from_u64(i));
  return Value(std::move(out));
}

}  // namespace

ExprResult call_arithmetic(Op code, Args& args) {
  const Value& a = args[0];
  const Value& b = args[1];
  switch (code) {
    case Op::Add:
    case Op::Sub:
    case Op::Mul:
    case Op::Div:
    case Op::Min:
    case Op::Max: {
      if (!a.is_number() || !b.is_number()) return Value();
      const double x = a.number_as_double();
      const double y = b.number_as_double();
      switch (code) {
        case Op::Add: return number_value(x + y);
        case Op::Sub: return number_value(x - y);
        case Op::Mul: return number_value(x * y);
        case Op::Div: return number_value(x / y);
        case Op::Min: return number_value(y < x ? y : x);
        default: return number_value(y > x ? y : x);
      }
    }
    case Op::Num: return number_value(to_number(a));
    case Op::Floor:
      if (!a.is_number()) return Value();
      return number_value(std::floor(a.number_as_double()));
    case Op::RoundHalfEven:
      if (!a.is_number()) return Value();
      return number_value(round_half_even(a.number_as_double()));
    case Op::Remap: {
      if (args.size() != 5) return Value();
      for (const Value& v : args) {
        if (!v.is_number()) return Value();
      }
      const double x = args[0].number_as_double();
      const double in_lo = args[1].number_as_double();
      const double in_hi = args[2].number_as_double();
      const double out_lo = args[3].number_as_double();
      const double out_hi = args[4].number_as_double();
      return number_value(out_lo + (out_hi - out_lo) * ((x - in_lo) / (in_hi - in_lo)));
    }
    case Op::Range: return range_of(a);
    default: return Value();
  }
}

}  // namespace kesvo::expr
