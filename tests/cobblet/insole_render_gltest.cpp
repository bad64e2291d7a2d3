// The graphics card's stretch and pad rendering against the plain-loop reference, on the
// staged default template and pad shape.
#include <GL/glew.h>
// glew.h must come first.
#include <FL/Fl.H>
#include <FL/Fl_Gl_Window.H>
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "cobblet/insole_bitmap.h"
#include "cobblet/insole_fitting.h"
#include "cobblet/insole_gl.h"

namespace cobblet {
namespace {

// A window that runs one piece of GL work inside its first draw.
class GlWorkWindow : public Fl_Gl_Window {
 public:
  explicit GlWorkWindow(std::function<void()> work)
      : Fl_Gl_Window(0, 0, 160, 370), work_(std::move(work)) {}
  void draw() override {
    if (done) return;
    glewExperimental = GL_TRUE;
    glewInit();
    work_();
    done = true;
  }
  bool done = false;

 private:
  std::function<void()> work_;
};

void runWithGl(std::function<void()> work) {
  GlWorkWindow window(std::move(work));
  window.show();
  for (int i = 0; i < 500 && !window.done; ++i) Fl::wait(0.01);
  ASSERT_TRUE(window.done) << "the GL window never drew";
  window.hide();
}

class GlFitting : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string reason;
    ASSERT_TRUE(templateBitmap.load(
        std::string(STATION_DIR) + "/255mm narrow 20220606 backmove 5mm.bmp", reason))
        << reason;
    ASSERT_TRUE(padShape.load(std::string(STATION_DIR) + "/drop.png", reason)) << reason;
    HeightPlane sampled{};
    templateBitmap.sample(sampled);
    adoptTemplate(*gpu, sampled, kLeft);
    padShape.sampleStamp(gpu->pad);
    *cpu = *gpu;
  }
  static int differingPixels(const HeightPlane& a, const HeightPlane& b, int tolerance) {
    int count = 0;
    for (size_t i = 0; i < a.size(); ++i) count += std::abs(a[i] - b[i]) > tolerance;
    return count;
  }
  InsoleBitmap templateBitmap, padShape;
  std::unique_ptr<InsoleState> gpu = std::make_unique<InsoleState>();
  std::unique_ptr<InsoleState> cpu = std::make_unique<InsoleState>();
};

TEST_F(GlFitting, StretchMatchesTheReferenceAtSeveralSizes) {
  const float sizes[][2] = {{150, 360}, {160, 380}, {131.3f, 322.7f}, {175, 420}};
  runWithGl([&] {
    auto renderer = GlInsoleRenderer::create();
    ASSERT_TRUE(renderer);
    CpuInsoleRenderer reference;
    for (const auto& size : sizes) {
      gpu->targetWidth = cpu->targetWidth = size[0];
      gpu->targetHeight = cpu->targetHeight = size[1];
      HeightPlane fromGpu{}, fromCpu{};
      renderer->stretch(*gpu, fromGpu);
      reference.stretch(*cpu, fromCpu);
      // Pixel centres that fall exactly on a texel or quad edge may round either way.
      EXPECT_LE(differingPixels(fromGpu, fromCpu, 0), 100) << size[0] << " x " << size[1];
      EXPECT_NEAR(measureBox(fromGpu).lengthExtent(), measureBox(fromCpu).lengthExtent(), 1);
    }
  });
}

TEST_F(GlFitting, WholeFittingWithPadMatchesTheReferenceForBothFeet) {
  runWithGl([&] {
    auto renderer = GlInsoleRenderer::create();
    ASSERT_TRUE(renderer);
    CpuInsoleRenderer reference;
    FittingInputs in;
    in.lengthSlider = gpu->templateLength;
    for (int side : {kLeft, kRight}) {
      gpu->currentSide = cpu->currentSide = side;
      fitInsole(*gpu, in, *renderer);
      fitInsole(*cpu, in, reference);
      EXPECT_FLOAT_EQ(gpu->pad.centreRow, cpu->pad.centreRow);
      EXPECT_LE(differingPixels(gpu->resultPlane, cpu->resultPlane, 1), 20) << "side " << side;
      // The pad is really there: the fitted forefoot below the centre is higher than without.
      in.padOn = false;
      fitInsole(*cpu, in, reference);
      in.padOn = true;
      const int row = int(gpu->pad.centreRow) - 28, column = int(gpu->pad.centreColumn);
      EXPECT_GE(pixelAt(gpu->resultPlane, row, column), pixelAt(cpu->resultPlane, row, column) + 5);
    }
  });
}

}  // namespace
}  // namespace cobblet
