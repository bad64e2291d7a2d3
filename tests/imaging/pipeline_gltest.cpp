// The real colour pipeline, run offscreen on simulated plate frames, against the CPU
// reference of its four passes and against the load the simulator drew.
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <opencv2/core.hpp>
#include <vector>

#include "pipeline_fixture.h"
#include "scratch_folder.h"

namespace {

using pipeline_fixture::PipelineTest;
using pipeline_fixture::setCanvasProjection;

struct Differences {
  int maximum = 0;
  int beyondTolerance = 0;
  int flips = 0;  // beyond the tolerance with 0 on one side
  int rim = 0;    // pixels of the reference whose 3 x 3 neighbourhood is partly empty
  double meanAbsolute = 0;
};

bool onRim(const std::vector<unsigned char>& levels, int x, int y) {
  bool empty = false, loaded = false;
  for (int dy = -1; dy <= 1; ++dy) {
    for (int dx = -1; dx <= 1; ++dx) {
      const int nx = std::clamp(x + dx, 0, kCanvasWidth - 1);
      const int ny = std::clamp(y + dy, 0, kCanvasHeight - 1);
      (levels[nx + kCanvasWidth * ny] == 0 ? empty : loaded) = true;
    }
  }
  return empty && loaded;
}

Differences compare(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b,
                    int tolerance) {
  Differences d;
  long sum = 0;
  for (int k = 0; k < kCanvasPixels; ++k) {
    const int x = k % kCanvasWidth, y = k / kCanvasWidth;
    const bool rim = onRim(b, x, y);
    d.rim += rim;
    const int diff = std::abs(a[k] - b[k]);
    d.maximum = std::max(d.maximum, diff);
    if (diff > tolerance) {
      ++d.beyondTolerance;
      d.flips += a[k] == 0 || b[k] == 0;
    }
    sum += diff;
  }
  d.meanAbsolute = static_cast<double>(sum) / kCanvasPixels;
  return d;
}

// The GPU samples the camera with fixed-point filter weights, so a warped byte may differ by
// one from the exact reference. A background byte off by one moves the level by the gain
// 255/230 * gen/6 (1.1 levels at the default gen 6), a ring byte by a third of that; the
// tolerance is that worst case rounded up: 2 levels up to gen 6, 4 at gen 10. Pixels whose glow
// sits right at the noise threshold may flip between 0 and the first level above it, and where
// both rounding errors meet a pixel may miss by one level more. Their number grows with the
// length of the load's rim and with how gently the load falls off there, so at most one pixel
// per kRimPixelsPerFlip rim pixels may lie beyond the tolerance.
int levelTolerance(float gen) {
  return static_cast<int>(std::ceil(2.0 * std::max(1.0, gen / 6.0)));
}
constexpr int kRimPixelsPerFlip = 50;

void expectFewBeyondTolerance(const Differences& d) {
  EXPECT_LE(d.beyondTolerance, d.rim / kRimPixelsPerFlip) << d.rim << " rim pixels";
}

TEST_F(PipelineTest, LevelImageMatchesTheCpuReferenceAndTheMaskedAreasReadZero) {
  for (PlateScene scene : {PlateScene::Normal, PlateScene::Flat}) {
    SimulatedPlate plate(scene, 7);
    for (FilterValues filters : {FilterValues{5, 6}, FilterValues{0, 10}, FilterValues{15, 1}}) {
      const std::vector<unsigned char> gpu = runFrames(plate, 60, filters);
      const std::vector<unsigned char> cpu =
          reference::levels(ring_, background_, filters.noise, filters.gen);
      const int tolerance = levelTolerance(filters.gen);
      const Differences d = compare(gpu, cpu, tolerance);
      std::printf(
          "scene %d noise %.0f gen %.0f: max diff %d, %d beyond %d (%d of them flips from 0; %d "
          "rim pixels), "
          "mean %.4f\n",
          static_cast<int>(scene), filters.noise, filters.gen, d.maximum, d.beyondTolerance,
          tolerance, d.flips, d.rim, d.meanAbsolute);
      expectFewBeyondTolerance(d);
      EXPECT_LT(d.meanAbsolute, 0.25);
      int loaded = 0;
      for (int y = 0; y < kCanvasHeight; ++y) {
        for (int x = 0; x < kCanvasWidth; ++x) {
          const int k = x + kCanvasWidth * y;
          if (reference::insideBlueMask(x, y) || (x >= 128 && x < 192)) {
            ASSERT_EQ(gpu[k], 0) << "masked pixel " << x << "," << y;
          }
          loaded += gpu[k] > 0;
        }
      }
      EXPECT_GT(loaded, 5000) << "both feet should show";
    }
  }
}

// The simulator's load at canvas pixel centres against the measured levels. The warp places
// mesh vertices at whole canvas pixels, which shifts the picture by up to two thirds of a
// pixel against the exact mapping; on the steep edges of toes and heel that alone is worth
// many levels. So the scale is judged where the load is locally flat (the 3 x 3 neighbourhood
// varies by less than 3 levels), and the whole foot area is reported and bounded loosely.
TEST_F(PipelineTest, MeasuredLevelsRecoverTheSimulatedLoad) {
  SimulatedPlate plate(PlateScene::Normal, 3);
  const std::vector<unsigned char> gpu = runFrames(plate, 60, FilterValues{5, 6});
  cv::Mat truth;
  plate.canvasLevels(61, truth);
  long sum = 0, flatSum = 0, signedSum = 0;
  int count = 0, flatCount = 0, flatWithin2 = 0, worst = 0;
  for (int y = 1; y < kCanvasHeight - 1; ++y) {
    for (int x = 1; x < kCanvasWidth - 1; ++x) {
      const int expected = truth.at<unsigned char>(y, x);
      // Loads below the noise threshold (5 camera units are 5.5 levels) read 0 by design.
      if (reference::insideBlueMask(x, y) || expected < 12) continue;
      int lowest = 255, highest = 0;
      for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
          lowest = std::min<int>(lowest, truth.at<unsigned char>(y + dy, x + dx));
          highest = std::max<int>(highest, truth.at<unsigned char>(y + dy, x + dx));
        }
      }
      const int error = gpu[x + kCanvasWidth * y] - expected;
      sum += std::abs(error);
      signedSum += error;
      ++count;
      worst = std::max(worst, std::abs(error));
      if (highest - lowest < 3) {
        ++flatCount;
        flatSum += std::abs(error);
        flatWithin2 += std::abs(error) <= 2;
      }
    }
  }
  ASSERT_GT(count, 5000);
  ASSERT_GT(flatCount, 1000);
  const double mean = static_cast<double>(sum) / count;
  const double flatMean = static_cast<double>(flatSum) / flatCount;
  std::printf(
      "ground truth: %d loaded pixels mean |error| %.2f levels (signed %.2f, worst %d); "
      "%d flat pixels mean |error| %.2f, %.1f%% within 2\n",
      count, mean, static_cast<double>(signedSum) / count, worst, flatCount, flatMean,
      100.0 * flatWithin2 / flatCount);
  EXPECT_LT(flatMean, 1.5);
  EXPECT_GT(static_cast<double>(flatWithin2) / flatCount, 0.9);
  EXPECT_LT(std::abs(static_cast<double>(signedSum) / count), 1.0) << "the scale is biased";
  EXPECT_LT(mean, 6.0);
}

