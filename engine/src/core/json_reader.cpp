#include "core/json_reader.h"

#include <cmath>
#include <cstring>

#include <fast_float/fast_float.h>

#include "core/utf8.h"

namespace kesvo {

namespace {

inline bool is_ws(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
inline bool is_digit(char c) { return c >= '0' && c <= '9'; }

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

class Reader {
 public:
  explicit Reader(std::string_view text) : begin_(text.data()), p_(text.data()), end_(text.data() + text.size()) {}

  bool read_document(Value& out) {
    if (!parse_value(out, 0)) return false;
    skip_ws();
    if (p_ != end_) return fail_at("trailing characters", p_);
    return true;
  }

  std::string take_error() { return std::move(error_); }

 private:
  // Records the message with the position of the byte at `at`.
  bool fail_at(const char* message, const char* at) {
    size_t line = 1;
    const char* line_start = begin_;
    for (const char* q = begin_; q < at; ++q) {
      if (*q == '\n') {
        ++line;
        line_start = q + 1;
      }
    }
    size_t column = static_cast<size_t>(at - line_start);
    if (at < end_) ++column;
    error_ = message;
    error_ += " at line ";
    error_ += std::to_string(line);
    error_ += " column ";
    error_ += std::to_string(column);
    return false;
  }
  bool fail_eof(const char* message) { return fail_at(message, end_); }

  void skip_ws() {
    while (p_ < end_ && is_ws(*p_)) ++p_;
  }

  bool parse_value(Value& out, int depth) {
    skip_ws();
    if (p_ == end_) return fail_eof("EOF while parsing a value");
    switch (*p_) {
      case 'n':
        if (!expect_ident("null")) return false;
        out = Value();
        return true;
      case 't':
        if (!expect_ident("true")) return false;
        out = Value(true);
        return true;
      case 'f':
        if (!expect_ident("false")) return false;
        out = Value(false);
        return true;
      case '"': {
        std::string s;
        if (!parse_string(s)) return false;
        out = Value(std::move(s));
        return true;
      }
      case '[':
        if (depth + 1 > kMaxJsonDepth) return fail_at("recursion limit exceeded", p_);
        return parse_array(out, depth + 1);
      case '{':
        if (depth + 1 > kMaxJsonDepth) return fail_at("recursion limit exceeded", p_);
        return parse_object(out, depth + 1);
      default:
        if (*p_ == '-' || is_digit(*p_)) return parse_number(out);
        return fail_at("expected value", p_);
    }
  }

  bool expect_ident(const char* word) {
    ++p_;  // first letter already matched
    for (const char* w = word + 1; *w; ++w, ++p_) {
      if (p_ == end_) return fail_eof("EOF while parsing a value");
      if (*p_ != *w) return fail_at("expected ident", p_);
    }
    return true;
  }

  bool parse_array(Value& out, int depth) {
    ++p_;  // '['
    Array items;
    skip_ws();
    if (p_ == end_) return fail_eof("EOF while parsing a list");
    if (*p_ == ']') {
      ++p_;
      out = Value(std::move(items));
      return true;
    }
    while (true) {
      items.emplace_back();
      if (!parse_value(items.back(), depth)) return false;
      skip_ws();
      if (p_ == end_) return fail_eof("EOF while parsing a list");
      if (*p_ == ',') {
        ++p_;
        skip_ws();
        if (p_ < end_ && *p_ == ']') return fail_at("trailing comma", p_);
        continue;
      }
      if (*p_ == ']') {
        ++p_;
        out = Value(std::move(items));
        return true;
      }
      return fail_at("expected `,` or `]`", p_);
    }
  }

  bool parse_object(Value& out, int depth) {
    ++p_;  // '{'
    Object obj;
    skip_ws();
    if (p_ == end_) return fail_eof("EOF while parsing an object");
    if (*p_ == '}') {
      ++p_;
      out = Value(std::move(obj));
      return true;
    }
    bool after_comma = false;
    while (true) {
      skip_ws();
      if (p_ == end_) return fail_eof("EOF while parsing a value");
      const char c = *p_;
      if (c != '"') {
        if (c == '}' && after_comma) return fail_at("trailing comma", p_);
        // Something that starts a JSON value of another type is a key of the
        // wrong type; anything else is simply not a key.
        if (c == '-' || is_digit(c) || c == '{' || c == '[' || c == 't' || c == 'f' || c == 'n')
          return fail_at("key must be a string", p_);
        return fail_at("expected `\"`", p_);
      }
      std::string key;
      if (!parse_string(key)) return false;
      skip_ws();
      if (p_ == end_) return fail_eof("EOF while parsing an object");
      if (*p_ != ':') return fail_at("expected `:`", p_);
      ++p_;
      Value v;
      if (!parse_value(v, depth)) return false;
      // A repeated key keeps its first position and takes the later value.
      obj.set(std::move(key), std::move(v));
      skip_ws();
      if (p_ == end_) return fail_eof("EOF while parsing an object");
      if (*p_ == ',') {
        ++p_;
        after_comma = true;
        continue;
      }
      if (*p_ == '}') {
        ++p_;
        out = Value(std::move(obj));
        return true;
      }
      return fail_at("expected `,` or `}`", p_);
    }
  }

  // Reads four hex digits after "\u"; p_ points at the first digit.
  bool read_hex4(uint32_t& unit) {
    unit = 0;
    for (int i = 0; i < 4; ++i) {
      if (p_ == end_) return fail_eof("unexpected end of hex escape");
      const int d = hex_digit(*p_);
      if (d < 0) return fail_at("invalid escape", p_);
      unit = unit * 16 + static_cast<uint32_t>(d);
      ++p_;
    }
    return true;
  }

  bool parse_string(std::string& out) {
    ++p_;  // opening quote
    while (true) {
      const char* run = p_;
      while (p_ < end_) {
        const unsigned char c = static_cast<unsigned char>(*p_);
        if (c == '"' || c == '\\' || c < 0x20) break;
        ++p_;
      }
      out.append(run, p_);
      if (p_ == end_) return fail_eof("EOF while parsing a string");
      const unsigned char c = static_cast<unsigned char>(*p_);
      if (c == '"') {
        ++p_;
        return true;
      }
      if (c < 0x20) return fail_at("control character (\\u0000-\\u001F) found while parsing a string", p_);
      ++p_;  // backslash
      if (p_ == end_) return fail_eof("EOF while parsing a string");
      const char e = *p_;
      switch (e) {
        case '"': out += '"'; ++p_; break;
        case '\\': out += '\\'; ++p_; break;
        case '/': out += '/'; ++p_; break;
        case 'b': out += '\b'; ++p_; break;
        case 'f': out += '\f'; ++p_; break;
        case 'n': out += '\n'; ++p_; break;
        case 'r': out += '\r'; ++p_; break;
        case 't': out += '\t'; ++p_; break;
        case 'u': {
          ++p_;
          uint32_t unit;
          if (!read_hex4(unit)) return false;
          if (unit >= 0xDC00 && unit <= 0xDFFF) return fail_at("invalid unicode code point", p_ - 1);
          if (unit >= 0xD800 && unit <= 0xDBFF) {
            if (p_ == end_) return fail_eof("EOF while parsing a string");
            if (*p_ != '\\') return fail_at("lone leading surrogate in hex escape", p_);
            if (p_ + 1 == end_) return fail_eof("EOF while parsing a string");
            if (p_[1] != 'u') return fail_at("lone leading surrogate in hex escape", p_ + 1);
            p_ += 2;
            uint32_t low;
            if (!read_hex4(low)) return false;
            if (low < 0xDC00 || low > 0xDFFF) return fail_at("lone leading surrogate in hex escape", p_ - 1);
            unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
          }
          utf8_append(unit, out);
          break;
        }
        default:
          return fail_at("invalid escape", p_);
      }
    }
  }

  bool parse_number(Value& out) {
    const char* start = p_;
    const bool neg = *p_ == '-';
    if (neg) {
      ++p_;
      if (p_ == end_) return fail_eof("EOF while parsing a value");
    }
    if (*p_ == '0') {
      ++p_;
      if (p_ < end_ && is_digit(*p_)) return fail_at("invalid number", p_);
    } else if (is_digit(*p_)) {
      while (p_ < end_ && is_digit(*p_)) ++p_;
    } else {
      return fail_at("invalid number", p_);
    }
    const char* int_end = p_;
    bool is_float = false;
    if (p_ < end_ && *p_ == '.') {
      ++p_;
      if (p_ == end_) return fail_eof("invalid number");
      if (!is_digit(*p_)) return fail_at("invalid number", p_);
      while (p_ < end_ && is_digit(*p_)) ++p_;
      is_float = true;
    }
    if (p_ < end_ && (*p_ == 'e' || *p_ == 'E')) {
      ++p_;
      if (p_ < end_ && (*p_ == '+' || *p_ == '-')) ++p_;
      if (p_ == end_) return fail_eof("invalid number");
      if (!is_digit(*p_)) return fail_at("invalid number", p_);
      while (p_ < end_ && is_digit(*p_)) ++p_;
      is_float = true;
    }
    if (!is_float) {
      const char* d = start + (neg ? 1 : 0);
      uint64_t mag = 0;
      bool overflow = false;
      for (; d < int_end; ++d) {
        const uint64_t digit = static_cast<uint64_t>(*d - '0');
        if (mag > (UINT64_MAX - digit) / 10) {
          overflow = true;
          break;
        }
        mag = mag * 10 + digit;
      }
      if (!overflow) {
        if (!neg) {
          out = Value::from_u64(mag);
          return true;
        }
        if (mag == 0) {
          out = Value(-0.0);
          return true;
        }
        if (mag <= (uint64_t{1} << 63)) {
          out = Value::from_i64(static_cast<int64_t>(0 - mag));
          return true;
        }
      }
    }
    double d = 0;
    auto r = fast_float::from_chars(start, p_, d);
    if (r.ptr != p_) return fail_at("invalid number", p_ - 1);
    if (std::isinf(d)) return fail_at("number out of range", p_ - 1);
    out = Value(d);
    return true;
  }

  const char* begin_;
  const char* p_;
  const char* end_;
  std::string error_;
};

}  // namespace

Result<Value, std::string> read_json(std::string_view text) {
  Reader reader(text);
  Value out;
  if (!reader.read_document(out)) return fail_msg(reader.take_error());
  return out;
}

}  // namespace kesvo
