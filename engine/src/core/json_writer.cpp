#include "core/json_writer.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace kesvo {

namespace {

void write_uint(uint64_t v, std::string& out) {
  char buf[24];
  auto r = std::to_chars(buf, buf + sizeof buf, v);
  out.append(buf, r.ptr);
}

void write_int(int64_t v, std::string& out) {
  char buf[24];
  auto r = std::to_chars(buf, buf + sizeof buf, v);
  out.append(buf, r.ptr);
}

// Bytes that need an escape: '"', '\\' and everything below 0x20.
inline bool needs_escape(unsigned char c) { return c < 0x20 || c == '"' || c == '\\'; }

}  // namespace

void format_double(double d, std::string& out) {
  if (!std::isfinite(d)) {
    out += "null";
    return;
  }
  // Shortest round-trip digits in scientific form: "D[.DDD]e[+-]XX".
  char buf[40];
  auto r = std::to_chars(buf, buf + sizeof buf, d, std::chars_format::scientific);
  const char* p = buf;
  const char* end = r.ptr;
  if (*p == '-') {
    out += '-';
    ++p;
  }
  char digits[24];
  size_t n = 0;
  while (p < end && *p != 'e') {
    if (*p != '.') digits[n++] = *p;
    ++p;
  }
  int exp10 = 0;
  if (p < end) {
    ++p;  // 'e'
    bool neg = false;
    if (*p == '+' || *p == '-') neg = (*p++ == '-');
    while (p < end) exp10 = exp10 * 10 + (*p++ - '0');
    if (neg) exp10 = -exp10;
  }
  const int point = exp10 + 1;  // value = 0.digits x 10^point
  if (point > -5 && point <= 16) {
    if (point <= 0) {
      out += "0.";
      out.append(static_cast<size_t>(-point), '0');
      out.append(digits, n);
    } else if (static_cast<size_t>(point) >= n) {
      out.append(digits, n);
      out.append(static_cast<size_t>(point) - n, '0');
      out += ".0";
    } else {
      out.append(digits, static_cast<size_t>(point));
      out += '.';
      out.append(digits + point, n - static_cast<size_t>(point));
    }
  } else {
    out += digits[0];
    if (n > 1) {
      out += '.';
      out.append(digits + 1, n - 1);
    }
    out += 'e';
    write_int(point - 1, out);
  }
}

void write_json_string(std::string_view s, std::string& out) {
  static const char kHex[] = "0123456789abcdef";
  out += '"';
  const char* p = s.data();
  const char* end = p + s.size();
  while (p < end) {
    const char* run = p;
    while (p < end && !needs_escape(static_cast<unsigned char>(*p))) ++p;
    out.append(run, p);
    if (p == end) break;
    const unsigned char c = static_cast<unsigned char>(*p++);
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\b': out += "\\b"; break;
      case '\t': out += "\\t"; break;
      case '\n': out += "\\n"; break;
      case '\f': out += "\\f"; break;
      case '\r': out += "\\r"; break;
      default: {
        char esc[6] = {'\\', 'u', '0', '0', kHex[c >> 4], kHex[c & 15]};
        out.append(esc, 6);
      }
    }
  }
  out += '"';
}

void write_json(const Value& v, std::string& out) {
  switch (v.type()) {
    case Value::Type::Null: out += "null"; break;
    case Value::Type::Bool: out += v.as_bool() ? "true" : "false"; break;
    case Value::Type::UInt: write_uint(v.as_uint(), out); break;
    case Value::Type::Int: write_int(v.as_int(), out); break;
    case Value::Type::Double: format_double(v.as_double(), out); break;
    case Value::Type::String: write_json_string(v.as_string(), out); break;
    case Value::Type::Array: {
      out += '[';
      bool first = true;
      for (const Value& item : v.as_array()) {
        if (!first) out += ',';
        first = false;
        write_json(item, out);
      }
      out += ']';
      break;
    }
    case Value::Type::Object: {
      out += '{';
      bool first = true;
      for (const Member& m : v.as_object()) {
        if (!first) out += ',';
        first = false;
        write_json_string(m.key, out);
        out += ':';
        write_json(m.value, out);
      }
      out += '}';
      break;
    }
  }
}

std::string to_json(const Value& v) {
  std::string out;
  write_json(v, out);
  return out;
}

}  // namespace kesvo
