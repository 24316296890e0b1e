// Internal to the expression language: limit messages, the value walk
// behind charging and the size pre-check, helpers shared by the special
// forms and the functions, and the per-group function dispatchers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/json.h"
#include "core/result.h"
#include "expr/eval.h"
#include "expr/functions.h"
#include "expr/op_table.h"

namespace kesvo::expr {

inline constexpr std::string_view kEvalLimit = "rule evaluation limit exceeded";
inline constexpr std::string_view kNestingLimit = "rule nesting limit exceeded";
inline constexpr std::string_view kValueSizeLimit = "rule value size limit exceeded";
inline constexpr std::string_view kTextSizeLimit = "rule text size limit exceeded";
inline constexpr std::string_view kAllocLimit = "rule allocation limit exceeded";
inline constexpr std::string_view kInstructionLimit = "rule instruction limit exceeded";
inline constexpr std::string_view kProgramNotArray = "rule program must be an array";
inline constexpr std::string_view kTemplatesNeedRules = "templates need a rule pack";

// Member lookup in the small objects that operations and statements are:
// the key is a literal, so the comparison inlines. Large objects use their
// hash index.
template <size_t N>
inline const Value* key_member(const Object& o, const char (&key)[N]) {
  constexpr size_t len = N - 1;
  if (o.size() > 8) return o.find(std::string_view(key, len));
  for (const Member& m : o) {
    if (m.key.size() == len && __builtin_memcmp(m.key.data(), key, len) == 0) return &m.value;
  }
  return nullptr;
}

template <size_t N>
inline const Value& key_member_or_null(const Object& o, const char (&key)[N]) {
  const Value* v = key_member(o, key);
  return v ? *v : Value::null_value();
}

inline Failure<std::string> fail_limit(std::string_view message) { return fail_msg(std::string(message)); }

using VoidResult = Result<void, std::string>;

// Node and text-byte count of a value, from the charging walk: every node
// counts 1, strings and member keys add their byte length. Fails when an
// element lies 64 levels below the top, above 100,000 nodes or above
// 1,048,576 bytes.
struct Measure {
  uint64_t nodes = 0;
  uint64_t bytes = 0;
};
VoidResult measure_value(const Value& v, Measure& m);

// The size pre-check of the collection functions that copy whole arguments:
// each argument measured on its own, node counts summed.
VoidResult precheck_size(const Args& args);

// The index of an array element named by a path segment: a number held as
// an unsigned integer, or a text of decimal digits with at most one leading
// "+" that fits 64 bits.
std::optional<uint64_t> index_from_text(std::string_view s);
std::optional<uint64_t> index_from_segment(const Value& segment);

// Integer conversion of a number: integers exactly (saturating above the
// signed range), floats by truncation toward zero with saturation, NaN 0.
int64_t integer_of_number(const Value& v);

// to_number followed by the integer conversion; exact for integers.
int64_t integer_of_value(const Value& v);

// rules["features"][table][name] as an integer (0 when missing, not a
// number, string or true, or when no variable "rules" exists).
int64_t feature_mask(const EvalContext& ctx, std::string_view table, std::string_view name);

// The "to_string" text of a value, appended to `out`.
void append_text_of(const Value& v, std::string& out);

// The per-group dispatchers; `op` is the operation object.
ExprResult call_comparison(Op code, Args& args);
ExprResult call_arithmetic(Op code, Args& args);
ExprResult call_bits(Op code, EvalContext& ctx, Args& args);
ExprResult call_strings(Op code, Args& args);
ExprResult call_collections(Op code, Args& args, const Value& op);
ExprResult call_decoders(Op code, Args& args);

// Dispatches a built-in function by code (code >= kFirstFunction).
ExprResult call_builtin(Op code, EvalContext& ctx, Args& args, const Value& op);

}  // namespace kesvo::expr
