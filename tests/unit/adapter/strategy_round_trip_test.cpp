// Every strategy with a write direction: engine values written and read
// back give themselves, and device texts read and written back give
// themselves.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "adapter/strategy.h"
#include "core/json_reader.h"
#include "core/json_writer.h"
#include "core/value_rules.h"
#include "unit/test_json.h"

namespace kesvo {
namespace {

const Value& no_rules() {
  static const Value rules = Value::object();
  return rules;
}

struct Table {
  std::string_view strategy;
  std::vector<std::string_view> values;  // JSON texts of engine values
};

TEST(StrategyRoundTrip, EngineValuesSurviveWriteThenRead) {
  const Table tables[] = {
      {"default", {"5", R"("x")", R"({"a": [1, 2.5]})", "true", "-3"}},
      {"hb_jsq_lightv1", {R"("12|0|0")", R"("|0|0")", R"("a b|0|0")", R"("é|0|0")"}},
      {"dj_v1_hsv_alg",
       {R"("{\"h\": 0.0, \"s\": 255.0, \"v\": 255.0}")", R"("{\"h\": 120.0, \"s\": 255.0, \"v\": 255.0}")",
        R"("{\"h\": 240.0, \"s\": 0.0, \"v\": 128.0}")", R"("{\"h\": 359.0, \"s\": 128.0, \"v\": 64.0}")",
        R"("{\"h\": 10.0, \"s\": 3.1, \"v\": 255.0}")"}},
      {"voice_atm_color",
       {R"("{\"h\": 0.0, \"s\": 255.0, \"v\": 255.0}")", R"("{\"h\": 300.0, \"s\": 200.0, \"v\": 100.0}")",
        R"("{\"h\": 10.0, \"s\": 3.0, \"v\": 255.0}")"}},
      {"dj_v2_color_alg",
       {R"("{\"h\": 120, \"s\": 1000, \"v\": 1000}")", R"("{\"h\": 0, \"s\": 0, \"v\": 0}")",
        R"("{\"h\": 65535, \"s\": 1, \"v\": 4096}")"}},
      {"dj_v2_contr_alg",
       {R"("{\"change_mode\": \"gradient\", \"h\": 120, \"s\": 1000, \"v\": 1000, \"bright\": 0, \"temperature\": 1000}")",
        R"("{\"change_mode\": \"direct\", \"h\": 0, \"s\": 1, \"v\": 2, \"bright\": 3, \"temperature\": 65535}")"}},
      {"dj_v2_music_alg",
       {R"("{\"change_mode\": \"direct\", \"h\": 359, \"s\": 500, \"v\": 10, \"bright\": 1000, \"temperature\": 0}")"}},
      {"dj_v2_scene_alg",
       {R"("{\"scene_num\": 1, \"scene_units\": []}")", R"("{\"scene_num\": 256, \"scene_units\": []}")",
        R"("{\"scene_num\": 3, \"scene_units\": [{\"unit_switch_duration\": 10, \"unit_gradient_duration\": 20, \"unit_change_mode\": \"gradient\", \"h\": 120, \"s\": 1000, \"v\": 1000, \"bright\": 500, \"temperature\": 0}, {\"unit_switch_duration\": 0, \"unit_gradient_duration\": 255, \"unit_change_mode\": \"jump\", \"h\": 0, \"s\": 0, \"v\": 0, \"bright\": 0, \"temperature\": 10}, {\"unit_switch_duration\": 1, \"unit_gradient_duration\": 1, \"unit_change_mode\": \"static\", \"h\": 1, \"s\": 1, \"v\": 1, \"bright\": 1, \"temperature\": 1}]}")"}},
      {"cz_timer1_alg",
       {R"("[]")",
        R"("[{\"timer_switch\": true, \"week_day\": [0, 1, 2, 3, 4, 5, 6], \"start_time\": \"08:00\", \"end_time\": \"10:00\"}]")",
        R"("[{\"timer_switch\": false, \"week_day\": [], \"start_time\": \"00:00\", \"end_time\": \"1092:15\"}, {\"timer_switch\": true, \"week_day\": [7], \"start_time\": \"25:00\", \"end_time\": \"23:59\"}]")"}},
      {"cz_timer2_alg",
       {R"("[]")",
        R"("[{\"timer_switch\": true, \"week_day\": [1, 3, 5], \"start_time\": \"01:00\", \"end_time\": \"01:30\", \"open_time\": \"24:00\", \"close_time\": \"00:01\"}]")"}},
  };
  for (const Table& t : tables) {
    for (std::string_view text : t.values) {
      const Value value = J(text);
      auto raw = strategy_write(t.strategy, value, Value());
      ASSERT_TRUE(raw.ok()) << t.strategy << " " << text << ": " << raw.error().message;
      auto back = strategy_read(t.strategy, raw.value(), Value(), no_rules());
      ASSERT_TRUE(back.ok()) << t.strategy << " " << text << ": " << back.error();
      EXPECT_TRUE(strict_equal(back.value(), value))
          << t.strategy << ": " << text << " -> " << to_json(raw.value()) << " -> " << to_json(back.value());
    }
  }
}

TEST(StrategyRoundTrip, DeviceTextsSurviveReadThenWrite) {
  const Table tables[] = {
      {"hb_jsq_lightv1", {R"("12")", R"("")"}},
      {"dj_v1_hsv_alg", {R"("ff00000000ffff")", R"("00ff000078ffff")", R"("808080001e0080")"}},
      {"voice_atm_color", {R"("0000ff00f0ffff")"}},
      {"dj_v2_color_alg", {R"("007803e803e8")", R"("ffff00000001")"}},
      {"dj_v2_contr_alg", {R"("1007803e803e8000003e8")", R"("0000000000000000000ff")"}},
      {"dj_v2_scene_alg", {R"("00")", R"("010a1402007803e803e801f40000")"}},
      {"cz_timer1_alg", {R"("AX8B4AJY")", R"("")"}},
      {"cz_timer2_alg", {R"("AQIAPABaBaAAAQ==")"}},
      {"default", {"7", R"("on")"}},
  };
  for (const Table& t : tables) {
    for (std::string_view text : t.values) {
      const Value raw = J(text);
      auto value = strategy_read(t.strategy, raw, Value(), no_rules());
      ASSERT_TRUE(value.ok()) << t.strategy << " " << text << ": " << value.error();
      auto back = strategy_write(t.strategy, value.value(), Value());
      ASSERT_TRUE(back.ok()) << t.strategy << " " << text << ": " << back.error().message;
      EXPECT_TRUE(strict_equal(back.value(), raw))
          << t.strategy << ": " << text << " -> " << to_json(value.value()) << " -> " << to_json(back.value());
    }
  }
}

TEST(StrategyRegistry, ListsEveryStrategyWithItsDirections) {
  const std::string_view both[] = {"default",         "enum",            "hb_jsq_lightv1",  "dj_v2_color_alg",
                                   "dj_v2_contr_alg", "dj_v2_music_alg", "dj_v2_scene_alg", "dj_v1_hsv_alg",
                                   "voice_atm_color", "cz_timer1_alg",   "cz_timer2_alg"};
  const std::string_view read_only[] = {"hb_range_v1",   "hb_range_v2",    "dj_v1_scene_alg", "hb_djv1_color",
                                        "ms_dp_syn_alg", "sd_clean_record", "db_v1_params",   "db_v1_daily",
                                        "db_v1_month",   "db_v1_frozen",    "db_v1_alarm"};
  for (std::string_view name : both) {
    const StrategyDef* def = find_strategy(name);
    ASSERT_NE(def, nullptr) << name;
    EXPECT_EQ(def->name, name);
    EXPECT_NE(def->write, nullptr) << name;
  }
  for (std::string_view name : read_only) {
    const StrategyDef* def = find_strategy(name);
    ASSERT_NE(def, nullptr) << name;
    EXPECT_EQ(def->write, nullptr) << name;
    auto w = strategy_write(name, Value(1), Value());
    ASSERT_FALSE(w.ok());
    EXPECT_EQ(w.error().kind, ErrorKind::Unsupported);
  }
  for (std::string_view name : {"", "Default", "enum ", "db_v1", "zz", "a"}) EXPECT_EQ(find_strategy(name), nullptr) << name;
}

TEST(StrategyWrite, InvalidTimeIsAnInvalidError) {
  auto r = strategy_write("cz_timer1_alg", J(R"([{"start_time": "8", "end_time": "0:0"}])"), Value());
  ASSERT_FALSE(r.ok());
  EXPECT_EQ(r.error().kind, ErrorKind::Invalid);
  EXPECT_EQ(r.error().message, "invalid time");
}

}  // namespace
}  // namespace kesvo
