// The cost of a rule pack on the request path: a request that carries a
// realistic rule pack of about 200 KB inline (parsed, validated and
// fingerprinted on every call) against the same request naming the
// installed pack by "rules_id" (one locked lookup). Also the parts of the
// inline cost on their own: reading the request text, validation and
// fingerprinting.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "core/json.h"
#include "core/json_reader.h"
#include "core/json_writer.h"
#include "kesvo_engine.h"
#include "rules/rule_pack.h"
#include "rules/validate.h"

namespace {

using kesvo::Array;
using kesvo::Object;
using kesvo::Value;

std::string n(const char* prefix, int i) { return prefix + std::to_string(i); }

Value arr(std::initializer_list<Value> items) { return Value(Array(items)); }

// A rule pack shaped like a shipped one: platform tables, entity definitions
// with variants, state and actions in the expression language, templates,
// functions, per-product quirks, value maps, units, strategies and a few
// override blocks.
Value make_pack() {
  Object pack;
  pack.append_new("version", Value(1));

  Object platforms;
  const char* platform_names[] = {"switch", "light", "cover", "sensor", "binary_sensor", "climate",
                                  "fan",    "select", "number", "vacuum", "lock",         "siren"};
  for (const char* p : platform_names) {
    Object categories;
    for (int c = 0; c < 24; ++c) categories.append_new(n("cat", c), arr({Value(n("ent_", c % 60)), Value(n("ent_", (c * 7) % 60))}));
    platforms.append_new(p, Value(Object{{"table", Value(std::string(p) + "_table")}, {"categories", Value(std::move(categories))}}));
  }
  pack.append_new("platforms", Value(std::move(platforms)));

  Object entities;
  for (int e = 0; e < 60; ++e) {
    Object variants;
    Array list;
    for (int v = 0; v < 4; ++v) {
      list.emplace_back(Object{
          {"when", Value(Object{{"has", arr({Value(n("switch_", v)), Value("countdown")})}})},
          {"roles", Value(Object{{"on", Value(Object{{"code", Value(n("switch_", v))}, {"kind", Value("Boolean")}})},
                                 {"level", Value(Object{{"code", Value(n("bright_value_", v))}, {"scale", Value(0)},
                                                        {"min", Value(10)}, {"max", Value(1000)}})}})},
          {"name", Value(n("Channel ", v))}});
    }
    Object entity{
        {"kind", Value(platform_names[e % 12])},
        {"params", Value(Object{{"icon", Value("mdi:power")}, {"index", Value(e)}})},
        {"expose", Value(true)},
        {"role_order", arr({Value("on"), Value("level"), Value("mode"), Value("countdown")})},
        {"variants", Value(std::move(list))},
        {"state", Value(Object{{"bind", Value(Object{{"raw", Value(Object{{"dp", Value("on")}})}})},
                               {"fields", Value(Object{{"on", Value(Object{{"truthy", Value(Object{{"var", Value("raw")}})}})},
                                                       {"level", Value(Object{{"round", arr({Value(Object{{"*", arr({Value(Object{{"dp", Value("level")}}), Value(0.1)})}}), Value(1)})}})}})}})},
        {"actions", Value(Object{{"turn_on", arr({Value(Object{{"send", Value(Object{{"code", Value("on")}, {"value", Value(true)}})}})})},
                                 {"turn_off", arr({Value(Object{{"send", Value(Object{{"code", Value("on")}, {"value", Value(false)}})}})})}})},
    };
    if (e % 12 == 2) {
      entity.append_new("cover", Value(Object{{"position", arr({Value("percent_state"), Value("position")})},
                                              {"target", Value("percent_control")},
                                              {"instruction", Value("control")},
                                              {"tilt", Value("angle")},
                                              {"words", arr({Value("cover_words")})}}));
    }
    entities.append_new(n("ent_", e), Value(std::move(entity)));
  }
  pack.append_new("entities", Value(std::move(entities)));

  pack.append_new("unused", Value(Object{{"role", Value("unused")},
                                         {"variants", arr({Value(Object{{"when", Value(Object{{"kind", Value("Boolean")}})},
                                                                        {"platform", Value("binary_sensor")},
                                                                        {"steps", arr({Value("expose")})}}),
                                                           Value(Object{{"when", Value(true)}, {"platform", Value("sensor")}, {"steps", Value(Array{})}})})}}));

  Object templates;
  for (int t = 0; t < 120; ++t) {
    templates.append_new(n("tpl_", t), Value(Object{{"if", arr({Value(Object{{"==", arr({Value(Object{{"var", Value("mode")}}), Value(n("mode_", t))})}}),
                                                                 Value(Object{{"scale", arr({Value(Object{{"dp", Value(n("temp_", t))}}), Value(1)})}}),
                                                                 Value(nullptr)})}}));
  }
  pack.append_new("templates", Value(std::move(templates)));

  Object functions;
  for (int f = 0; f < 30; ++f) {
    functions.append_new(n("fn_", f), Value(Object{{"params", arr({Value("x"), Value("y")})},
                                                   {"body", Value(Object{{"+", arr({Value(Object{{"var", Value("x")}}), Value(Object{{"var", Value("y")}}), Value(f)})}})}}));
  }
  pack.append_new("functions", Value(std::move(functions)));

  Object quirks;
  for (int q = 0; q < 470; ++q) {
    quirks.append_new(n("prod", 100000 + q * 37),
                      Value(Object{{"category", Value(n("cat", q % 24))},
                                   {"dpmap", Value(Object{{"101", Value("battery")}, {"102", Value(n("temp_", q % 9))}})},
                                   {"ops", arr({Value(Object{{"op", Value("DefineDp")}, {"dpid", Value("103")}, {"code", Value("humidity")},
                                                             {"type", Value("Integer")}, {"values", Value("{\"min\":0,\"max\":100,\"unit\":\"%\"}")}})})}}));
  }
  pack.append_new("quirks", Value(std::move(quirks)));

  Object units;
  const char* unit_names[] = {"°C", "°F", "%", "W", "kWh", "V", "mA", "lx", "ppm", "s", "min", "h"};
  for (const char* u : unit_names) units.append_new(u, Value(Object{{"host", Value(u)}, {"class", Value("measurement")}}));
  pack.append_new("units", Value(Object(units)));
  pack.append_new("host_units", Value(std::move(units)));

  Object maps;
  for (int m = 0; m < 60; ++m) {
    maps.append_new(n("map_", m), Value(Object{{"open", Value("open")}, {"close", Value("close")}, {"stop", Value("stop")},
                                               {"0", Value("low")}, {"1", Value("middle")}, {"2", Value("high")}}));
  }
  maps.append_new("cover_words", Value(Object{{"open", Value("open")}, {"close", Value("close")}, {"stop", Value("stop")}}));
  pack.append_new("maps", Value(std::move(maps)));

  Object features;
  for (int f = 0; f < 80; ++f) features.append_new(n("feature_", f), arr({Value(n("cat", f % 24)), Value(f % 2 == 0)}));
  pack.append_new("features", Value(std::move(features)));
  pack.append_new("constants", Value(Object{{"manufacturer", Value("Kesvo")}, {"vacuum_return_mode", Value("dock")},
                                            {"alarm_non_triggering_messages", arr({Value("normal"), Value("tamper_clear")})},
                                            {"temperature_unit_dp", Value("temp_unit_convert")}}));
  pack.append_new("cover_defaults", Value(Object{{"invert_position", Value(false)}, {"settle", Value(5)}, {"state_source", Value(nullptr)}}));
  pack.append_new("cover_switches", Value(Object{{"invert_position", Value("Reverse position")}, {"state_source", Value("Motion source")}}));
  pack.append_new("motion_property", Value(Object{{"type", Value("select")}, {"options", arr({Value("open"), Value("closed"), Value("opening"), Value("closing"), Value("stopped")})}}));
  Array strategies;
  for (int s = 0; s < 40; ++s) strategies.emplace_back(n("strategy_", s));
  pack.append_new("strategies", Value(std::move(strategies)));

  Object overrides;
  for (int o = 0; o < 40; ++o) {
    overrides.append_new(n("prod", 200000 + o), Value(Object{
        {"dp", Value(Object{{"101", Value(Object{{"code", Value("battery")}})},
                            {"102", Value(Object{{"code", Value("temp")}, {"type", Value("Integer")}, {"mode", Value("R")}})}})},
        {"remap", Value(Object{{"mode", Value(Object{{"alias", Value(Object{{"cold", Value("cool")}, {"hot", Value("heat")}})}})}})},
        {"props", Value(Object{{"power", Value(Object{{"label", Value("Power")}, {"category", Value("config")}})}})},
        {"cover", Value(Object{{"invert_position", Value(true)}, {"living", Value(Object{{"settle", Value(3)}})}})},
    }));
  }
  pack.append_new("overrides", Value(std::move(overrides)));
  return Value(std::move(pack));
}

const Value& pack() {
  static const Value p = make_pack();
  return p;
}

const char* kDevice = R"("device":{"id":"dev1","product_id":"prod100037","category":"cat1","function":{},"status_range":{},"status":{}})";

std::string inline_request() { return "{\"op\":\"quirk_schema\",\"rules\":" + kesvo::to_json(pack()) + "," + kDevice + "}"; }
std::string id_request() { return std::string("{\"op\":\"quirk_schema\",\"rules_id\":\"bench\",") + kDevice + "}"; }

void install_once() {
  static bool done = [] {
    const std::string req = "{\"op\":\"install_rules\",\"rules_id\":\"bench\",\"rules\":" + kesvo::to_json(pack()) + "}";
    char* reply = kesvo_engine_eval(req.c_str());
    const bool ok = std::string(reply) == "{\"ok\":true,\"value\":true}";
    if (!ok) std::fprintf(stderr, "install failed: %s\n", reply);
    kesvo_engine_free(reply);
    return ok;
  }();
  (void)done;
}

void run(benchmark::State& state, const std::string& request) {
  // Both requests must give the same reply: the check runs once.
  char* first = kesvo_engine_eval(request.c_str());
  state.SetLabel(std::string(first).substr(0, 40));
  kesvo_engine_free(first);
  for (auto _ : state) {
    char* reply = kesvo_engine_eval(request.c_str());
    benchmark::DoNotOptimize(reply);
    kesvo_engine_free(reply);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * request.size()));
}

