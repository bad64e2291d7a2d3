// Sway figures on hand-made traces with known answers, and the recorder's handling of frames,
// time and a customer who is not (or no longer) standing.
#include "pedalyx/imaging/sway_figures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "pedalyx/imaging/sway_plot.h"
#include "pedalyx/imaging/sway_recorder.h"

namespace {

// A trace of the combined COP at 30 frames a second, the feet carrying `share` percent left.
std::vector<SwaySample> traceOf(const std::vector<PlatePoint>& points, double share = 50) {
  std::vector<SwaySample> trace;
  for (size_t i = 0; i < points.size(); ++i) {
    SwaySample s;
    s.seconds = i / 30.0;
    s.both = points[i];
    s.leftShare = share;
    trace.push_back(s);
  }
  return trace;
}

// n points on an ellipse of semi-axes a, b turned by `degrees`, centred at (cx, cy), one turn.
std::vector<PlatePoint> ellipsePoints(int n, double a, double b, double degrees, double cx = 100,
                                      double cy = 150) {
  const double turn = degrees * M_PI / 180;
  std::vector<PlatePoint> points;
  for (int i = 0; i <= n; ++i) {
    const double t = 2 * M_PI * i / n, u = a * std::cos(t), v = b * std::sin(t);
    points.push_back({cx + u * std::cos(turn) - v * std::sin(turn),
                      cy + u * std::sin(turn) + v * std::cos(turn)});
  }
  return points;
}

TEST(SwayFigures, CircleGivesItsCircumferenceRangesRmsAndRoundEllipse) {
  const double radius = 5;
  const int n = 600;  // 20 s at 30 frames a second
  SwayFigures f = computeSwayFigures(traceOf(ellipsePoints(n, radius, radius, 0)), SwayPart::Both);
  const double polygon = n * 2 * radius * std::sin(M_PI / n);
  EXPECT_NEAR(f.pathLength, polygon, 1e-9);
  EXPECT_NEAR(f.meanVelocity, polygon / 20.0, 1e-9);
  EXPECT_NEAR(f.rangeX, 2 * radius, 1e-9);
  EXPECT_NEAR(f.rangeY, 2 * radius, 1e-3);
  // The closing point repeats the first, so the moments are those of the circle within 1/n.
  EXPECT_NEAR(f.rmsX, radius / std::sqrt(2.0), 0.01);
  EXPECT_NEAR(f.rmsY, radius / std::sqrt(2.0), 0.01);
  EXPECT_NEAR(f.ellipse.area, M_PI * kChiSquare95TwoDegrees * radius * radius / 2, 0.5);
  EXPECT_NEAR(f.ellipse.semiMajor, f.ellipse.semiMinor, 0.05);
  EXPECT_NEAR(f.ellipse.centre.x, 100, 0.01);
  EXPECT_NEAR(f.ellipse.centre.y, 150, 0.01);
}

TEST(SwayFigures, TurnedEllipseGivesItsAxesAngleAndArea) {
  for (double degrees : {0.0, 30.0, -60.0, 90.0}) {
    SCOPED_TRACE(degrees);
    // Without the closing point the n points are exactly balanced about the centre.
    std::vector<PlatePoint> points = ellipsePoints(720, 12, 4, degrees);
    points.pop_back();
    SwayEllipse e = confidenceEllipse(points);
    EXPECT_NEAR(e.semiMajor, std::sqrt(kChiSquare95TwoDegrees / 2) * 12, 1e-6);
    EXPECT_NEAR(e.semiMinor, std::sqrt(kChiSquare95TwoDegrees / 2) * 4, 1e-6);
    EXPECT_NEAR(e.area, M_PI * kChiSquare95TwoDegrees * 12 * 4 / 2, 1e-6);
    // The major axis has no sense of direction: 90 and -90 degrees are the same axis.
    EXPECT_NEAR(std::fmod(e.angleDegrees - degrees + 360, 180.0), 0, 1e-6);
  }
}

// A trace wide from left to right and narrow from heel to toe: each figure keeps its direction,
// in the figures and in the table's rows.
TEST(SwayFigures, LeftRightAndFrontBackKeepTheirOwnDirections) {
  std::vector<PlatePoint> points = ellipsePoints(720, 12, 4, 0);
  points.pop_back();
  SwayRecording recording;
  recording.samples = traceOf(points);
  recording.stop = SwayStop::Completed;
  SwayFigures& f = recording.figures[static_cast<int>(SwayPart::Both)];
  f = computeSwayFigures(recording.samples, SwayPart::Both);
  EXPECT_NEAR(f.rangeX, 24, 1e-9);
  EXPECT_NEAR(f.rangeY, 8, 1e-3);
  EXPECT_NEAR(f.rmsX, 12 / std::sqrt(2.0), 1e-6);
  EXPECT_NEAR(f.rmsY, 4 / std::sqrt(2.0), 1e-6);
  const auto table = swayFigureTable(recording, SwayRecording{});
  ASSERT_EQ(table.size(), 8u);
  EXPECT_EQ(table[5][0], "左右範圍 / RMS (mm)");
  EXPECT_EQ(table[5][1], "24.0 / 8.5");
  EXPECT_EQ(table[6][0], "前後範圍 / RMS (mm)");
  EXPECT_EQ(table[6][1], "8.0 / 2.8");
}

TEST(SwayFigures, LineHasNoAreaAndItsDirection) {
  std::vector<PlatePoint> points;
  for (int i = 0; i < 90; ++i) {
    const double s = (i % 30) / 3.0;  // three sweeps of 10 mm, jumping back each time
    points.push_back({10 + s * std::cos(M_PI / 6), 20 + s * std::sin(M_PI / 6)});
  }
  SwayFigures f = computeSwayFigures(traceOf(points), SwayPart::Both);
  EXPECT_NEAR(f.pathLength, 5 * (29 / 3.0), 1e-9);  // three sweeps and two returns
  EXPECT_NEAR(f.ellipse.area, 0, 1e-4);             // rounding leaves a trace of a minor axis
  EXPECT_NEAR(f.ellipse.semiMinor, 0, 1e-5);
  EXPECT_NEAR(f.ellipse.angleDegrees, 30, 1e-6);
  EXPECT_NEAR(f.rangeX, 29 / 3.0 * std::cos(M_PI / 6), 1e-9);
}

TEST(SwayFigures, StillPointOneFrameAndNoFrames) {
  SwayFigures still =
      computeSwayFigures(traceOf(std::vector<PlatePoint>(300, {40, 60})), SwayPart::Both);
  EXPECT_EQ(still.frames, 300);
  EXPECT_NEAR(still.seconds, 299 / 30.0, 1e-12);
  EXPECT_EQ(still.pathLength, 0);
  EXPECT_EQ(still.meanVelocity, 0);
  EXPECT_EQ(still.ellipse.area, 0);
  EXPECT_EQ(still.rmsX + still.rmsY + still.rangeX + still.rangeY, 0);
  EXPECT_DOUBLE_EQ(still.ellipse.centre.y, 60);

  SwayFigures one = computeSwayFigures(traceOf({{40, 60}}), SwayPart::Both);
  EXPECT_EQ(one.frames, 1);
  EXPECT_EQ(one.meanVelocity, 0) << "no duration must not divide by zero";
  EXPECT_TRUE(std::isfinite(one.ellipse.angleDegrees));

  SwayFigures none = computeSwayFigures({}, SwayPart::Both);
  EXPECT_EQ(none.frames, 0);
  EXPECT_EQ(none.pathLength, 0);
  EXPECT_EQ(none.leftShareMean, 0);
}

TEST(SwayFigures, EachPartAndTheLoadShare) {
  std::vector<SwaySample> trace = traceOf(std::vector<PlatePoint>(4, {0, 0}));
  for (size_t i = 0; i < trace.size(); ++i) {
    trace[i].left = {0, 3.0 * i};  // the left foot moves 3 mm forward each frame
    trace[i].leftShare = i % 2 ? 60 : 40;
  }
  EXPECT_DOUBLE_EQ(computeSwayFigures(trace, SwayPart::Left).pathLength, 9);
  EXPECT_DOUBLE_EQ(computeSwayFigures(trace, SwayPart::Right).pathLength, 0);
  SwayFigures both = computeSwayFigures(trace, SwayPart::Both);
  EXPECT_DOUBLE_EQ(both.leftShareMean, 50);
  EXPECT_DOUBLE_EQ(both.leftShareSpread, 10);
}

TEST(SwayFigures, RombergQuotientNeedsAnEyesOpenValue) {
  EXPECT_DOUBLE_EQ(*rombergQuotient(300, 150), 2.0);
  EXPECT_FALSE(rombergQuotient(300, 0).has_value());
  EXPECT_FALSE(rombergQuotient(NAN, 10).has_value());
}

// Load sums of a foot whose centre of pressure is at canvas pixel (x, y), carrying `load`.
LoadMoments footAt(double x, double y, int64_t load) {
  return {load, static_cast<int64_t>(x * load), static_cast<int64_t>(y * load)};
}

TEST(SwayRecorder, SamplesInMillimetresOnTheCameraClockUntilTheTimeIsUp) {
  SwayRecorder recorder;
  recorder.start(SwayCondition::EyesOpen, 10);
  const std::vector<uint8_t> levels(kCanvasPixels, 7);
  for (int n = 0; n < 400 && recorder.isRecording(); ++n) {
    recorder.addFrame(n, 100 + n / 30.0, footAt(60, 100, 300000), footAt(250, 100, 100000),
                      levels.data());
    recorder.addFrame(n, 100 + n / 30.0, footAt(0, 0, 300000), footAt(0, 0, 300000), nullptr);
  }
  const SwayRecording& r = recorder.result(SwayCondition::EyesOpen);
  EXPECT_EQ(r.stop, SwayStop::Completed);
  EXPECT_EQ(r.samples.size(), 301u) << "a repeated frame must not count twice";
  EXPECT_NEAR(r.samples.back().seconds, 10, 1e-9);
  EXPECT_DOUBLE_EQ(r.clockStart, 100);
  const SwaySample& s = r.samples[0];
  EXPECT_NEAR(s.left.x, 60.5 * 1.07, 1e-9);
  EXPECT_NEAR(s.right.x, 250.5 * 1.07, 1e-9);
  EXPECT_NEAR(s.both.x, (0.75 * 60 + 0.25 * 250 + 0.5) * 1.07, 1e-9);
  EXPECT_NEAR(s.leftShare, 75, 1e-9);
  EXPECT_EQ(r.lastLevels.size(), size_t(kCanvasPixels));
  EXPECT_EQ(r.figures[int(SwayPart::Both)].frames, 301);
  EXPECT_TRUE(recorder.result(SwayCondition::EyesClosed).samples.empty());
}

TEST(SwayRecorder, NobodyStandingRecordsNothing) {
  SwayRecorder recorder;
  recorder.start(SwayCondition::EyesClosed, 30);
  recorder.addFrame(1, 0, footAt(60, 100, 0), footAt(250, 100, 0), nullptr);
  EXPECT_FALSE(recorder.isRecording());
  EXPECT_EQ(recorder.result(SwayCondition::EyesClosed).stop, SwayStop::NoCustomer);
  EXPECT_FALSE(recorder.result(SwayCondition::EyesClosed).recorded());
  EXPECT_STRNE(swayStopMessage(SwayStop::NoCustomer), "");
}

TEST(SwayRecorder, SteppingOffStopsAndKeepsWhatWasRecorded) {
  for (int leaving : {0, 1}) {  // stepping off the plate, lifting the right foot
    SCOPED_TRACE(leaving);
    SwayRecorder recorder;
    recorder.start(SwayCondition::EyesOpen, 30);
    for (int n = 0; n < 60; ++n)
      recorder.addFrame(n, n / 30.0, footAt(60, 100 + n % 3, 300000), footAt(250, 100, 300000),
                        nullptr);
    const int64_t rightLoad = leaving == 0 ? 100000 : 0;
    const int64_t leftLoad = leaving == 0 ? 100000 : 600000;
    recorder.addFrame(60, 2.0, footAt(60, 100, leftLoad), footAt(250, 100, rightLoad), nullptr);
    EXPECT_FALSE(recorder.isRecording());
    const SwayRecording& r = recorder.result(SwayCondition::EyesOpen);
    EXPECT_EQ(r.stop, SwayStop::SteppedOff);
    ASSERT_EQ(r.samples.size(), 60u);
    EXPECT_TRUE(r.recorded());
    EXPECT_GT(r.figures[int(SwayPart::Left)].pathLength, 0);
    // Frames after the end change nothing.
    recorder.addFrame(61, 2.1, footAt(60, 100, 300000), footAt(250, 100, 300000), nullptr);
    EXPECT_EQ(r.samples.size(), 60u);
  }
}

TEST(SwayRecorder, TimeIsHeldToTenToSixtySecondsAndClearDropsBoth) {
  SwayRecorder recorder;
  for (double asked : {5.0, 100.0, double(NAN)}) {
    recorder.start(SwayCondition::EyesOpen, asked);
    EXPECT_GE(recorder.result(SwayCondition::EyesOpen).plannedSeconds, 10);
    EXPECT_LE(recorder.result(SwayCondition::EyesOpen).plannedSeconds, 60);
  }
  recorder.addFrame(0, 0, footAt(60, 100, 300000), footAt(250, 100, 300000), nullptr);
  recorder.stop(SwayStop::PictureHeld);
  EXPECT_TRUE(recorder.result(SwayCondition::EyesOpen).recorded());
  const unsigned before = recorder.revision();
  recorder.clear();
  EXPECT_NE(recorder.revision(), before);
  EXPECT_FALSE(recorder.result(SwayCondition::EyesOpen).recorded());
  EXPECT_FALSE(recorder.isRecording());
}

TEST(SwayFigureTable, RombergOnlyWithBothStancesAndNothingForAMissingOne) {
  SwayRecorder recorder;
  for (SwayCondition c : {SwayCondition::EyesOpen, SwayCondition::EyesClosed}) {
    const int step = c == SwayCondition::EyesOpen ? 1 : 2;  // eyes closed sways twice as far
    recorder.start(c, 10);
    for (int n = 0; n < 40; ++n)
      recorder.addFrame(n, n / 30.0, footAt(60, 100 + step * (n % 2), 300000),
                        footAt(250 + step * (n % 3 == 0), 100, 300000), nullptr);
    recorder.stop(SwayStop::PictureHeld);
    const auto table = swayFigureTable(recorder.result(SwayCondition::EyesOpen),
                                       recorder.result(SwayCondition::EyesClosed));
    ASSERT_EQ(table.size(), 8u);
    EXPECT_EQ(table[0][1], "睜眼 1 秒");
    if (c == SwayCondition::EyesOpen) {
      EXPECT_EQ(table[1][2], "-") << "no eyes-closed recording yet";
      EXPECT_EQ(table[1][3], "-");
    } else {
      EXPECT_EQ(table[1][3], "2.00");  // path length
      EXPECT_EQ(table[3][3], "4.00");  // ellipse area grows with the square
      EXPECT_EQ(table[2][3], "") << "mean velocity has no quotient";
    }
  }
}

// While recording, the figures are still zero: the live stabilogram is centred on the mean of
// the samples so far, far from the plate's origin, and the plate picture has no ellipse yet.
// The labels, at the size of the report page's, stay inside the frames.
TEST(SwayPictures, RunningRecordingIsCentredOnItsMeanWithItsLabelsInsideTheFrames) {
  SwayRecording running;
  running.plannedSeconds = 10;
  for (int n = 0; n < 90; ++n) {
    SwaySample s;
    s.seconds = n / 30.0;
    s.both = {170 + 3 * std::sin(n / 5.0), 180 + 2 * std::cos(n / 7.0)};
    running.samples.push_back(s);
  }
  ASSERT_FALSE(running.recorded());
  const PlotArea area{740, 640, 360, 145};  // a stabilogram of report page 2
  const double labelSize = 20;
  const SwayPicture picture = stabilogramPicture(running, area, labelSize, "睜眼");
  double meanOffset = 0, largestOffset = 0;
  int traced = 0;
  for (const PlotLine& line : picture.lines) {
    if (line.ink != SwayInk::Both) continue;
    // Upper strip first, then the lower one; each strip is half the area.
    const double middle = area.bottom + area.height * (traced == 0 ? 0.75 : 0.25);
    for (const PlatePoint& p : line.points) {
      const double offset = (p.y - middle) / (area.height / 4);
      meanOffset += offset / (2.0 * line.points.size());
      largestOffset = std::max(largestOffset, std::abs(offset));
    }
    ++traced;
  }
  EXPECT_EQ(traced, 2);
  EXPECT_NEAR(meanOffset, 0, 0.02);
  EXPECT_GT(largestOffset, 0.15);
  EXPECT_LE(largestOffset, 0.61) << "a swing of 6 mm on the smallest scale, +-10 mm";
  // Each label, as wide as one em per character at most (the scale's "±" is a full-width
  // glyph in the report's font), lies inside its strip and clear of the frame lines.
  // The title, then the strips' names and the scale; the front-back name follows the title.
  ASSERT_EQ(picture.labels.size(), 4u);
  EXPECT_EQ(picture.labels[0].text, "睜眼");
  EXPECT_EQ(picture.labels[1].y, picture.labels[0].y);
  EXPECT_GE(picture.labels[1].x, picture.labels[0].x + 2.5 * labelSize);
  EXPECT_EQ(picture.labels[3].text, "±10 mm");
  for (const PlotLabel& label : picture.labels) {
    SCOPED_TRACE(label.text);
    const double stripBottom =
        label.y >= area.bottom + area.height / 2 ? area.bottom + area.height / 2 : area.bottom;
    int characters = 0;
    for (unsigned char c : label.text) characters += (c & 0xC0) != 0x80;
    EXPECT_GT(label.x, area.left + 1);
    EXPECT_LT(label.x + characters * labelSize, area.left + area.width - 1);
    EXPECT_GT(label.y - 0.2 * labelSize, stripBottom + 1);
    EXPECT_LT(label.y + labelSize, stripBottom + area.height / 2 - 1);
  }
  for (const PlotLine& line : plateTracePicture(running, area).lines)
    EXPECT_NE(line.ink, SwayInk::Ellipse) << "no ellipse before the recording has ended";
}

}  // namespace
