// Cost of one settings-file rewrite: a slider drag rewrites its file on every value change,
// so one write must stay well below a frame (1/120 s).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "pedalyx/shell/settings_files.h"

namespace {

std::string benchFolder() {
  // The working directory's file system, as the station writes beside its own files.
  static std::string folder = [] {
    char pattern[] = "./settings-bench-XXXXXX";
    const char* made = mkdtemp(pattern);
    return std::string(made ? made : ".");
  }();
  return folder;
}

void BlockFileRewrite(benchmark::State& state) {
  double blocks[settings::kBlockCount] = {0.05, 0.95, 0.33, 0.65, 0.05, 0.95};
  for (auto _ : state) {
    blocks[5] += 1e-6;
    benchmark::DoNotOptimize(settings::saveBlockSettings(benchFolder(), blocks));
  }
}
BENCHMARK(BlockFileRewrite)->Unit(benchmark::kMicrosecond);

void CaseTextRewrite(benchmark::State& state) {
  const std::string text(200, 'c');
  for (auto _ : state) {
    benchmark::DoNotOptimize(settings::saveControlText(benchFolder(), "tx_case_1", text));
  }
}
BENCHMARK(CaseTextRewrite)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  // Leave the working directory as it was.
  if (benchFolder() != ".") std::system(("rm -rf '" + benchFolder() + "'").c_str());
  return 0;
}
