// The pressure view's frame cycle on this machine's GL: camera upload, each of the four passes,
// the 320 x 335 level read-back and the whole cycle, beside the floor of the same work written
// as plainly as GL allows, and the whole cycle while the central sender sends a backlog. The
// program ends with the ratios of the whole cycle to the floor and of the cycle while sending to
// the cycle alone, medians of the same run. Run under a display:
//   tools/with-display.sh build/bench/frame_cycle_bench --benchmark_repetitions=5
//       --benchmark_enable_random_interleaving=true
#include <GL/glew.h>
#include <sched.h>
// GLEW before the toolkit's GL headers.
#include <FL/Fl.H>
#include <FL/Fl_Gl_Window.H>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <numeric>
#include <opencv2/core.hpp>
#include <string>
#include <vector>

#include "frame_cycle_floor_gl.h"
#include "pedalyx/capture/simulated_plate.h"
#include "pedalyx/imaging/calibration_grid.h"
#include "pedalyx/imaging/colour_pipeline_gl.h"
#include "pedalyx/imaging/colour_scale.h"
#include "pedalyx/report/central_sender.h"
#include "tests/report/central/memory_outbox.h"

namespace {

constexpr int kViewWidth = 533;
constexpr int kViewHeight = 558;

class ContextWindow : public Fl_Gl_Window {
 public:
  ContextWindow() : Fl_Gl_Window(0, 0, kViewWidth, kViewHeight) {
    mode(FL_RGB | FL_DOUBLE | FL_DEPTH);
  }
  void draw() override {}
};

// Everything one frame cycle needs, set up once.
struct Bench {
  ContextWindow* window = nullptr;
  ColourPipeline pipeline;
  CalibrationGrid left, right;
  std::vector<cv::Mat> frames;
  std::vector<unsigned char> levels = std::vector<unsigned char>(kCanvasPixels);
  unsigned char table[768];
  FilterValues filters;
  FrameCycleFloor* floor = nullptr;
  size_t next = 0;

