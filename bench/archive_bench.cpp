// Speed of the archive's per-action work: rebuilding the levels of a loaded picture, turning a
// balance picture into a bitmap, and formatting one database row.
#include <benchmark/benchmark.h>

#include <vector>

#include "pedalyx/report/measurement_database.h"
#include "pedalyx/report/pressure_image_loader.h"

namespace {

constexpr int kPixels = 320 * 335;

std::vector<unsigned char> rampTable() {
  std::vector<unsigned char> table(768);
  for (int i = 0; i < 256; ++i) {
    table[3 * i] = static_cast<unsigned char>(i);
    table[3 * i + 1] = static_cast<unsigned char>(255 - i);
    table[3 * i + 2] = static_cast<unsigned char>((i * 7) & 0xFF);
  }
  return table;
}

void BM_RebuildLevelImage(benchmark::State& state) {
  const std::vector<unsigned char> table = rampTable();
  std::vector<unsigned char> picture(kPixels * 3);
  for (int p = 0; p < kPixels; ++p) {
    const int level = (p * 31) % 256;  // every table colour, plus the never-searched entry 255
    picture[3 * p] = table[3 * level + 2];
    picture[3 * p + 1] = table[3 * level + 1];
    picture[3 * p + 2] = table[3 * level];
  }
  std::vector<unsigned char> levels(kPixels);
  for (auto _ : state) {
    rebuildLevelImage(picture.data(), table.data(), levels.data());
    benchmark::DoNotOptimize(levels.data());
  }
}
BENCHMARK(BM_RebuildLevelImage)->Unit(benchmark::kMillisecond);

void BM_EncodeBalanceBitmap(benchmark::State& state) {
  std::vector<unsigned char> picture(kPixels * 3, 90);
  for (auto _ : state) benchmark::DoNotOptimize(encodeBalanceBitmap(picture.data()));
}
BENCHMARK(BM_EncodeBalanceBitmap)->Unit(benchmark::kMillisecond);

void BM_MeasurementRow(benchmark::State& state) {
  MeasurementRecord record;
  record.id = "Lin, Amy";
  for (std::string& text : record.caseTexts) text = "扁平足";
  for (auto _ : state) benchmark::DoNotOptimize(measurementRow(record, 1765432109u));
}
BENCHMARK(BM_MeasurementRow)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