void BM_RequestWithInlineRules(benchmark::State& state) {
  const std::string request = inline_request();
  state.counters["pack_bytes"] = static_cast<double>(kesvo::to_json(pack()).size());
  run(state, request);
}
BENCHMARK(BM_RequestWithInlineRules)->Unit(benchmark::kMicrosecond);

void BM_RequestWithRulesId(benchmark::State& state) {
  install_once();
  run(state, id_request());
}
BENCHMARK(BM_RequestWithRulesId)->Unit(benchmark::kMicrosecond);

void BM_ReadInlineRequest(benchmark::State& state) {
  const std::string request = inline_request();
  for (auto _ : state) benchmark::DoNotOptimize(kesvo::read_json(request));
}
BENCHMARK(BM_ReadInlineRequest)->Unit(benchmark::kMicrosecond);

void BM_ValidateRulePack(benchmark::State& state) {
  const Value& doc = pack();
  if (!kesvo::validate_rule_pack(doc).ok()) state.SkipWithError("pack does not validate");
  for (auto _ : state) benchmark::DoNotOptimize(kesvo::validate_rule_pack(doc));
}
BENCHMARK(BM_ValidateRulePack)->Unit(benchmark::kMicrosecond);

void BM_FingerprintRulePack(benchmark::State& state) {
  const Value& doc = pack();
  for (auto _ : state) benchmark::DoNotOptimize(kesvo::rule_pack_fingerprint(doc));
}
BENCHMARK(BM_FingerprintRulePack)->Unit(benchmark::kMicrosecond);

}  // namespace
