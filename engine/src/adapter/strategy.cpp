#include "adapter/strategy.h"

#include <algorithm>

#include "adapter/strategy_families.h"
#include "adapter/strategy_support.h"
#include "core/json_writer.h"
#include "core/value_rules.h"

namespace kesvo {

namespace {

using namespace strategies;

// Sorted by name (byte order) for binary search.
constexpr StrategyDef kRegistry[] = {
    {"cz_timer1_alg", cz_timer1_read, cz_timer1_write, NullRead::Null},
    {"cz_timer2_alg", cz_timer2_read, cz_timer2_write, NullRead::Null},
    {"db_v1_alarm", db_v1_alarm_read, nullptr, NullRead::Null},
    {"db_v1_daily", db_v1_daily_read, nullptr, NullRead::Null},
    {"db_v1_frozen", db_v1_frozen_read, nullptr, NullRead::Null},
    {"db_v1_month", db_v1_month_read, nullptr, NullRead::Null},
    {"db_v1_params", db_v1_params_read, nullptr, NullRead::Null},
    {"default", default_read, default_write, NullRead::Strategy},
    {"dj_v1_hsv_alg", dj_v1_hsv_read, hsv14_write, NullRead::Null},
    {"dj_v1_scene_alg", dj_v1_scene_read, nullptr, NullRead::Null},
    {"dj_v2_color_alg", dj_v2_color_read, dj_v2_color_write, NullRead::Null},
    {"dj_v2_contr_alg", dj_v2_control_read, dj_v2_control_write, NullRead::Null},
    {"dj_v2_music_alg", dj_v2_control_read, dj_v2_control_write, NullRead::Null},
    {"dj_v2_scene_alg", dj_v2_scene_read, dj_v2_scene_write, NullRead::Null},
    {"enum", enum_read, enum_write, NullRead::Strategy},
    {"hb_djv1_color", hb_djv1_color_read, nullptr, NullRead::Null},
    {"hb_jsq_lightv1", hb_jsq_lightv1_read, hb_jsq_lightv1_write, NullRead::EmptyText},
    {"hb_range_v1", hb_range_v1_read, nullptr, NullRead::EmptyText},
    {"hb_range_v2", hb_range_v2_read, nullptr, NullRead::EmptyText},
    {"ms_dp_syn_alg", ms_dp_syn_read, nullptr, NullRead::Null},
    {"sd_clean_record", sd_clean_record_read, nullptr, NullRead::Null},
    {"voice_atm_color", voice_atm_color_read, hsv14_write, NullRead::Null},
};

constexpr bool registry_sorted() {
  for (size_t i = 1; i < std::size(kRegistry); ++i) {
    if (!(kRegistry[i - 1].name < kRegistry[i].name)) return false;
  }
  return true;
}
static_assert(registry_sorted(), "the strategy registry must be sorted by name");

std::string ascii_lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

bool all_digits(std::string_view s) {
  for (char c : s) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

}  // namespace

const StrategyDef* find_strategy(std::string_view name) {
  const StrategyDef* end = std::end(kRegistry);
  const StrategyDef* it =
      std::lower_bound(std::begin(kRegistry), end, name, [](const StrategyDef& d, std::string_view n) { return d.name < n; });
  return it != end && it->name == name ? it : nullptr;
}

Value config_default(const Value& config) {
  const std::string type = ascii_lower(config["valueType"].string_or_empty());
  if (type == "boolean") return Value(false);
  if (type != "enum" && type != "integer") return Value("");
  const EmbeddedJson desc(config["valueDesc"]);
  if (type == "enum") {
    const Value& range = (*desc)["range"];
    return range.is_array() && !range.as_array().empty() ? range.as_array().front() : Value();
  }
  return (*desc)["min"];
}

Result<Value, std::string> strategy_read(std::string_view name, const Value& value, const Value& config,
                                         const Value& rules) {
  const StrategyDef* def = find_strategy(name);
  if (!def) return value;
  if (value.is_null()) {
    switch (def->null_read) {
      case NullRead::Strategy: break;
      case NullRead::Null: return Value();
      case NullRead::EmptyText: return Value("");
    }
  }
  return def->read(value, config, rules);
}

Result<Value> strategy_write(std::string_view name, const Value& value, const Value& config) {
  const StrategyDef* def = find_strategy(name);
  if (!def || !def->write) return fail(ErrorKind::Unsupported, "this dp's value conversion has no inverse");
  return def->write(value, config);
}

namespace strategies {

ReadResult default_read(const Value& raw, const Value& config, const Value&) {
  if (raw.is_null() || (raw.is_string() && raw.as_string().empty())) return config_default(config);
  return raw;
}

Result<Value> default_write(const Value& value, const Value&) { return value; }

ReadResult enum_read(const Value& raw, const Value&, const Value&) {
  if (raw.is_bool()) return Value(raw.as_bool() ? "True" : "False");
  if (raw.is_string()) return raw;
  return Value(to_json(raw));
}

Result<Value> enum_write(const Value& value, const Value& config) {
  const Value& map = config["enumMappingMap"];
  if (!map.is_object()) return value;
  const std::string* first = nullptr;
  for (const Member& m : map.as_object()) {
    const Value* mapped = m.value.find("value");
    if (!mapped || !strict_equal(*mapped, value)) continue;
    if (all_digits(m.key)) return Value(m.key);
    if (!first) first = &m.key;
  }
  return first ? Value(*first) : value;
}

}  // namespace strategies

}  // namespace kesvo
