// Expression evaluation: the engine's hottest path. Each iteration builds a
// fresh context (as every caller does) and evaluates one rule expression
// against a device status of 50 members bound by reference.
#include <benchmark/benchmark.h>

#include <string>

#include "core/json_reader.h"
#include "expr/eval.h"

namespace {

using kesvo::EvalContext;
using kesvo::Value;

Value parse(const std::string& text) { return kesvo::read_json(text).value(); }

Value status_object() {
  std::string s = "{";
  for (int i = 1; i <= 50; ++i) {
    if (i > 1) s += ',';
    s += "\"" + std::to_string(i) + "\":";
    switch (i % 4) {
      case 0: s += "true"; break;
      case 1: s += std::to_string(i * 10); break;
      case 2: s += "\"mode_" + std::to_string(i) + "\""; break;
      default: s += std::to_string(i) + ".5"; break;
    }
  }
  return parse(s + "}");
}

// A typical state expression: read a few DPs, scale one, fall back on a
// default.
const char* kTypical = R"({"op":"let",
  "bind":{"on":{"op":"get","path":"status.4"},
          "raw":{"op":"get","path":"status.21","default":0},
          "mode":{"op":"get","path":"status.22"}},
  "in":{"op":"if",
        "condition":{"op":"and","args":[{"op":"get","path":"on"},{"op":"gt","args":[{"op":"get","path":"raw"},10]}]},
        "then":{"op":"record","fields":{
            "brightness":{"op":"round_half_even","args":[{"op":"remap","args":[{"op":"get","path":"raw"},10,1000,0,255]}]},
            "mode":{"op":"get","path":"mode"},
            "level":{"op":"add","args":[{"op":"get","path":"status.33"},1]}}},
        "else":null}})";

void BM_TypicalExpression(benchmark::State& state) {
  const Value status = status_object();
  const Value expr = parse(kTypical);
  for (auto _ : state) {
    EvalContext ctx;
    ctx.bind_ref("status", status);
    auto r = kesvo::evaluate(ctx, expr);
    benchmark::DoNotOptimize(r);
  }
}
BENCHMARK(BM_TypicalExpression);

// Single operations, to see the per-operation overhead.
void BM_GetMember(benchmark::State& state) {
  const Value status = status_object();
  const Value expr = parse(R"({"op":"get","path":"status.37","default":0})");
  for (auto _ : state) {
    EvalContext ctx;
    ctx.bind_ref("status", status);
    auto r = kesvo::evaluate(ctx, expr);
    benchmark::DoNotOptimize(r);
  }
}
BENCHMARK(BM_GetMember);

void BM_AddLiterals(benchmark::State& state) {
  const Value expr = parse(R"({"op":"add","args":[1,2.5]})");
  for (auto _ : state) {
    EvalContext ctx;
    auto r = kesvo::evaluate(ctx, expr);
    benchmark::DoNotOptimize(r);
  }
}
BENCHMARK(BM_AddLiterals);

// A rule-pack function called from a "map" over the status values.
void BM_MapWithFunction(benchmark::State& state) {
  const Value status = status_object();
  const Value functions = parse(R"({"scale":{"params":["v"],"body":{"op":"if",
      "condition":{"op":"is_number","args":[{"op":"get","path":"v"}]},
      "then":{"op":"mul","args":[{"op":"get","path":"v"},2]},"else":{"op":"get","path":"v"}}}})");
  const Value expr = parse(R"({"op":"map","args":[{"op":"values","args":[{"op":"get","path":"status"}]}],
      "do":{"op":"call","fn":"scale","args":[{"op":"get","path":"item"}]}})");
  for (auto _ : state) {
    EvalContext ctx(&functions);
    ctx.bind_ref("status", status);
    auto r = kesvo::evaluate(ctx, expr);
    benchmark::DoNotOptimize(r);
  }
}
BENCHMARK(BM_MapWithFunction);

// A short program with the caller's own statements.
void BM_Program(benchmark::State& state) {
  const Value status = status_object();
  const Value program = parse(R"([
      {"let":"target","value":{"op":"get","path":"status.21"}},
      {"if":{"op":"gt","args":[{"op":"get","path":"target"},100]},
       "then":[{"set":"level","value":{"op":"sub","args":[{"op":"get","path":"target"},100]}}],
       "else":[{"set":"level","value":0}]},
      {"set":"mode","value":{"op":"lower","args":[{"op":"get","path":"status.22"}]}}])");
  for (auto _ : state) {
    EvalContext ctx;
    ctx.bind_ref("status", status);
    int sets = 0;
    auto r = kesvo::run_program(ctx, program, [&](EvalContext& c, const Value& stmt) -> kesvo::FlowResult {
      auto v = kesvo::evaluate(c, stmt["value"]);
      if (!v.ok()) return std::move(v).failure();
      ++sets;
      return kesvo::ProgramFlow::Continue;
    });
    benchmark::DoNotOptimize(r);
    benchmark::DoNotOptimize(sets);
  }
}
BENCHMARK(BM_Program);

}  // namespace
