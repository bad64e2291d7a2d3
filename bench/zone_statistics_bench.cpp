// One frame's statistics on a plate with two feet: the level statistics and both feet's zones,
// the analyzer beside the plain geometric reference. The setup checks that both give the same
// results before anything is timed.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

#include "pedalyx/imaging/foot_zone_analyzer.h"
#include "tests/imaging/foot_zone_reference.h"
#include "tests/imaging/synthetic_plate.h"

namespace {

const std::vector<uint8_t>& plate() {
  static const std::vector<uint8_t> image = synthetic::twoFeet();
  return image;
}

// Axes as an operator clicks them on the synthetic feet: heel bottom to the tip of the toes.
void placeAxes(FootZoneAnalyzer& analyzer) {
  FootAxis* axes[2] = {&analyzer.left, &analyzer.right};
  const int heel[2][2] = {{85, 44}, {235, 44}}, toe[2][2] = {{103, 281}, {217, 281}};
  for (int foot = 0; foot < 2; ++foot) {
    axes[foot]->heelX = heel[foot][0];
    axes[foot]->heelY = heel[foot][1];
    axes[foot]->toeX = toe[foot][0];
    axes[foot]->toeY = toe[foot][1];
    axes[foot]->pointCount = 2;
  }
}

void checkSameResults() {
  FootZoneAnalyzer analyzer(plate().data(), 533, 558);
  analyzer.printDiagnostics = false;
  placeAxes(analyzer);
  analyzer.computeLevelStatistics();
  reference::Statistics expected = reference::levelStatistics(plate().data());
  bool same = analyzer.centreX == expected.centreX && analyzer.centreY == expected.centreY &&
              analyzer.left.halfShare == expected.left.halfShare &&
              analyzer.right.upperShare == expected.right.upperShare;
  for (FootAxis* axis : {&analyzer.left, &analyzer.right}) {
    analyzer.computeFootZones(*axis);
    reference::Zones zones =
        reference::footZones(plate().data(), axis->heelX, axis->heelY, axis->toeX, axis->toeY);
    same = same && zones.archIndex == axis->archIndex;
    for (int j = 0; j < 6; ++j) same = same && zones.zoneShare[j] == axis->zoneShare[j];
  }
  if (!same) {
    std::fprintf(stderr, "analyzer and reference disagree\n");
    std::exit(1);
  }
}

void BM_FrameStatistics_Analyzer(benchmark::State& state) {
  checkSameResults();
  FootZoneAnalyzer analyzer(plate().data(), 533, 558);
  analyzer.printDiagnostics = false;
  placeAxes(analyzer);
  for (auto _ : state) {
    analyzer.computeLevelStatistics();
    analyzer.computeFootZones(analyzer.left);
    analyzer.computeFootZones(analyzer.right);
    benchmark::DoNotOptimize(analyzer.left.archIndex);
    benchmark::DoNotOptimize(analyzer.right.zoneShare);
  }
}
BENCHMARK(BM_FrameStatistics_Analyzer)->Unit(benchmark::kMicrosecond);

void BM_FrameStatistics_NaiveReference(benchmark::State& state) {
  FootZoneAnalyzer axes(plate().data(), 533, 558);
  placeAxes(axes);
  for (auto _ : state) {
    benchmark::DoNotOptimize(reference::levelStatistics(plate().data()));
    for (const FootAxis* a : {&axes.left, &axes.right}) {
      benchmark::DoNotOptimize(
          reference::footZones(plate().data(), a->heelX, a->heelY, a->toeX, a->toeY));
    }
  }
}
BENCHMARK(BM_FrameStatistics_NaiveReference)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
