// Cost of the report export's file steps, which run inside one draw of the report view: the
// compressed A4 PDF of page 1, the pressure PNG and the hand-off file.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <vector>

#include "pedalyx/report/insole_handoff.h"
#include "pedalyx/report/report_export.h"
#include "pedalyx/report/report_layout.h"

namespace {

// A page like a real report: white paper with some structure, not pure noise or pure white.
std::vector<uint8_t> samplePage() {
  std::vector<uint8_t> page(size_t(report::kPageWidth) * report::kPageHeight * 3, 255);
  for (size_t i = 0; i < page.size(); i += 3)
    if ((i / 3) % report::kPageWidth % 97 < 3 || (i / 3 / report::kPageWidth) % 61 < 2)
      page[i] = page[i + 1] = page[i + 2] = 120;
  return page;
}

void BM_WritePdf(benchmark::State& state) {
  std::vector<uint8_t> page = samplePage();
  auto quiet = [](const std::string&) {};
  for (auto _ : state)
    benchmark::DoNotOptimize(report::writePdf(page.data(), "bench_page.pdf", quiet));
  std::remove("bench_page.pdf");
}
BENCHMARK(BM_WritePdf)->Unit(benchmark::kMillisecond);

void BM_WritePressurePng(benchmark::State& state) {
  std::vector<uint8_t> picture(report::kPictureWidth * report::kPictureHeight * 3);
  for (size_t i = 0; i < picture.size(); ++i) picture[i] = static_cast<uint8_t>((i * 7) % 251);
  for (auto _ : state)
    benchmark::DoNotOptimize(report::writePressurePng(picture.data(), "bench.png"));
  std::remove("bench.png");
}
BENCHMARK(BM_WritePressurePng)->Unit(benchmark::kMillisecond);

void BM_HandoffAndName(benchmark::State& state) {
  report::FootHandoff foot{0.25, 253, 98, {25, 20, 18, 15, 12, 10}};
  for (auto _ : state) {
    std::string name = report::reportName("0912 345 678", {2027, 3, 3, 9, 5, 0});
    benchmark::DoNotOptimize(report::writeInsoleHandoff(
        "bench_info.txt", report::formatInsoleHandoff(foot, foot, name)));
  }
  std::remove("bench_info.txt");
}
BENCHMARK(BM_HandoffAndName)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
