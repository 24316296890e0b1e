// String functions. Texts are UTF-8; "len", "lower", "capitalize" and the
// trims work on Unicode characters, the prefix, suffix and search tests on
// bytes.
#include <charconv>
#include <cmath>

#include "core/json_reader.h"
#include "core/json_writer.h"
#include "core/unicode_case.h"
#include "core/utf8.h"
#include "core/value_rules.h"
#include "expr/builtins.h"

namespace kesvo::expr {

namespace {

inline bool is_continuation(unsigned char c) { return (c & 0xC0) == 0x80; }

std::string_view trim_start(std::string_view s) {
  size_t i = 0;
  while (i < s.size()) {
    size_t next = i;
    if (!is_unicode_whitespace(utf8_next(s, next))) break;
    i = next;
  }
  return s.substr(i);
}

std::string_view trim_end(std::string_view s) {
  size_t end = s.size();
  while (end > 0) {
    size_t start = end - 1;
    while (start > 0 && is_continuation(static_cast<unsigned char>(s[start]))) --start;
    size_t probe = start;
    if (!is_unicode_whitespace(utf8_next(s, probe))) break;
    end = start;
  }
  return s.substr(0, end);
}

Value capitalize(const std::string& s) {
  if (s.empty()) return Value(s);
  size_t i = 0;
  uint32_t mapped[3];
  const size_t n = unicode_upper(utf8_next(s, i), mapped);
  if (i > s.size()) i = s.size();  // a truncated sequence at the end of malformed text
  std::string out;
  out.reserve(s.size() + 8);
  for (size_t k = 0; k < n; ++k) utf8_append(mapped[k], out);
  out.append(s, i, std::string::npos);
  return Value(std::move(out));
}

bool contains(const Value& c, const Value& x) {
  switch (c.type()) {
    case Value::Type::String:
      return x.is_string() && c.as_string().find(x.as_string()) != std::string::npos;
    case Value::Type::Array:
      for (const Value& e : c.as_array()) {
        if (loose_equal(e, x)) return true;
      }
      return false;
    case Value::Type::Object: return c.as_object().contains(x.string_or_empty());
    default: return false;
  }
}

ExprResult replace(const Value& subject, const Value& from_arg, const Value& to_arg) {
  if (!subject.is_string()) return Value();
  const std::string_view s = subject.as_string();
  const std::string_view from = from_arg.string_or_empty();
  const std::string_view to = to_arg.string_or_empty();
  // Count the occurrences and check the result length before building it.
  uint64_t k = 0;
  if (from.empty()) {
    k = utf8_length(s) + 1;
  } else {
    for (size_t pos = s.find(from); pos != std::string_view::npos; pos = s.find(from, pos + from.size())) ++k;
  }
  uint64_t grown = 0;
  uint64_t length = s.size() - k * from.size();
  if (__builtin_mul_overflow(k, static_cast<uint64_t>(to.size()), &grown) ||
      __builtin_add_overflow(length, grown, &length) || length > kMaxValueBytes) {
    return fail_limit(kTextSizeLimit);
  }
  std::string out;
  out.reserve(length);
  if (from.empty()) {
    // `to` goes before every character and at the end.
    for (size_t i = 0; i < s.size(); ++i) {
      if (!is_continuation(static_cast<unsigned char>(s[i]))) out.append(to);
      out += s[i];
    }
    out.append(to);
  } else {
    size_t last = 0;
    for (size_t pos = s.find(from); pos != std::string_view::npos; pos = s.find(from, last)) {
      out.append(s.substr(last, pos - last));
      out.append(to);
      last = pos + from.size();
    }
    out.append(s.substr(last));
  }
  return Value(std::move(out));
}

ExprResult str_concat(const Args& args) {
  std::string out;
  for (const Value& a : args) {
    append_text_of(a, out);
    if (out.size() > kMaxValueBytes) return fail_limit(kTextSizeLimit);
  }
  return Value(std::move(out));
}

}  // namespace

void append_text_of(const Value& v, std::string& out) {
  char buf[24];
  switch (v.type()) {
    case Value::Type::Null: return;
    case Value::Type::UInt: {
      auto r = std::to_chars(buf, buf + sizeof buf, v.as_uint());
      out.append(buf, r.ptr);
      return;
    }
    case Value::Type::Int: {
      auto r = std::to_chars(buf, buf + sizeof buf, v.as_int());
      out.append(buf, r.ptr);
      return;
    }
    case Value::Type::Double: {
      const double d = v.as_double();
      if (std::fabs(d) < 1e15 && d == std::trunc(d)) {
        auto r = std::to_chars(buf, buf + sizeof buf, static_cast<int64_t>(d));  // -0.0 gives "0"
        out.append(buf, r.ptr);
      } else {
        format_double(d, out);
      }
      return;
    }
    case Value::Type::String: out += v.as_string(); return;
    default: write_json(v, out); return;
  }
}

ExprResult call_strings(Op code, Args& args) {
  const Value& a = args[0];
  switch (code) {
    case Op::Len:
      switch (a.type()) {
        case Value::Type::String: return Value::from_u64(utf8_length(a.as_string()));
        case Value::Type::Array: return Value::from_u64(a.as_array().size());
        case Value::Type::Object: return Value::from_u64(a.as_object().size());
        default: return Value();
      }
    case Op::Lower: {
      if (!a.is_string()) return Value();
      std::string out;
      append_lower_utf8(a.as_string(), out);
      return Value(std::move(out));
    }
    case Op::Capitalize:
      if (!a.is_string()) return Value();
      return capitalize(a.as_string());
    case Op::TrimStart:
      if (!a.is_string()) return Value();
      return Value(trim_start(a.as_string()));
    case Op::TrimEnd:
      if (!a.is_string()) return Value();
      return Value(trim_end(a.as_string()));
    case Op::StartsWith:
      if (!a.is_string()) return Value(false);
      return Value(std::string_view(a.as_string()).starts_with(args[1].string_or_empty()));
    case Op::EndsWith:
      if (!a.is_string()) return Value(false);
      return Value(std::string_view(a.as_string()).ends_with(args[1].string_or_empty()));
    case Op::Contains: return Value(contains(a, args[1]));
    case Op::Replace: return replace(a, args[1], args[2]);
    case Op::ToString: {
      if (a.is_string()) return args.take(0);
      std::string out;
      append_text_of(a, out);
      return Value(std::move(out));
    }
    case Op::StrConcat: return str_concat(args);
    case Op::Text: return a.is_string() ? args.take(0) : Value("");
    case Op::ParseJson: {
      if (!a.is_string()) return args.take(0);
      Result<Value, std::string> parsed = read_json(a.as_string());
      if (!parsed.ok()) return Value();
      return std::move(parsed).value();
    }
    default: return Value();
  }
}

}  // namespace kesvo::expr
