// Packed-record strategies: switch timers (base64 of fixed-size binary
// records), DP-id sets packed as group bitmaps, and vacuum cleaning records.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "adapter/strategy_families.h"
#include "adapter/strategy_support.h"
#include "core/base64.h"
#include "core/value_rules.h"

namespace kesvo::strategies {

namespace {

constexpr std::string_view kTimeMembers[] = {"start_time", "end_time", "open_time", "close_time"};

// Minutes as the text HH:MM; hours are not reduced modulo 24.
std::string time_text(unsigned minutes) {
  std::string out;
  const unsigned h = minutes / 60;
  const unsigned m = minutes % 60;
  if (h < 10) out += '0';
  out += std::to_string(h);
  out += ':';
  if (m < 10) out += '0';
  out += std::to_string(m);
  return out;
}

// An unsigned 16-bit decimal: an optional "+" and at least one digit.
std::optional<unsigned> parse_u16(std::string_view s) {
  size_t i = 0;
  if (i < s.size() && s[i] == '+') ++i;
  if (i == s.size()) return std::nullopt;
  unsigned v = 0;
  for (; i < s.size(); ++i) {
    if (s[i] < '0' || s[i] > '9') return std::nullopt;
    v = v * 10 + static_cast<unsigned>(s[i] - '0');
    if (v > 65535) return std::nullopt;
  }
  return v;
}

// HH:MM to minutes; the total must fit 16 bits.
std::optional<unsigned> parse_time(std::string_view t) {
  const size_t colon = t.find(':');
  if (colon == std::string_view::npos || t.find(':', colon + 1) != std::string_view::npos) return std::nullopt;
  const auto hours = parse_u16(t.substr(0, colon));
  const auto minutes = parse_u16(t.substr(colon + 1));
  if (!hours || !minutes) return std::nullopt;
  const unsigned total = *hours * 60 + *minutes;
  if (total > 65535) return std::nullopt;
  return total;
}

ReadResult timer_read(const Value& raw, size_t record_size) {
  const auto bytes = decode_base64(raw);
  if (!bytes) return fail_msg("invalid base64");
  if (bytes->size() % record_size != 0) return fail_msg("invalid timer");
  const auto* b = reinterpret_cast<const unsigned char*>(bytes->data());
  const size_t times = (record_size - 2) / 2;
  Array list;
  list.reserve(bytes->size() / record_size);
  for (size_t off = 0; off < bytes->size(); off += record_size) {
    const unsigned char* r = b + off;
    Object o;
    o.reserve(2 + times);
    o.append_new("timer_switch", Value(r[0] != 0));
    Array days;
    for (int i = 0; i < 8; ++i) {
      if (r[1] & (1u << i)) days.emplace_back(i);
    }
    o.append_new("week_day", Value(std::move(days)));
    for (size_t t = 0; t < times; ++t) {
      const unsigned minutes = (unsigned{r[2 + 2 * t]} << 8) | r[3 + 2 * t];
      o.append_new(std::string(kTimeMembers[t]), Value(time_text(minutes)));
    }
    list.emplace_back(std::move(o));
  }
  return spaced_json_text(Value(std::move(list)), electricity_keys);
}

Result<Value> timer_write(const Value& value, size_t record_size) {
  const EmbeddedJson list(value);
  std::string bytes;
  if (!list->is_array()) return Value("");
  const size_t times = (record_size - 2) / 2;
  bytes.reserve(list->as_array().size() * record_size);
  for (const Value& e : list->as_array()) {
    bytes += static_cast<char>(truthy(e["timer_switch"]) ? 1 : 0);
    unsigned days = 0;
    const Value& week = e["week_day"];
    if (week.is_array()) {
      for (const Value& d : week.as_array()) {
        double n = to_number(d);
        if (std::isnan(n)) n = 0;
        n = std::clamp(n, 0.0, 4294967295.0);
        const auto bit = static_cast<uint64_t>(n);
        if (bit < 8) days |= 1u << bit;
      }
    }
    bytes += static_cast<char>(days);
    for (size_t t = 0; t < times; ++t) {
      const auto minutes = parse_time(e[kTimeMembers[t]].string_or_empty());
      if (!minutes) return fail(ErrorKind::Invalid, "invalid time");
      bytes += static_cast<char>(*minutes >> 8);
      bytes += static_cast<char>(*minutes & 0xFF);
    }
  }
  return Value(base64_encode(bytes));
}

// Signed 64-bit decimal: an optional sign and digits only.
std::optional<int64_t> parse_i64(std::string_view s) {
  size_t i = 0;
  bool neg = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
    neg = s[i] == '-';
    ++i;
  }
  if (i == s.size()) return std::nullopt;
  uint64_t v = 0;
  const uint64_t limit = neg ? uint64_t{1} << 63 : (uint64_t{1} << 63) - 1;
  for (; i < s.size(); ++i) {
    if (s[i] < '0' || s[i] > '9') return std::nullopt;
    const auto d = static_cast<uint64_t>(s[i] - '0');
    if (v > (limit - d) / 10) return std::nullopt;
    v = v * 10 + d;
  }
  return neg ? static_cast<int64_t>(0 - v) : static_cast<int64_t>(v);
}

// The bytes from a to b when the text reaches b and both ends fall on
// character boundaries; otherwise nothing.
std::optional<std::string_view> piece(std::string_view s, size_t a, size_t b) {
  if (s.size() < b || !is_char_boundary(s, a) || !is_char_boundary(s, b)) return std::nullopt;
  return s.substr(a, b - a);
}

}  // namespace

