// The simulated walking customer at 60 frames a second through the real pipeline, each frame
// levelled by itself, against the truth of the scene's own load model: contact times and phase
// boundaries within one frame, the progression angle within 2 degrees, the gait line's length
// within 5 %, and every contact given to its foot.
#include <cmath>
#include <cstdio>

#include "pedalyx/capture/simulated_walk.h"
#include "pedalyx/imaging/frame_levels_gl.h"
#include "pedalyx/imaging/gait_figures.h"
#include "pedalyx/imaging/measure_marks.h"
#include "pipeline_fixture.h"

namespace {

using pipeline_fixture::PipelineTest;

constexpr double kFramesPerSecond = 60.0;
constexpr double kFrame = 1.0 / kFramesPerSecond;

class WalkThroughPipeline : public PipelineTest {
 protected:
  void SetUp() override {
    PipelineTest::SetUp();
    if (!targets_.levels) createFrameLevelTargets(targets_);
    // The pressure view's background: the last of its first frames, the empty plate.
    cv::Mat frame;
    for (int n = 0; n < 6; ++n) {
      walk_.renderFrame(n, frame);
      warpPass(*pipeline_, frame.data, left_, right_, true, 0);
    }
  }
  std::vector<unsigned char> levelsOf(int64_t n) {
    cv::Mat frame;
    walk_.renderFrame(n, frame);
    std::vector<unsigned char> levels(kCanvasPixels);
    frameLevels(*pipeline_, targets_, frame.data, left_, right_, FilterValues{}, levels.data());
    return levels;
  }
  SimulatedWalk walk_{kFramesPerSecond, 3};
  static inline FrameLevelTargets targets_;
};

TEST_F(WalkThroughPipeline, OneFramesLevelsAreTheLivePassesOverARingOfThatFrame) {
  const int64_t n = 110;  // the left foot in mid stance
  cv::Mat frame;
  walk_.renderFrame(n, frame);
  for (int slot = 0; slot < 3; ++slot) warpPass(*pipeline_, frame.data, left_, right_, false, slot);
  cleanPass(*pipeline_);
  std::vector<unsigned char> live(kCanvasPixels);
  levelPass(*pipeline_, FilterValues{}, live.data());
  const std::vector<unsigned char> single = levelsOf(n);
  EXPECT_EQ(single, live);
  EXPECT_GT(std::count_if(single.begin(), single.end(), [](unsigned char v) { return v > 0; }),
            3000);
}

TEST_F(WalkThroughPipeline, ContactsAndTheirFiguresMatchTheScenesTruth) {
  // 1.0 s to 5.5 s: the first four contacts, two of each foot.
  ContactFinder finder;
  for (int64_t n = 60; n <= 330; ++n) finder.addFrame(n, n * kFrame, levelsOf(n).data());
  const std::vector<GaitContact> contacts = finder.finish();
  const std::vector<WalkContactTruth> truths = walk_.contactsBefore(5.5);
  ASSERT_EQ(contacts.size(), truths.size());
  ASSERT_EQ(contacts.size(), 4u);
  for (size_t k = 0; k < contacts.size(); ++k) {
    const GaitContact& c = contacts[k];
    const WalkContactTruth& t = truths[k];
    EXPECT_EQ(c.side(), t.left ? FootSide::Left : FootSide::Right) << k;
    EXPECT_TRUE(c.complete()) << k;
    const ContactFigures f = computeContactFigures(c, kFrame);
    ASSERT_TRUE(f.valid) << k;
    const double start = c.frames.front().seconds;
    // The scene's gait line over the same frames.
    double truthPath = 0;
    cv::Point2d previous;
    for (size_t i = 0; i < c.frames.size(); ++i) {
      cv::Point2d centre;
      ASSERT_TRUE(walk_.loadCentre(c.frames[i].counter, centre)) << k;
      if (i > 0) truthPath += cv::norm(centre - previous) * kMillimetresPerPixel;
      previous = centre;
    }
    std::printf(
        "contact %zu %s: %.1f ms (truth %.1f), starts %.4f (%.4f), forefoot %.4f (%.4f), both "
        "halves %.4f (%.4f), heel off %.4f (%.4f), angle %.2f (%.2f), gait line %.1f mm (%.1f), "
        "length %.1f width %.1f mm, phases %.1f/%.1f/%.1f/%.1f %%\n",
        k, t.left ? "left" : "right", f.contactMs, 1000 * t.contactSeconds(), start, t.onSeconds,
        start + f.phases.forefootSeconds, t.forefootSeconds, start + f.phases.bothHalvesSeconds,
        t.bothHalvesSeconds, start + f.phases.heelOffSeconds, t.heelOffSeconds,
        f.progressionDegrees, t.progressionDegrees, f.gaitLineMm, truthPath, f.axis.lengthMm,
        f.axis.widthMm, f.phases.share[0], f.phases.share[1], f.phases.share[2], f.phases.share[3]);
    EXPECT_NEAR(f.contactMs, 1000 * t.contactSeconds(), 1000 * kFrame) << k;
    EXPECT_NEAR(start, t.onSeconds, kFrame) << k;
    EXPECT_NEAR(start + f.phases.forefootSeconds, t.forefootSeconds, kFrame) << k;
    EXPECT_NEAR(start + f.phases.bothHalvesSeconds, t.bothHalvesSeconds, kFrame) << k;
    EXPECT_NEAR(start + f.phases.heelOffSeconds, t.heelOffSeconds, kFrame) << k;
    EXPECT_NEAR(f.progressionDegrees, t.progressionDegrees, 2.0) << k;
    EXPECT_NEAR(f.gaitLineMm, truthPath, 0.05 * truthPath) << k;
  }
}

}  // namespace
