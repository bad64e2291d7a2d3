#include "pedalyx/imaging/balance_capture.h"

#include <gtest/gtest.h>

namespace {

// A stance in which both feet stand firmly: heel rows 30 + 30, forefoot rows 15 + 15.
BalanceReading firmStance(double leftShare, double slider) {
  BalanceReading reading;
  reading.autoCapture = true;
  reading.leftShare = leftShare;
  reading.slider = slider;
  const double firm[6] = {15, 15, 5, 5, 30, 30};
  for (int i = 0; i < 12; ++i) reading.zones[i] = firm[i % 6];
  return reading;
}

TEST(BalanceCapture, EachTargetFillsItsPicture) {
  EXPECT_EQ(balanceCaptureSlot(firmStance(20, 20)), BalanceSlot::kLow);
  EXPECT_EQ(balanceCaptureSlot(firmStance(80, 20)), BalanceSlot::kHigh);
  EXPECT_EQ(balanceCaptureSlot(firmStance(50, 20)), BalanceSlot::kEven);
  EXPECT_EQ(balanceCaptureSlot(firmStance(21, 20)), BalanceSlot::kNone);
  EXPECT_EQ(balanceCaptureSlot(firmStance(65, 35)), BalanceSlot::kHigh);
}

TEST(BalanceCapture, ShareIsTruncatedToWholePercent) {
  EXPECT_EQ(balanceCaptureSlot(firmStance(20.9, 20)), BalanceSlot::kLow);
  EXPECT_EQ(balanceCaptureSlot(firmStance(19.99, 20)), BalanceSlot::kNone);
  EXPECT_EQ(balanceCaptureSlot(firmStance(50.7, 30)), BalanceSlot::kEven);
}

TEST(BalanceCapture, SliderAtFiftyFillsTheLowPictureFirst) {
  EXPECT_EQ(balanceCaptureSlot(firmStance(50, 50)), BalanceSlot::kLow);
  // The low target matched, so its zone condition alone decides: neither the high nor the
  // even picture is taken instead.
  BalanceReading reading = firmStance(50, 50);
  reading.zones[4] = 10;
  EXPECT_EQ(balanceCaptureSlot(reading), BalanceSlot::kNone);
}

TEST(BalanceCapture, OffMeansNothingIsCapturedWhateverTheShares) {
  for (double share : {20.0, 50.0, 80.0}) {
    BalanceReading reading = firmStance(share, 20);
    reading.autoCapture = false;
    EXPECT_EQ(balanceCaptureSlot(reading), BalanceSlot::kNone) << share;
  }
}

TEST(BalanceCapture, ZoneConditionsAreStrictAndPerFoot) {
  BalanceReading low = firmStance(20, 20);
  low.zones[4] = 25;
  low.zones[5] = 25;  // heel row exactly 50: not more than half
  EXPECT_EQ(balanceCaptureSlot(low), BalanceSlot::kNone);
  low = firmStance(20, 20);
  low.zones[0] = 12;
  low.zones[1] = 13;  // forefoot row exactly 25
  EXPECT_EQ(balanceCaptureSlot(low), BalanceSlot::kNone);
  low.zones[1] = 14;
  EXPECT_EQ(balanceCaptureSlot(low), BalanceSlot::kLow);
  // The high picture looks at the right foot only.
  BalanceReading high = firmStance(80, 20);
  for (int i = 0; i < 6; ++i) high.zones[i] = 0;
  EXPECT_EQ(balanceCaptureSlot(high), BalanceSlot::kHigh);
  high.zones[10] = 0;
  EXPECT_EQ(balanceCaptureSlot(high), BalanceSlot::kNone);
  // The even picture has no zone condition: an empty plate (share 50) keeps filling it.
  BalanceReading empty = firmStance(50, 20);
  for (double& zone : empty.zones) zone = 0;
  EXPECT_EQ(balanceCaptureSlot(empty), BalanceSlot::kEven);
}

}  // namespace
