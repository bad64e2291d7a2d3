// The walking contacts and their figures on hand-made level sequences with known answers: a
// drawn foot whose parts load and unload on a schedule, placed at a known angle; and the
// contacts' figures in kPa.
#include "pedalyx/imaging/gait_contacts.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "pedalyx/imaging/gait_figures.h"
#include "pedalyx/imaging/gait_pressure.h"

namespace {

constexpr double kMm = 1.07;  // per canvas pixel
constexpr double kPeriod = 0.01;

// Parts of the drawn foot, in foot millimetres (across medial positive, along from the heel
// centre): heel pad, lateral band, lateral and medial ball, toes. The axis runs from the heel
// centre (0, 0) to the second toe's base, the ball's front at (0, 160).
enum Part { kHeel, kBand, kBallLateral, kBallMedial, kToes, kPartCount };
struct Load {
  double part[kPartCount];
};
constexpr Load kFull{{1, 1, 1, 1, 1}};

bool inEllipse(double u, double v, double cu, double cv, double ru, double rv) {
  const double a = (u - cu) / ru, b = (v - cv) / rv;
  return a * a + b * b < 1;
}

int partOf(double u, double v) {
  if (inEllipse(u, v, 0, 0, 28, 36)) return kHeel;
  if (inEllipse(u, v, 0, 140, 42, 20)) return u < -3 ? kBallLateral : kBallMedial;
  if (u > -30 && u < -14 && v > 30 && v < 130) return kBand;
  const double toes[5][3] = {
      {26, 185, 10}, {0, 182, 6}, {-12, 178, 5}, {-22, 172, 5}, {-31, 165, 4}};
  for (const auto& t : toes)
    if (inEllipse(u, v, t[0], t[1], t[2], t[2])) return kToes;
  return -1;
}

constexpr int kPartLevel[kPartCount] = {200, 60, 150, 150, 80};

// The foot with its heel centre at canvas pixel (hx, hy), turned toe-out by `degrees`, each
// part at its share of its level.
void drawFoot(std::vector<uint8_t>& image, FootSide side, double hx, double hy, double degrees,
              const Load& load) {
  const double a = degrees * M_PI / 180.0;
  for (int y = 0; y < kCanvasHeight; ++y)
    for (int x = 0; x < kCanvasWidth; ++x) {
      const double dx = (x + 0.5 - hx) * kMm, dy = (y + 0.5 - hy) * kMm;
      // Back into the foot's frame: a left foot turns counter-clockwise, its medial side +x.
      const double turn = side == FootSide::Left ? a : -a;
      const double ex = dx * std::cos(turn) + dy * std::sin(turn);
      const double ev = -dx * std::sin(turn) + dy * std::cos(turn);
      const double u = side == FootSide::Left ? ex : -ex;
      const int part = partOf(u, ev);
      if (part < 0) continue;
      const int level = static_cast<int>(std::lround(kPartLevel[part] * load.part[part]));
      if (level > 0) image[x + kCanvasWidth * y] = static_cast<uint8_t>(level);
    }
}

std::vector<uint8_t> emptyImage() { return std::vector<uint8_t>(kCanvasPixels, 0); }

void addFrames(ContactFinder& finder, int& frame, int count, const std::vector<uint8_t>& image) {
  for (int i = 0; i < count; ++i, ++frame) finder.addFrame(frame, frame * kPeriod, image.data());
}

// The roll-over: heel alone, then the band and the lateral ball, then all of the forefoot and
// the toes; from frame 12 on the heel carries 5 % (heel off) unless `heelStays`.
std::vector<std::vector<uint8_t>> rollOver(FootSide side, double degrees, bool heelStays) {
  std::vector<std::vector<uint8_t>> frames;
  for (int f = 0; f < 20; ++f) {
    Load load{{1, 0, 0, 0, 0}};
    if (f >= 3) load.part[kBand] = load.part[kBallLateral] = 1;
    if (f >= 5) load.part[kBallMedial] = load.part[kToes] = 1;
    if (f >= 12 && !heelStays) load.part[kHeel] = 0.05, load.part[kBand] = 0;
    std::vector<uint8_t> image = emptyImage();
    drawFoot(image, side, side == FootSide::Left ? 64 : 256, 70, degrees, load);
    frames.push_back(image);
  }
  return frames;
}

std::vector<GaitContact> findInRecording(const std::vector<std::vector<uint8_t>>& frames,
                                         int emptyBefore, int emptyAfter) {
  ContactFinder finder;
  int frame = 0;
  addFrames(finder, frame, emptyBefore, emptyImage());
  for (const auto& image : frames) addFrames(finder, frame, 1, image);
  addFrames(finder, frame, emptyAfter, emptyImage());
  return finder.finish();
}

TEST(GaitContacts, AStillFootIsOneContactWithItsAxisLengthAndAngle) {
  for (FootSide side : {FootSide::Left, FootSide::Right}) {
    std::vector<uint8_t> foot = emptyImage();
    drawFoot(foot, side, side == FootSide::Left ? 64 : 256, 70, 10, kFull);
    const std::vector<GaitContact> contacts =
        findInRecording(std::vector<std::vector<uint8_t>>(20, foot), 5, 5);
    ASSERT_EQ(contacts.size(), 1u);
    const GaitContact& c = contacts[0];
    EXPECT_EQ(c.side(), side);
    EXPECT_TRUE(c.complete());
    ASSERT_EQ(c.frames.size(), 20u);
    EXPECT_EQ(c.frames.front().counter, 5);
    const ContactFigures f = computeContactFigures(c, kPeriod);
    ASSERT_TRUE(f.valid);
    EXPECT_NEAR(f.contactMs, 200, 1e-9);
    EXPECT_NEAR(f.progressionDegrees, 10, 1.0);
    // Back of the heel (-36) to the big toe's tip (195); the ball is 84 mm wide.
    EXPECT_NEAR(f.axis.lengthMm, 231, 3);
    EXPECT_NEAR(f.axis.widthMm, 84, 3);
    EXPECT_NEAR(f.gaitLineMm, 0, 1e-9);
    // Everything is on at once and the heel never lifts: foot flat to the end.
    EXPECT_DOUBLE_EQ(f.phases.share[2], 100);
    EXPECT_FALSE(f.phases.heelLifted);
    double zones = 0;
    for (const ZoneLoad& z : f.zones) zones += z.loadShare;
    EXPECT_NEAR(zones, 100, 1e-9);
  }
}

TEST(GaitContacts, PhasesFollowTheRollOverAndAHeelThatNeverLifts) {
  // Boundaries at frames 3, 5 and 12 of 20 (10 ms each): 15, 10, 35 and 40 %.
  for (bool heelStays : {false, true}) {
    const std::vector<GaitContact> contacts =
        findInRecording(rollOver(FootSide::Left, -4, heelStays), 2, 2);
    ASSERT_EQ(contacts.size(), 1u);
    const ContactFigures f = computeContactFigures(contacts[0], kPeriod);
    ASSERT_TRUE(f.valid);
    EXPECT_NEAR(f.progressionDegrees, -4, 1.0);
    EXPECT_NEAR(f.phases.forefootSeconds, 0.03, 1e-9);
    EXPECT_NEAR(f.phases.bothHalvesSeconds, 0.05, 1e-9);
    EXPECT_EQ(f.phases.heelLifted, !heelStays);
    EXPECT_NEAR(f.phases.heelOffSeconds, heelStays ? 0.20 : 0.12, 1e-9);
    EXPECT_NEAR(f.phases.share[0], 15, 1e-9);
    EXPECT_NEAR(f.phases.share[1], 10, 1e-9);
    EXPECT_NEAR(f.phases.share[2], heelStays ? 75 : 35, 1e-9);
    EXPECT_NEAR(f.phases.share[3], heelStays ? 0 : 40, 1e-9);
    EXPECT_EQ(f.pushOffMedialShare.has_value(), !heelStays);
    // The centre of pressure travels from the heel onto the forefoot.
    if (!heelStays) {
      EXPECT_GT(f.gaitLine.back().alongMm - f.gaitLine.front().alongMm, 120);
    }
  }
}

TEST(GaitContacts, ContactsTouchingInTimeStayApartAndFlickersAreNone) {
  // Left foot in frames 2..11, the right foot from frame 12 (the next frame) to 21; a 20 x 20
  // blob for one frame beside the left foot, and a 5 x 5 patch, smaller than a toe, for 10.
  std::vector<std::vector<uint8_t>> frames;
  for (int f = 0; f < 24; ++f) {
    std::vector<uint8_t> image = emptyImage();
    if (f >= 2 && f <= 11) drawFoot(image, FootSide::Left, 64, 70, 7, kFull);
    if (f >= 12 && f <= 21) drawFoot(image, FootSide::Right, 256, 70, 7, kFull);
    for (int y = 0; y < 20 && f == 6; ++y)
      for (int x = 0; x < 20; ++x) image[(x + 20) + kCanvasWidth * (y + 290)] = 90;
    for (int y = 0; y < 5 && f >= 4 && f < 14; ++y)
      for (int x = 0; x < 5; ++x) image[(x + 220) + kCanvasWidth * (y + 20)] = 90;
    frames.push_back(image);
  }
  const std::vector<GaitContact> contacts = findInRecording(frames, 0, 0);
  ASSERT_EQ(contacts.size(), 2u);
  EXPECT_EQ(contacts[0].side(), FootSide::Left);
  EXPECT_EQ(contacts[0].frames.front().counter, 2);
  EXPECT_EQ(contacts[0].frames.back().counter, 11);
  EXPECT_EQ(contacts[1].side(), FootSide::Right);
  EXPECT_EQ(contacts[1].frames.front().counter, 12);
  EXPECT_EQ(contacts[1].frames.back().counter, 21);
  // The one-frame blob is no part of the left foot's print.
  std::vector<uint8_t> foot = emptyImage();
  drawFoot(foot, FootSide::Left, 64, 70, 7, kFull);
  EXPECT_EQ(contacts[0].footprintPixels,
            static_cast<int>(foot.size() - std::count(foot.begin(), foot.end(), 0)));
}

TEST(GaitContacts, AContactCutByTheEndIsKeptButLeftOutOfTheMeans) {
  std::vector<std::vector<uint8_t>> frames = rollOver(FootSide::Left, 5, false);
  std::vector<std::vector<uint8_t>> cut = rollOver(FootSide::Left, 15, false);
  cut.resize(8);  // the recording ends during foot flat
  frames.push_back(emptyImage());
  frames.insert(frames.end(), cut.begin(), cut.end());
  const std::vector<GaitContact> contacts = findInRecording(frames, 1, 0);
  ASSERT_EQ(contacts.size(), 2u);
  EXPECT_TRUE(contacts[0].complete());
  EXPECT_TRUE(contacts[1].cutAtEnd);
  EXPECT_FALSE(contacts[1].counted());
  std::vector<ContactFigures> figures;
  for (const GaitContact& c : contacts) figures.push_back(computeContactFigures(c, kPeriod));
  const GaitSummary summary = summariseGait(contacts, figures);
  const FigureSpread& angle = summary.left[static_cast<int>(GaitFigure::ProgressionDegrees)];
  EXPECT_EQ(angle.count, 1);
  EXPECT_NEAR(angle.mean, 5, 1.0);
  EXPECT_EQ(summary.right[0].count, 0);
  EXPECT_FALSE(summary.difference(GaitFigure::ContactMs).has_value());
}

// On a plate of 2 kPa a level the lateral ball (level 150) loads from frame 3 and the medial
// from frame 5, so on either foot the lateral forefoot zone's pressure-time integral is the
// longer; the heel (level 200) carries the foot's highest pressure. Scaled to a body weight,
// the heaviest frame carries that weight.
TEST(GaitContacts, KpaFiguresFallInTheFootsOwnZonesAndTheBodyWeightScale) {
  PressureScale plate;
  plate.source = PressureSource::Calibrated;
  for (int level = 1; level < 256; ++level) plate.kpaOfLevel[level] = 2.0 * level;
  for (FootSide side : {FootSide::Left, FootSide::Right}) {
    SCOPED_TRACE(side == FootSide::Left ? "left" : "right");
    GaitResults results;
    results.contacts = findInRecording(rollOver(side, 7, false), 2, 2);
    ASSERT_EQ(results.contacts.size(), 1u);
    const GaitContact& contact = results.contacts[0];
    results.figures.push_back(computeContactFigures(contact, kPeriod));
    const ContactKpa kpa = contactKpa(contact, results.figures[0], plate);
    ASSERT_TRUE(kpa.measured);
    EXPECT_DOUBLE_EQ(kpa.foot.peakKpa, 400);
    EXPECT_DOUBLE_EQ(kpa.zones[kHeelMedial].peakKpa, 400);
    EXPECT_DOUBLE_EQ(kpa.zones[kForefootLateral].peakKpa, 300);
    // 300 kPa from frame 3 or 5 to frame 19, reached from nothing over one frame.
    EXPECT_NEAR(kpa.zones[kForefootLateral].pressureTimeIntegralKpaS, 1.5 + 16 * 3, 0.01);
    EXPECT_NEAR(kpa.zones[kForefootMedial].pressureTimeIntegralKpaS, 1.5 + 14 * 3, 0.01);

    const PressureScale weight = walkingPressureScale(results, nullptr, 6, 70);
    ASSERT_EQ(weight.source, PressureSource::ScaledToBodyWeight);
    int64_t heaviest = 0;
    for (const ContactFrame& frame : contact.frames) {
      int64_t load = 0;
      for (uint8_t level : frame.levels.levels) load += level;
      heaviest = std::max(heaviest, load);
    }
    const double forceN = heaviest * weight.kpaOfLevel[1] * canvasPixelAreaCm2() * 0.1;
    EXPECT_NEAR(forceN, 70 * 9.81, 0.01);
  }
}

}  // namespace
