// Reading and writing JSON: the cost every request pays.
#include <benchmark/benchmark.h>

#include <string>

#include "core/json_reader.h"
#include "core/json_writer.h"

namespace {

std::string sample_document(int members) {
  std::string s = "{";
  for (int i = 0; i < members; ++i) {
    if (i) s += ',';
    s += "\"dp_" + std::to_string(i) + "\":{\"type\":\"Integer\",\"values\":{\"min\":0,\"max\":1000,\"scale\":1,"
         "\"step\":1,\"unit\":\"\\u00b0C\"},\"ratio\":" + std::to_string(i) + ".25,\"tags\":[\"a\",\"b\",null,true]}";
  }
  return s + "}";
}

void BM_ReadJson(benchmark::State& state) {
  const std::string text = sample_document(static_cast<int>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(kesvo::read_json(text));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ReadJson)->Arg(10)->Arg(1000);

void BM_WriteJson(benchmark::State& state) {
  const kesvo::Value v = kesvo::read_json(sample_document(static_cast<int>(state.range(0)))).value();
  size_t bytes = 0;
  for (auto _ : state) {
    std::string out = kesvo::to_json(v);
    bytes += out.size();
    benchmark::DoNotOptimize(out);
  }
  state.SetBytesProcessed(static_cast<int64_t>(bytes));
}
BENCHMARK(BM_WriteJson)->Arg(10)->Arg(1000);

}  // namespace
