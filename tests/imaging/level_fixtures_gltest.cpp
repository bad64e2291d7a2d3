// The level images of a few simulated frames, held byte for byte. Work on the speed of the
// pipeline must not move a single level; a deliberate change of the arithmetic rewrites the
// fixtures with PEDALYX_WRITE_LEVEL_FIXTURES=1 and says why in its commit.
#include <cstdlib>
#include <opencv2/imgcodecs.hpp>
#include <string>

#include "pipeline_fixture.h"

namespace {

struct LevelFixture {
  const char* name;
  PlateScene scene;
  uint32_t seed;
  int firstRingFrame;
  FilterValues filters;
};

// Standing still, a flat foot at the highest gain and a weight shift at the strongest filter.
constexpr LevelFixture kFixtures[] = {
    {"normal_60", PlateScene::Normal, 7, 60, {5, 6}},
    {"flat_90", PlateScene::Flat, 7, 90, {0, 10}},
    {"balance_140", PlateScene::Balance, 3, 140, {15, 1}},
};

std::string fixturePath(const char* name) {
  return std::string(SOURCE_DIR "/tests/imaging/fixtures/levels_") + name + ".png";
}

class LevelFixtureTest : public pipeline_fixture::PipelineTest {};

TEST_F(LevelFixtureTest, LevelImagesOfRecordedFramesStayByteIdentical) {
  const bool rewrite = std::getenv("PEDALYX_WRITE_LEVEL_FIXTURES") != nullptr;
  for (const LevelFixture& fixture : kFixtures) {
    SimulatedPlate plate(fixture.scene, fixture.seed);
    std::vector<unsigned char> levels = runFrames(plate, fixture.firstRingFrame, fixture.filters);
    // Rows stay in read-back order (bottom row first), as the statistics see them.
    const cv::Mat image(kCanvasHeight, kCanvasWidth, CV_8UC1, levels.data());
    if (rewrite) {
      ASSERT_TRUE(cv::imwrite(fixturePath(fixture.name), image)) << fixture.name;
      continue;
    }
    const cv::Mat expected = cv::imread(fixturePath(fixture.name), cv::IMREAD_UNCHANGED);
    ASSERT_EQ(expected.type(), CV_8UC1) << fixturePath(fixture.name);
    ASSERT_EQ(expected.size(), image.size()) << fixture.name;
    EXPECT_GT(cv::countNonZero(expected), 5000) << fixture.name << " should show both feet";
    int differing = 0, first = -1;
    for (int k = 0; k < kCanvasPixels; ++k) {
      if (expected.data[k] == levels[k]) continue;
      if (first < 0) first = k;
      ++differing;
    }
    EXPECT_EQ(differing, 0) << fixture.name << ": first at x " << first % kCanvasWidth << " y "
                            << first / kCanvasWidth;
  }
}

}  // namespace
