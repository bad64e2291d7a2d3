#include <benchmark/benchmark.h>

#include "platform/text_encoding.h"

static void BM_Big5Row(benchmark::State& state) {
  std::string row = "2026/12/07 10:00,ID,男,中立,172,65.4,20/80";
  for (auto _ : state) benchmark::DoNotOptimize(platform::utf8ToBig5(row));
}
BENCHMARK(BM_Big5Row);
BENCHMARK_MAIN();