  const unsigned char* frame() { return frames[next++ % frames.size()].data; }
};

std::string dataFolder() { return SOURCE_DIR "/data"; }

void checkFloorDoesTheSameWork(Bench& b);
void canvasProjection();

Bench& bench() {
  static Bench* b = nullptr;
  if (b != nullptr) return *b;
  b = new Bench();
  b->window = new ContextWindow();
  b->window->show();
  while (!b->window->shown()) Fl::wait(0.05);
  Fl::flush();
  b->window->make_current();
  glewInit();
  std::vector<unsigned char> black(kCameraFrameBytes, 0);
  makeColourScale(b->table);
  createPipelineObjects(b->pipeline, black.data(), b->table, dataFolder());
  setPipelineUniforms(b->pipeline, b->filters);
  createFramebuffer(b->pipeline);
  setFallbackLayout(b->left, b->right);
  rebuildMesh(b->left);
  rebuildMesh(b->right);
  SimulatedPlate plate(PlateScene::Normal, 1);
  for (int n = 60; n < 64; ++n) {
    b->frames.emplace_back();
    plate.renderFrame(n, b->frames.back());
  }
  // The empty plate as background and a full ring of the standing customer.
  cv::Mat empty;
  plate.renderFrame(5, empty);
  b->floor = new FrameCycleFloor(b->left, b->right, b->table);
  canvasProjection();
  warpPass(b->pipeline, empty.data, b->left, b->right, true, 0);
  b->floor->warp(empty.data, true, 0);
  for (int n = 0; n < 3; ++n) warpPass(b->pipeline, b->frames[n].data, b->left, b->right, false, n);
  for (int n = 0; n < 3; ++n) b->floor->warp(b->frames[n].data, false, n);
  checkFloorDoesTheSameWork(*b);
  return *b;
}

// The floor must produce the station's level image, or its time says nothing.
void checkFloorDoesTheSameWork(Bench& b) {
  std::vector<unsigned char> floorLevels(kCanvasPixels);
  canvasProjection();
  cleanPass(b.pipeline);
  levelPass(b.pipeline, b.filters, b.levels.data());
  b.floor->levels(b.filters.noise, b.filters.gen, floorLevels.data());
  glFinish();
  const long differing = std::inner_product(b.levels.begin(), b.levels.end(), floorLevels.begin(),
                                            0L, std::plus<>(), std::not_equal_to<>());
  const long loaded =
      std::count_if(floorLevels.begin(), floorLevels.end(), [](unsigned char v) { return v != 0; });
  std::printf("floor against the pipeline: %ld of %d level bytes differ, %ld loaded\n", differing,
              kCanvasPixels, loaded);
  for (int k = 0; k < kCanvasPixels && differing != 0; ++k)
    if (b.levels[k] != floorLevels[k]) {
      std::printf("first at %d,%d: pipeline %d floor %d\n", k % kCanvasWidth, k / kCanvasWidth,
                  b.levels[k], floorLevels[k]);
      break;
    }
  if (differing != 0 || loaded < 5000) std::exit(1);
}

void canvasProjection() {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glViewport(0, 0, kCanvasWidth, kCanvasHeight);
  glOrtho(0, kCanvasWidth, 0, kCanvasHeight, 0, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

void viewProjection() {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glViewport(0, 0, kViewWidth, kViewHeight);
  glOrtho(0, kViewWidth, 0, kViewHeight, 0, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

void BM_CameraUpload(benchmark::State& state) {
  Bench& b = bench();
  for (auto _ : state) {
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, b.pipeline.textures[kCameraTexture].get());
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, kCameraWidth, kCameraHeight, GL_RGB, GL_UNSIGNED_BYTE,
                    b.frame());
    glBindTexture(GL_TEXTURE_2D, 0);
    glFinish();
  }
}

// The warp pass includes its camera upload.
void BM_WarpPassWithUpload(benchmark::State& state) {
  Bench& b = bench();
  canvasProjection();
  int slot = 0;
  for (auto _ : state) {
    warpPass(b.pipeline, b.frame(), b.left, b.right, false, slot);
    slot = (slot + 1) % 3;
    glFinish();
  }
}

void BM_CleanPass(benchmark::State& state) {
  Bench& b = bench();
  canvasProjection();
  for (auto _ : state) {
    cleanPass(b.pipeline);
    glFinish();
  }
}

// The level pass ends with the read-back of the level plane.
void BM_LevelPassWithReadBack(benchmark::State& state) {
  Bench& b = bench();
  canvasProjection();
  for (auto _ : state) {
    levelPass(b.pipeline, b.filters, b.levels.data());
    glFinish();
  }
}

void BM_LevelReadBackOnly(benchmark::State& state) {
  Bench& b = bench();
  glBindFramebuffer(GL_FRAMEBUFFER, b.pipeline.fbo.get());
  glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D,
                         b.pipeline.textures[kLevelTexture].get(), 0);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  for (auto _ : state) {
    glReadPixels(0, 0, kCanvasWidth, kCanvasHeight, GL_GREEN, GL_UNSIGNED_BYTE, b.levels.data());
  }
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

void BM_ColourPassOnView(benchmark::State& state) {
  Bench& b = bench();
  viewProjection();
  for (auto _ : state) {
    colourPass(b.pipeline, b.filters, kViewWidth, kViewHeight);
    glFinish();
  }
}

// What one live draw of the pressure view does on the GPU, without statistics and overlays.
void wholeCycle(Bench& b, int& slot) {
  canvasProjection();
  warpPass(b.pipeline, b.frame(), b.left, b.right, false, slot);
  slot = (slot + 1) % 3;
  cleanPass(b.pipeline);
  levelPass(b.pipeline, b.filters, b.levels.data());
  viewProjection();
  colourPass(b.pipeline, b.filters, kViewWidth, kViewHeight);
  glFinish();
}

void BM_WholeCycle(benchmark::State& state) {
  Bench& b = bench();
  int slot = 0;
  for (auto _ : state) {
    wholeCycle(b, slot);
  }
}

// BM_WholeCycle while the central sender sends a backlog to a server of its own on this
// machine. The server's work competes for the same cores, which a shop's remote server does
// not; with the argument 1 the server's new sessions run in the idle class, as a stand-in for a
// server elsewhere (set as root, which can also undo it).
void BM_WholeCycleWhileSending(benchmark::State& state) {
  using namespace central_test;
  static const CentralConfig config = configFor("shop_frames");
  const sched_param none{};
  sched_setscheduler(sharedTestPostgres().serverProcess(),
                     state.range(0) == 1 ? SCHED_IDLE : SCHED_OTHER, &none);
  static int round = 0;
  const int shop = 500 + round++;
  const OutgoingFile picture = fileOf("pressure.png", std::vector<unsigned char>(20000, 7));
  MemoryOutbox outbox;
  for (int n = 0; n < 4000; ++n) {
    OutgoingExamination record = examinationOf(recordIdOf(shop, n), "frames", std::to_string(n));
    record.files = {picture};
    outbox.add(std::move(record));
  }
  CentralSenderOptions options;
  options.idleCheckMs = 5;
  CentralSender sender(config, outbox, options);
  waitUntil([&] { return sender.state().sent > 0 || !sender.state().lastError.empty(); });
  Bench& b = bench();
  int slot = 0;
  const int sentBefore = sender.state().sent;
  for (auto _ : state) {
    wholeCycle(b, slot);
  }
  const CentralSendState after = sender.state();
  state.counters["sent_meanwhile"] = after.sent - sentBefore;
  if (after.pending == 0) state.SkipWithError("the backlog ran out before the frames did");
  if (!after.lastError.empty()) state.SkipWithError(after.lastError.c_str());
}

// The same work as BM_WholeCycle, written plainly.
void BM_FloorCycle(benchmark::State& state) {
  Bench& b = bench();
  int slot = 0;
  for (auto _ : state) {
    b.floor->cycle(b.frame(), slot, b.filters.noise, b.filters.gen, b.levels.data(), kViewWidth,
                   kViewHeight);
    slot = (slot + 1) % 3;
  }
}

void configure(benchmark::internal::Benchmark* b) {
  b->Unit(benchmark::kMillisecond)
      ->UseRealTime()
      ->MinTime(0.3)
      ->ReportAggregatesOnly(true)
      ->ComputeStatistics(
          "min", [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); })
      ->ComputeStatistics("max", [](const std::vector<double>& v) {
        return *std::max_element(v.begin(), v.end());
      });
}

BENCHMARK(BM_CameraUpload)->Apply(configure);
BENCHMARK(BM_WarpPassWithUpload)->Apply(configure);
BENCHMARK(BM_CleanPass)->Apply(configure);
BENCHMARK(BM_LevelPassWithReadBack)->Apply(configure);
BENCHMARK(BM_LevelReadBackOnly)->Apply(configure);
BENCHMARK(BM_ColourPassOnView)->Apply(configure);
BENCHMARK(BM_WholeCycle)->Apply(configure);
BENCHMARK(BM_FloorCycle)->Apply(configure);
BENCHMARK(BM_WholeCycleWhileSending)->Arg(0)->Arg(1)->Apply(configure);

// Prints as usual and keeps the medians (or single runs) of the whole cycle and the floor.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
      if (!median && run.run_type != Run::RT_Iteration) continue;
      const std::string name = run.run_name.function_name;
      if (name == "BM_WholeCycle") cycle_ = run.GetAdjustedRealTime();
      if (name == "BM_FloorCycle") floor_ = run.GetAdjustedRealTime();
      if (name == "BM_WholeCycleWhileSending")
        sending_[run.run_name.args == "1" ? 1 : 0] = run.GetAdjustedRealTime();
    }
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    if (cycle_ > 0 && floor_ > 0)
      std::printf("whole cycle %.2f ms, floor %.2f ms: ratio %.2f\n", cycle_, floor_,
                  cycle_ / floor_);
    const char* servers[2] = {"a server on this machine", "a server in the idle class"};
    for (int s = 0; s < 2; ++s)
      if (cycle_ > 0 && sending_[s] > 0)
        std::printf("whole cycle while sending to %s %.2f ms: ratio %.2f to the cycle alone\n",
                    servers[s], sending_[s], sending_[s] / cycle_);
  }

 private:
  double cycle_ = 0, floor_ = 0, sending_[2] = {};
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