// A technician's calibration bends the grid; the warp must follow the curved mesh cell by cell.
TEST_F(PipelineTest, CurvedCalibrationWarpsLikeTheReference) {
  for (CalibrationGrid* grid : {&left_, &right_}) {
    for (int g = 0; g < 4; ++g) {
      for (int p = 0; p < 4; ++p) {
        grid->reference[4 * g + p].x += 16.0f * std::sin(3.14159f * p / 3.0f) * (g - 1.5f) / 1.5f;
        grid->reference[4 * g + p].y += 12.0f * std::sin(3.14159f * g / 3.0f) * (p - 1.5f) / 1.5f;
      }
    }
    rebuildMesh(*grid);
  }
  SimulatedPlate plate(PlateScene::Normal, 11);
  const FilterValues filters{5, 6};
  const std::vector<unsigned char> gpu = runFrames(plate, 60, filters);
  const std::vector<unsigned char> cpu =
      reference::levels(ring_, background_, filters.noise, filters.gen);
  const Differences d = compare(gpu, cpu, levelTolerance(filters.gen));
  std::printf(
      "curved grid: max diff %d, %d beyond (%d of them flips from 0; %d rim pixels), mean %.4f\n",
      d.maximum, d.beyondTolerance, d.flips, d.rim, d.meanAbsolute);
  expectFewBeyondTolerance(d);
  EXPECT_LT(d.meanAbsolute, 0.25);
}

