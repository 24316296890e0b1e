// Energy-metering strategies: instantaneous parameters, period totals, the
// frozen-reading time and alarm settings, all reported as base64 records.
#include <charconv>
#include <climits>
#include <cmath>
#include <string>

#include "adapter/electricity_record.h"
#include "adapter/strategy_families.h"
#include "adapter/strategy_support.h"
#include "core/value_rules.h"
#include "data/dp_kind.h"

namespace kesvo::strategies {

namespace {

// Byte i of a record, 0 past its end.
unsigned byte_at(std::string_view b, size_t i) { return i < b.size() ? static_cast<unsigned char>(b[i]) : 0u; }

// Bytes 4 to 7 as a 32-bit big-endian count of hundredths; 0.0 for a record
// too short to hold them.
double electric_total(std::string_view b) {
  if (b.size() < 8) return 0.0;
  const uint32_t v = (byte_at(b, 4) << 24) | (byte_at(b, 5) << 16) | (byte_at(b, 6) << 8) | byte_at(b, 7);
  return v / 100.0;
}

// A period record: four single bytes under the given names, then the total.
ReadResult period_read(const Value& raw, const std::string_view (&names)[4]) {
  const auto bytes = decode_base64(raw);
  if (!bytes) return fail_msg("invalid base64");
  Object o;
  o.reserve(5);
  for (size_t i = 0; i < 4; ++i) o.append_new(std::string(names[i]), Value(byte_at(*bytes, i)));
  o.append_new("electricTotal", Value(electric_total(*bytes)));
  return spaced_json_text(Value(std::move(o)), electricity_keys);
}

// An alarm threshold as text: with a positive scale, a decimal with at least
// one fractional digit and no exponent; otherwise the truncated integer.
std::string threshold_text(double x, double scale) {
  char buf[400];
  std::to_chars_result r;
  if (scale > 0) {
    if (x == std::trunc(x)) {
      r = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::fixed, 1);
    } else {
      r = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::fixed);
    }
  } else {
    r = std::to_chars(buf, buf + sizeof buf, to_i64(x));
  }
  return r.ec == std::errc() ? std::string(buf, r.ptr) : std::string();
}

}  // namespace

ReadResult db_v1_params_read(const Value& raw, const Value&, const Value&) {
  const auto bytes = decode_base64(raw);
  if (!bytes) return fail_msg("invalid base64");
  const Value rec = decode_electricity(*bytes);
  if (rec.is_null()) return fail_msg("short electricity payload");
  Object o;
  o.reserve(6);
  o.append_new("voltage", rec["voltage"]);
  o.append_new("electricCurrent", Value(to_number(rec["current"]) / 1000));
  o.append_new("power", Value(to_number(rec["power"]) / 1000));
  if (!rec["reactive_power"].is_null()) {
    o.append_new("reactivePower", number_value(to_number(rec["reactive_power"]) / 1000));
    o.append_new("apparentPower", number_value(to_number(rec["apparent_power"]) / 1000));
    o.append_new("powerFactor", rec["power_factor"]);
  }
  return spaced_json_text(Value(std::move(o)), electricity_keys);
}

ReadResult db_v1_daily_read(const Value& raw, const Value&, const Value&) {
  static constexpr std::string_view kNames[4] = {"startMonth", "startDay", "endMonth", "endDay"};
  return period_read(raw, kNames);
}

ReadResult db_v1_month_read(const Value& raw, const Value&, const Value&) {
  static constexpr std::string_view kNames[4] = {"startYear", "startMonth", "endYear", "endMonth"};
  return period_read(raw, kNames);
}

ReadResult db_v1_frozen_read(const Value& raw, const Value&, const Value&) {
  const auto bytes = decode_base64(raw);
  if (!bytes) return fail_msg("invalid base64");
  Object o;
  o.reserve(2);
  o.append_new("day", Value(byte_at(*bytes, 0)));
  o.append_new("hour", Value(byte_at(*bytes, 1)));
  return spaced_json_text(Value(std::move(o)), electricity_keys);
}

ReadResult db_v1_alarm_read(const Value& raw, const Value&, const Value& rules) {
  const auto bytes = decode_base64(raw);
  if (!bytes) return fail_msg("invalid base64");
  const Value& table = rules["meter_alarms"];
  Array list;
  const std::string_view b = *bytes;
  for (size_t off = 0; off < b.size() && table.is_object(); off += 4) {
    const std::string_view chunk = b.substr(off, 4);
    const Value* entry = table.find(std::to_string(byte_at(chunk, 0)));
    if (!entry || entry->is_null()) continue;
    const bool is_list = entry->is_array();
    const size_t len = is_list ? entry->as_array().size() : 0;
    Object o;
    o.reserve(3);
    o.append_new("alarmCode", len > 0 ? entry->as_array()[0] : Value());
    o.append_new("doAction", Value(chunk.size() >= 2 && byte_at(chunk, 1) == 1));
    if (len >= 2 && !entry->as_array()[1].is_null()) {
      const double scale = to_number(entry->as_array()[1]);
      const int32_t k = to_i32(scale);
      unsigned rawv = 0;
      for (size_t i = 2; i < chunk.size(); ++i) rawv = (rawv << 8) | byte_at(chunk, i);
      // Dividing by a negative power of ten computed by repeated
      // multiplication (0.1 * 0.1 = 0.010000000000000002) would truncate
      // 2500 at scale -2 to 249999; multiplying by the positive power is
      // exact.
      const double x = k >= 0 ? rawv / pow10_scale(k) : rawv * pow10_scale(k == INT32_MIN ? INT32_MAX : -k);
      o.append_new("threshold", Value(threshold_text(x, scale)));
    }
    list.emplace_back(std::move(o));
  }
  return spaced_json_text(Value(std::move(list)), electricity_keys);
}

}  // namespace kesvo::strategies
