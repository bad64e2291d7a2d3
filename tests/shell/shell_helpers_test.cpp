// The small pieces of the shell's start-up and analysis window: heartbeat, balance captions
// and the legend picture.
#include <gtest/gtest.h>

#include <cstring>

#include "pedalyx/shell/balance_captions.h"
#include "pedalyx/shell/heartbeat.h"
#include "pedalyx/shell/legend_image.h"

namespace {

TEST(Heartbeat, PrintsOncePerSecondDivisibleBySeven) {
  Heartbeat heartbeat;
  int printed = 0;
  // 120 ticks a second over 30 seconds starting at 1000: due at 1001, 1008, 1015, 1022, 1029.
  for (int64_t second = 1000; second < 1030; ++second) {
    for (int tick = 0; tick < 120; ++tick) {
      if (heartbeat.tick(second)) {
        EXPECT_EQ(second % 7, 0);
        EXPECT_EQ(tick, 0) << "printed twice in second " << second;
        ++printed;
      }
    }
  }
  EXPECT_EQ(printed, 5);
}

TEST(Heartbeat, FirstTickOnADueSecondPrints) {
  Heartbeat heartbeat;
  EXPECT_TRUE(heartbeat.tick(1796645277));
  EXPECT_FALSE(heartbeat.tick(1796645277));
}

TEST(BalanceCaptions, FollowTheLeftShare) {
  BalanceCaptions captions = balanceCaptionsFor(35);
  EXPECT_EQ(captions.rightShare, 65);
  EXPECT_STREQ(captions.lowLeft, "35/65");
  EXPECT_STREQ(captions.highLeft, "65/35");

  captions = balanceCaptionsFor(100);
  EXPECT_EQ(captions.rightShare, 0);
  EXPECT_STREQ(captions.lowLeft, "100/0");
  EXPECT_STREQ(captions.highLeft, "0/100");
}

TEST(BalanceCaptions, StayInsideTheirBuffersForAnyValue) {
  // The slider is bounded, but a value typed elsewhere must not overrun the 16-byte caption.
  BalanceCaptions captions = balanceCaptionsFor(-1e12);
  EXPECT_LT(std::strlen(captions.lowLeft), sizeof captions.lowLeft);
  EXPECT_LT(std::strlen(captions.highLeft), sizeof captions.highLeft);
}

TEST(LegendImage, IsALightCardWithTwoRedBands) {
  std::vector<unsigned char> pixels = makeLegendPixels();
  ASSERT_EQ(pixels.size(), static_cast<size_t>(kLegendWidth * kLegendHeight * 4));
  int redRows = 0, bands = 0;
  bool inBand = false;
  const int x = kLegendWidth / 2;
  for (int y = 0; y < kLegendHeight; ++y) {
    const unsigned char* p = &pixels[(y * kLegendWidth + x) * 4];
    EXPECT_EQ(p[3], 255);
    bool red = p[0] > 140 && p[1] < 60 && p[2] < 60;
    if (red) ++redRows;
    if (red && !inBand) ++bands;
    inBand = red;
    if (!red && y > 0 && y < kLegendHeight - 1) {
      EXPECT_GT(p[1], 200) << "row " << y;
    }
  }
  EXPECT_EQ(bands, 2);
  EXPECT_GT(redRows, 10);
}

}  // namespace