TEST_F(PipelineTest, ColourPassWritesExactTableEntriesOfTheLevels) {
  SimulatedPlate plate(PlateScene::Normal, 5);
  const std::vector<unsigned char> levels = runFrames(plate, 60, FilterValues{5, 6});
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  glDrawBuffer(GL_BACK);
  glClearColor(0, 0.5f, 0.5f, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  colourPass(*pipeline_, FilterValues{5, 6}, kCanvasWidth, kCanvasHeight);
  std::vector<unsigned char> rgb(kCanvasPixels * 3);
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, kCanvasWidth, kCanvasHeight, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
  int mismatches = 0;
  for (int k = 0; k < kCanvasPixels; ++k) {
    const int found = levelOfColour(table_, rgb[3 * k], rgb[3 * k + 1], rgb[3 * k + 2]);
    ASSERT_GE(found, 0) << "pixel " << k << " is not a table colour";
    mismatches += found != levels[k];
  }
  EXPECT_EQ(mismatches, 0);
}

TEST_F(PipelineTest, FramebufferRecreationDeletesThePreviousObjects) {
  const GLuint oldFbo = pipeline_->fbo.get();
  const GLuint oldDepth = pipeline_->depthBuffer.get();
  createFramebuffer(*pipeline_);
  EXPECT_FALSE(glIsFramebuffer(oldFbo) && oldFbo != pipeline_->fbo.get());
  EXPECT_FALSE(glIsRenderbuffer(oldDepth) && oldDepth != pipeline_->depthBuffer.get());
  glBindFramebuffer(GL_FRAMEBUFFER, pipeline_->fbo.get());
  EXPECT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), GLenum(GL_FRAMEBUFFER_COMPLETE));
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

TEST_F(PipelineTest, BrokenShaderIsReportedAndLeavesAnEmptyLevelImage) {
  ScratchFolder scratch("broken-shader");
  const std::string folder = scratch.path();
  std::FILE* f = std::fopen((folder + "/colorShader.vert").c_str(), "w");
  std::fputs("#version 120\nvoid main() { gl_Position = ftransform(); }\n", f);
  std::fclose(f);
  f = std::fopen((folder + "/colorShader.frag").c_str(), "w");
  std::fputs("#version 120\nvoid main() { gl_FragColor = undefinedThing; }\n", f);
  std::fclose(f);
  ColourPipeline broken;
  std::vector<unsigned char> black(kCameraFrameBytes, 0);
  ::testing::internal::CaptureStderr();
  createPipelineObjects(broken, black.data(), table_, folder);
  const std::string log = ::testing::internal::GetCapturedStderr();
  EXPECT_FALSE(broken.program.usable);
  EXPECT_NE(log.find("did not compile"), std::string::npos) << log;
  createFramebuffer(broken);
  setCanvasProjection();
  std::vector<unsigned char> levels(kCanvasPixels, 99);
  warpPass(broken, black.data(), left_, right_, false, 0);
  cleanPass(broken);
  levelPass(broken, FilterValues{}, levels.data());
  EXPECT_EQ(*std::max_element(levels.begin(), levels.end()), 0);
  // The broken pipeline's textures took the texture units the shared pipeline samples and die
  // with it; the suites after this one get the shared pipeline's own objects back.
  createPipelineObjects(*pipeline_, black.data(), table_, STATION_DIR);
  createFramebuffer(*pipeline_);
  setPipelineUniforms(*pipeline_, FilterValues{});
}

}  // namespace