ReadResult cz_timer1_read(const Value& raw, const Value&, const Value&) { return timer_read(raw, 6); }
ReadResult cz_timer2_read(const Value& raw, const Value&, const Value&) { return timer_read(raw, 10); }
Result<Value> cz_timer1_write(const Value& value, const Value&) { return timer_write(value, 6); }
Result<Value> cz_timer2_write(const Value& value, const Value&) { return timer_write(value, 10); }

ReadResult ms_dp_syn_read(const Value& raw, const Value&, const Value&) {
  const auto bytes = decode_base64(raw);
  Array out;
  if (!bytes) return Value(std::move(out));
  const auto* b = reinterpret_cast<const unsigned char*>(bytes->data());
  std::vector<int64_t> ids;
  for (size_t k = 0; k + 1 < bytes->size(); k += 2) {
    const int64_t group = b[k] & 0x7F;
    for (int i = 0; i < 8; ++i) {
      if (b[k + 1] & (1u << i)) ids.push_back(8 * (group - 1) + i);
    }
  }
  std::sort(ids.begin(), ids.end());
  ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
  out.reserve(ids.size());
  for (int64_t id : ids) out.emplace_back(id);
  return Value(std::move(out));
}

ReadResult sd_clean_record_read(const Value& raw, const Value&, const Value&) {
  const std::string_view s = raw_text(raw);
  const size_t n = s.size();
  std::optional<std::string_view> record_time, clean_time, clean_area, map_id;
  if (n == 6) {
    clean_time = piece(s, 0, 3);
    clean_area = piece(s, 3, 6);
  } else if (n == 11) {
    clean_time = piece(s, 0, 3);
    clean_area = piece(s, 3, 6);
    map_id = piece(s, 6, 11);
  } else if (n == 18) {
    record_time = piece(s, 0, 12);
    clean_time = piece(s, 12, 15);
    clean_area = piece(s, 15, 18);
  } else {
    record_time = piece(s, 0, 12);
    clean_time = piece(s, 12, 15);
    clean_area = piece(s, 15, 18);
    map_id = piece(s, 18, 23);
  }
  const std::optional<int64_t> time = clean_time ? parse_i64(*clean_time) : std::nullopt;
  if (!time) return fail_msg("invalid clean time");
  const std::optional<int64_t> area = clean_area ? parse_i64(*clean_area) : std::nullopt;
  if (!area) return fail_msg("invalid area");
  Object o;
  o.reserve(4);
  o.append_new("record_time", Value(record_time.value_or(std::string_view())));
  o.append_new("clean_time", Value(*time));
  o.append_new("clean_area", Value(*area));
  o.append_new("map_id", Value(map_id.value_or(std::string_view())));
  return spaced_json_text(Value(std::move(o)), electricity_keys);
}

}  // namespace kesvo::strategies
