// Per-frame costs of the plate camera path: rendering a simulated frame, and turning a
// camera picture of another size or layout into the 640 × 480 frame the pipeline uploads.
#include <benchmark/benchmark.h>

#include "pedalyx/capture/camera_frame_source.h"
#include "pedalyx/capture/simulated_plate.h"

namespace {

void SimulatedFrame(benchmark::State& state) {
  SimulatedPlate plate(PlateScene::Balance);
  cv::Mat frame;
  int64_t n = 30;
  for (auto _ : state) {
    plate.renderFrame(n++, frame);
    benchmark::DoNotOptimize(frame.data);
  }
}
BENCHMARK(SimulatedFrame)->Unit(benchmark::kMillisecond);

void ConvertPicture(benchmark::State& state, cv::Size size, int type) {
  cv::Mat picture(size, type, cv::Scalar::all(90));
  cv::Mat frame(480, 640, CV_8UC3);
  for (auto _ : state) {
    toCameraFrame(picture, frame);
    benchmark::DoNotOptimize(frame.data);
  }
}
BENCHMARK_CAPTURE(ConvertPicture, bgr_640x480, cv::Size(640, 480), CV_8UC3)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(ConvertPicture, bgra_1280x720, cv::Size(1280, 720), CV_8UC4)
    ->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
