#include "core/value_rules.h"

#include <cmath>
#include <limits>

#include <fast_float/fast_float.h>

namespace kesvo {

bool truthy(const Value& v) {
  switch (v.type()) {
    case Value::Type::Null: return false;
    case Value::Type::Bool: return v.as_bool();
    case Value::Type::UInt: return v.as_uint() != 0;
    case Value::Type::Int: return v.as_int() != 0;
    case Value::Type::Double: return v.as_double() != 0.0;
    case Value::Type::String: return !v.as_string().empty();
    case Value::Type::Array: return !v.as_array().empty();
    case Value::Type::Object: return !v.as_object().empty();
  }
  return false;
}

namespace {

bool equals_ignore_case(std::string_view s, std::string_view lower_word) {
  if (s.size() != lower_word.size()) return false;
  for (size_t i = 0; i < s.size(); ++i) {
    char c = s[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != lower_word[i]) return false;
  }
  return true;
}

inline bool is_digit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::optional<double> parse_float_text(std::string_view s) {
  size_t i = 0;
  bool neg = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
    neg = s[i] == '-';
    ++i;
  }
  std::string_view body = s.substr(i);
  if (equals_ignore_case(body, "inf") || equals_ignore_case(body, "infinity")) {
    return neg ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
  }
  if (equals_ignore_case(body, "nan")) return std::numeric_limits<double>::quiet_NaN();
  // Validate the grammar ourselves, then let fast_float do the correctly
  // rounded conversion of the unsigned part.
  size_t j = 0;
  size_t int_digits = 0;
  while (j < body.size() && is_digit(body[j])) ++j, ++int_digits;
  size_t frac_digits = 0;
  if (j < body.size() && body[j] == '.') {
    ++j;
    while (j < body.size() && is_digit(body[j])) ++j, ++frac_digits;
  }
  if (int_digits + frac_digits == 0) return std::nullopt;
  if (j < body.size() && (body[j] == 'e' || body[j] == 'E')) {
    ++j;
    if (j < body.size() && (body[j] == '+' || body[j] == '-')) ++j;
    size_t exp_digits = 0;
    while (j < body.size() && is_digit(body[j])) ++j, ++exp_digits;
    if (exp_digits == 0) return std::nullopt;
  }
  if (j != body.size()) return std::nullopt;
  double d = 0;
  const char* first = body.data();
  const char* last = body.data() + body.size();
  auto r = fast_float::from_chars(first, last, d);
  if (r.ptr != last) {
    // fast_float wants a digit before the point ("1." or ".5" forms): retry
    // with an explicit zero so both forms convert identically.
    std::string fixed;
    fixed.reserve(body.size() + 2);
    if (int_digits == 0) fixed += '0';
    for (size_t k = 0; k < body.size(); ++k) {
      fixed += body[k];
      if (body[k] == '.' && (k + 1 == body.size() || !is_digit(body[k + 1]))) fixed += '0';
    }
    r = fast_float::from_chars(fixed.data(), fixed.data() + fixed.size(), d);
    if (r.ptr != fixed.data() + fixed.size()) return std::nullopt;
  }
  return neg ? -d : d;
}

double to_number(const Value& v) {
  switch (v.type()) {
    case Value::Type::UInt:
    case Value::Type::Int:
    case Value::Type::Double: return v.number_as_double();
    case Value::Type::String: return parse_float_text(v.as_string()).value_or(0.0);
    case Value::Type::Bool: return v.as_bool() ? 1.0 : 0.0;
    default: return 0.0;
  }
}

Value number_value(double x) {
  if (!std::isfinite(x)) return Value();
  if (x == std::trunc(x) && std::fabs(x) < 9.22e18) return Value::from_i64(static_cast<int64_t>(x));
  return Value(x);
}

bool strict_equal(const Value& a, const Value& b) {
  using T = Value::Type;
  const T ta = a.type();
  const T tb = b.type();
  if (a.is_integer() && b.is_integer()) {
    return ta == tb && (ta == T::UInt ? a.as_uint() == b.as_uint() : a.as_int() == b.as_int());
  }
  if (ta != tb) return false;
  switch (ta) {
    case T::Null: return true;
    case T::Bool: return a.as_bool() == b.as_bool();
    case T::Double: return a.as_double() == b.as_double();
    case T::String: return a.as_string() == b.as_string();
    case T::Array: {
      const Array& x = a.as_array();
      const Array& y = b.as_array();
      if (x.size() != y.size()) return false;
      for (size_t i = 0; i < x.size(); ++i) {
        if (!strict_equal(x[i], y[i])) return false;
      }
      return true;
    }
    case T::Object: {
      const Object& x = a.as_object();
      const Object& y = b.as_object();
      if (x.size() != y.size()) return false;
      for (const Member& m : x) {
        const Value* other = y.find(m.key);
        if (!other || !strict_equal(m.value, *other)) return false;
      }
      return true;
    }
    default: return false;
  }
}

bool loose_equal(const Value& a, const Value& b) {
  const bool na = a.is_number() || a.is_bool();
  const bool nb = b.is_number() || b.is_bool();
  if (na && nb) return to_number(a) == to_number(b);
  return strict_equal(a, b);
}

int64_t to_i64(double x) {
  if (std::isnan(x)) return 0;
  if (x >= 9223372036854775807.0) return std::numeric_limits<int64_t>::max();
  if (x <= -9223372036854775808.0) return std::numeric_limits<int64_t>::min();
  return static_cast<int64_t>(x);
}

int32_t to_i32(double x) {
  if (std::isnan(x)) return 0;
  if (x >= 2147483647.0) return std::numeric_limits<int32_t>::max();
  if (x <= -2147483648.0) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(x);
}

double round_half_even(double x) {
  if (!std::isfinite(x)) return x;
  const double r = std::round(x);  // ties away from zero
  if (std::fabs(x - std::trunc(x)) == 0.5) return 2.0 * std::round(x / 2.0);
  return r;
}

std::vector<std::string> string_list(const Value& v) {
  std::vector<std::string> out;
  if (v.is_string()) {
    out.push_back(v.as_string());
  } else if (v.is_array()) {
    for (const Value& item : v.as_array()) {
      if (item.is_string()) out.push_back(item.as_string());
    }
  }
  return out;
}

}  // namespace kesvo
