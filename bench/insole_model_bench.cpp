// The insole model written beside each insole bitmap: building the mesh of the staged default
// template, encoding it as binary STL, and writing it whole, against the bitmap save the tool
// already does at the same moment (the reference).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <string>

#include "bench/station_directory.h"
#include "cobblet/insole_bitmap.h"
#include "cobblet/insole_mesh.h"

namespace {

using namespace cobblet;

struct Fixture {
  Fixture() {
    std::string reason;
    bitmap.load(stationDirectory() + "/255mm narrow 20220606 backmove 5mm.bmp", reason);
    bitmap.sample(plane);
  }
  InsoleBitmap bitmap;
  HeightPlane plane{};
};

Fixture& fixture() {
  static Fixture f;
  return f;
}

void BM_ReferenceBitmapSave(benchmark::State& s) {
  Fixture& f = fixture();
  std::string reason;
  for (auto _ : s) f.bitmap.save("/tmp/insole_model_bench.bmp", reason);
}
BENCHMARK(BM_ReferenceBitmapSave)->Unit(benchmark::kMicrosecond);

void BM_BuildMesh(benchmark::State& s) {
  Fixture& f = fixture();
  for (auto _ : s) benchmark::DoNotOptimize(buildInsoleMesh(f.plane, ModelSettings{}));
}
BENCHMARK(BM_BuildMesh)->Unit(benchmark::kMicrosecond);

void BM_EncodeStl(benchmark::State& s) {
  const InsoleMesh mesh = buildInsoleMesh(fixture().plane, ModelSettings{});
  for (auto _ : s) benchmark::DoNotOptimize(binaryStl(mesh, "insole"));
}
BENCHMARK(BM_EncodeStl)->Unit(benchmark::kMicrosecond);

void BM_WriteStl(benchmark::State& s) {
  Fixture& f = fixture();
  std::string reason;
  for (auto _ : s) writeInsoleStl(f.plane, ModelSettings{}, "/tmp/insole_model_bench.stl", reason);
}
BENCHMARK(BM_WriteStl)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
