// Function dispatch and the helpers the function groups share.
#include "expr/functions.h"

#include <cmath>
#include <limits>

#include "core/value_rules.h"
#include "expr/builtins.h"

namespace kesvo {

namespace expr {

std::optional<uint64_t> index_from_text(std::string_view s) {
  size_t i = 0;
  if (!s.empty() && s[0] == '+') i = 1;
  if (i == s.size()) return std::nullopt;
  uint64_t n = 0;
  for (; i < s.size(); ++i) {
    const char c = s[i];
    if (c < '0' || c > '9') return std::nullopt;
    if (__builtin_mul_overflow(n, uint64_t{10}, &n) || __builtin_add_overflow(n, uint64_t(c - '0'), &n)) {
      return std::nullopt;
    }
  }
  return n;
}

std::optional<uint64_t> index_from_segment(const Value& segment) {
  if (segment.is_uint()) return segment.as_uint();
  if (segment.is_string()) return index_from_text(segment.as_string());
  return std::nullopt;
}

int64_t integer_of_number(const Value& v) {
  switch (v.type()) {
    case Value::Type::UInt:
      return v.as_uint() > static_cast<uint64_t>(std::numeric_limits<int64_t>::max())
                 ? std::numeric_limits<int64_t>::max()
                 : static_cast<int64_t>(v.as_uint());
    case Value::Type::Int: return v.as_int();
    case Value::Type::Double: return to_i64(v.as_double());
    default: return 0;
  }
}

int64_t integer_of_value(const Value& v) {
  if (v.is_number()) return integer_of_number(v);
  return to_i64(to_number(v));
}

int64_t feature_mask(const EvalContext& ctx, std::string_view table, std::string_view name) {
  const Value* rules = ctx.lookup("rules");
  if (!rules) return 0;
  const Value& entry = (*rules)["features"][table][name];
  if (entry.is_number()) return integer_of_number(entry);
  if (entry.is_string()) return to_i64(to_number(entry));
  if (entry.is_bool()) return entry.as_bool() ? 1 : 0;
  return 0;
}

ExprResult call_builtin(Op code, EvalContext& ctx, Args& args, const Value& op) {
  if (code >= kFirstDecoder) return call_decoders(code, args);
  if (code >= kFirstCollection) return call_collections(code, args, op);
  if (code >= kFirstString) return call_strings(code, args);
  if (code >= kFirstBits) return call_bits(code, ctx, args);
  if (code >= kFirstArithmetic) return call_arithmetic(code, args);
  return call_comparison(code, args);
}

}  // namespace expr

bool is_function(std::string_view name) {
  const expr::Op code = expr::lookup_op(name);
  return code >= expr::kFirstFunction && code != expr::Op::Unknown;
}

ExprResult call_function(EvalContext& ctx, std::string_view name, Args& args, const Value& op) {
  const expr::Op code = expr::lookup_op(name);
  if (code < expr::kFirstFunction || code == expr::Op::Unknown) {
    return fail_msg("unknown expression op " + std::string(name));
  }
  return expr::call_builtin(code, ctx, args, op);
}

}  // namespace kesvo
