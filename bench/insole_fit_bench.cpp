// Fitting one insole on the staged default template and pad: each processor step, the whole
// fitting with the plain-loop drawing, and the whole fitting with the graphics card (run it
// under tools/with-display.sh for the GL figure).
#include <GL/glew.h>
// glew.h must come first.
#include <FL/Fl.H>
#include <FL/Fl_Gl_Window.H>
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <memory>
#include <string>

#include "bench/station_directory.h"
#include "cobblet/insole_bitmap.h"
#include "cobblet/insole_fitting.h"
#include "cobblet/insole_gl.h"

namespace {

using namespace cobblet;

// The default template and pad, loaded once, with the fitting's inputs for a 245 mm foot.
struct Fixture {
  Fixture() {
    std::string reason;
    InsoleBitmap templateBitmap, padShape;
    templateBitmap.load(stationDirectory() + "/255mm narrow 20220606 backmove 5mm.bmp", reason);
    padShape.load(stationDirectory() + "/drop.png", reason);
    HeightPlane sampled{};
    templateBitmap.sample(sampled);
    adoptTemplate(*state, sampled, kLeft);
    padShape.sampleStamp(state->pad);
    inputs.lengthSlider = state->templateLength;
    stretched = std::make_unique<HeightPlane>();
    cpu.stretch(*state, *stretched);
  }
  std::unique_ptr<InsoleState> state = std::make_unique<InsoleState>();
  std::unique_ptr<HeightPlane> stretched;
  FittingInputs inputs;
  CpuInsoleRenderer cpu;
};

Fixture& fixture() {
  static Fixture f;
  return f;
}

void BM_StretchOnProcessor(benchmark::State& s) {
  Fixture& f = fixture();
  HeightPlane work{};
  for (auto _ : s) f.cpu.stretch(*f.state, work);
}
BENCHMARK(BM_StretchOnProcessor)->Unit(benchmark::kMicrosecond);

void BM_HeightFollowsLength(benchmark::State& s) {
  Fixture& f = fixture();
  HeightPlane work{};
  for (auto _ : s) {
    work = *f.stretched;
    scaleHeights(work, 1.04, 1.0);
  }
}
BENCHMARK(BM_HeightFollowsLength)->Unit(benchmark::kMicrosecond);

// Heights doubled so the slope limit has steep walls to work down.
void BM_SlopeLimit(benchmark::State& s) {
  Fixture& f = fixture();
  HeightPlane steep = *f.stretched, work{}, scratch{};
  for (auto& v : steep) v = static_cast<uint8_t>(std::min(255, v * 2));
  for (auto _ : s) {
    work = steep;
    limitSlope(work, scratch);
  }
}
BENCHMARK(BM_SlopeLimit)->Unit(benchmark::kMicrosecond);

void BM_CornerTrim(benchmark::State& s) {
  Fixture& f = fixture();
  HeightPlane work{};
  for (auto _ : s) {
    work = *f.stretched;
    trimCorners(work);
  }
}
BENCHMARK(BM_CornerTrim)->Unit(benchmark::kMicrosecond);

void BM_MirrorAndArch(benchmark::State& s) {
  Fixture& f = fixture();
  HeightPlane work{};
  for (auto _ : s) {
    work = *f.stretched;
    shapeArch(work, f.state->heightBuffer, true, archFactor(0.2f));
  }
}
BENCHMARK(BM_MirrorAndArch)->Unit(benchmark::kMicrosecond);

void BM_PadPlacement(benchmark::State& s) {
  Fixture& f = fixture();
  HeightPlane work{};
  for (auto _ : s) {
    work = *f.stretched;
    float column = 0, row = 0;
    padCentre(work, kLeft, column, row);
    f.state->pad.centreColumn = column;
    f.state->pad.centreRow = row;
    f.cpu.renderPad(f.state->pad, 60, 127.5, -4);
    addPadWindow(work, f.state->pad, 60, 127.5, 2);
  }
}
BENCHMARK(BM_PadPlacement)->Unit(benchmark::kMicrosecond);

void BM_WholeFittingOnProcessor(benchmark::State& s) {
  Fixture& f = fixture();
  FittingInputs in = f.inputs;
  in.slopeLimit = s.range(0) != 0;
  for (auto _ : s) fitInsole(*f.state, in, f.cpu);
}
BENCHMARK(BM_WholeFittingOnProcessor)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// A window whose GL context the GPU benchmark borrows.
class ContextWindow : public Fl_Gl_Window {
 public:
  ContextWindow() : Fl_Gl_Window(0, 0, 160, 370) {}
  void draw() override { drawn = true; }
  bool drawn = false;
};

std::unique_ptr<GlInsoleRenderer> glRenderer() {
  static ContextWindow* window = nullptr;
  static std::unique_ptr<GlInsoleRenderer> renderer;
  if (window == nullptr) {
    window = new ContextWindow;
    window->show();
    for (int i = 0; i < 500 && !window->drawn; ++i) Fl::wait(0.01);
    window->make_current();
    glewExperimental = GL_TRUE;
    glewInit();
    renderer = GlInsoleRenderer::create();
  }
  return std::move(renderer);
}

void BM_WholeFittingOnGraphicsCard(benchmark::State& s) {
  static std::unique_ptr<GlInsoleRenderer> renderer = glRenderer();
  if (!renderer) {
    s.SkipWithError("no OpenGL context (run under tools/with-display.sh)");
    return;
  }
  Fixture& f = fixture();
  FittingInputs in = f.inputs;
  in.slopeLimit = s.range(0) != 0;
  for (auto _ : s) fitInsole(*f.state, in, *renderer);
}
BENCHMARK(BM_WholeFittingOnGraphicsCard)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
