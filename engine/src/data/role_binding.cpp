#include "data/role_binding.h"

#include <cstdint>
#include <limits>

#include "core/utf8.h"
#include "core/value_rules.h"

namespace kesvo {

namespace {

// A decimal integer text: optional "+" or "-", at least one digit, nothing
// else, within the signed 64-bit range.
std::optional<int64_t> parse_integer_text(std::string_view s) {
  size_t i = 0;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
    negative = s[i] == '-';
    ++i;
  }
  if (i == s.size()) return std::nullopt;
  const uint64_t limit = negative ? uint64_t{1} << 63 : static_cast<uint64_t>(std::numeric_limits<int64_t>::max());
  uint64_t magnitude = 0;
  for (; i < s.size(); ++i) {
    const char c = s[i];
    if (c < '0' || c > '9') return std::nullopt;
    const auto digit = static_cast<uint64_t>(c - '0');
    if (magnitude > (limit - digit) / 10) return std::nullopt;
    magnitude = magnitude * 10 + digit;
  }
  if (!negative) return static_cast<int64_t>(magnitude);
  // -2^63 has no positive counterpart: negate in unsigned arithmetic.
  return static_cast<int64_t>(~magnitude + 1);
}

// One member of an Integer spec as an integer: numbers and booleans are
// truncated (saturating), strings must hold a decimal integer once Unicode
// white space is trimmed; anything else has no integer value.
std::optional<int64_t> integer_member(const Value& v) {
  if (v.is_number() || v.is_bool()) return to_i64(to_number(v));
  if (v.is_string()) return parse_integer_text(trim_unicode_whitespace(v.as_string()));
  return std::nullopt;
}

Result<std::optional<Value>, std::string> normalise_integer_spec(Value spec, std::string_view code) {
  static constexpr std::string_view kMembers[] = {"min", "max", "scale", "step"};
  if (!spec.is_object()) return fail_msg("schema " + std::string(code) + ": missing integer field");
  Object& o = spec.as_object();
  for (std::string_view name : kMembers) {
    const Value* v = o.find(name);
    if (!v || v->is_null()) return fail_msg("schema " + std::string(code) + ": missing integer field");
  }
  for (std::string_view name : kMembers) {
    Value* v = o.find(name);
    std::optional<int64_t> n = integer_member(*v);
    if (!n) return fail_msg("schema " + std::string(code) + ": invalid integer " + std::string(name));
    *v = Value::from_i64(*n);
  }
  return std::optional<Value>(std::move(spec));
}

// The search shared by both entry points. `accepts` maps a DP's kind to the
// accepted kind name it matched, or nothing.
template <class Accepts>
Result<std::optional<Role>, std::string> search(const Value& device, std::span<const std::string> candidates,
                                                bool prefer_writable, Accepts&& accepts) {
  const Value& writable = device["function"];
  const Value& readable = device["status_range"];
  const Value* tables[2] = {&readable, &writable};
  if (prefer_writable) std::swap(tables[0], tables[1]);
  for (const std::string& code : candidates) {
    for (const Value* table : tables) {
      const Value& description = (*table)[code];
      std::optional<DpKind> dp_kind = parse_kind(description["type"]);
      if (!dp_kind) continue;
      std::optional<std::string_view> matched = accepts(kind_name(*dp_kind));
      if (!matched) continue;
      std::optional<DpKind> kind = parse_kind(*matched);
      if (!kind) return fail_msg("invalid dp kind");
      Result<std::optional<Value>, std::string> spec = qualify_dp(description, code, *kind);
      if (!spec.ok()) return std::move(spec).failure();
      if (!spec.value()) continue;
      return std::optional<Role>(Role{code, *kind, std::move(*spec.value()), readable[code]["report_type"]});
    }
  }
  return std::optional<Role>();
}

}  // namespace

Result<std::optional<Value>, std::string> qualify_dp(const Value& description, std::string_view code, DpKind kind) {
  Value spec = parse_embedded_json(description["values"]);
  switch (kind) {
    case DpKind::Enum:
    case DpKind::Bitmap:
      if (!truthy(spec)) return std::optional<Value>();
      return std::optional<Value>(std::move(spec));
    case DpKind::Integer: return normalise_integer_spec(std::move(spec), code);
    default: return std::optional<Value>(std::move(spec));
  }
}

Result<std::optional<Role>, std::string> resolve_role(const Value& device, std::span<const std::string> candidates,
                                                      std::string_view kind_name, bool prefer_writable) {
  return search(device, candidates, prefer_writable,
                [kind_name](std::string_view dp_kind) -> std::optional<std::string_view> {
                  if (dp_kind == kind_name) return kind_name;
                  return std::nullopt;
                });
}

Result<std::optional<Role>, std::string> resolve_role_any(const Value& device, std::span<const std::string> candidates,
                                                          std::span<const std::string> kind_names,
                                                          bool prefer_writable) {
  return search(device, candidates, prefer_writable,
                [kind_names](std::string_view dp_kind) -> std::optional<std::string_view> {
                  for (const std::string& name : kind_names) {
                    if (name == dp_kind) return std::string_view(name);
                  }
                  return std::nullopt;
                });
}

}  // namespace kesvo
