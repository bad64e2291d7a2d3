#include "pedalyx/capture/simulated_walk.h"

#include <algorithm>
#include <cmath>

#include "pedalyx/capture/foot_shape.h"
#include "pedalyx/capture/simulated_plate.h"

namespace {

constexpr int kFrameWidth = 640;
constexpr size_t kNoiseOffsets = 1 << 16;
constexpr int kFrameHeight = 480;
constexpr double kMmPerCanvasPixel = 1.07;

// The walking load at its highest: a little below the plate's full scale, so levels never clip.
constexpr double kGain = 0.95;

// Landmarks of the foot shape (foot_shape.cpp, millimetres across and along): the centre of
// the heel pad, and the front of the ball in line with the second toe (the second metatarsal
// head's rim at across 8, where the second toe sits).
const cv::Point2d kHeelCentre(-2.0, 40.0);
const cv::Point2d kSecondToeBase(8.0, 186.0 + 15.0 * std::sqrt(1.0 - (3.0 / 12.0) * (3.0 / 12.0)));
// Radii of the heel pad: the back of the heel lies this far behind its centre along the axis.
constexpr double kHeelRadiusAcross = 31.0;
constexpr double kHeelRadiusAlong = 40.0;
// Region borders keep this distance from the zone lines, so an axis found a few millimetres off
// still sees each zone load with its own timing.
constexpr double kRegionMargin = 8.0;

// Where the heel centre lands: inside the unmasked strips with room for the toe-out.
constexpr double kLeftHeelCanvasX = 72.0;
constexpr double kRightHeelCanvasX = 248.0;
constexpr double kHeelCanvasY = 75.0;
constexpr double kHeelRowOffsets[] = {0.0, 6.0, -5.0, 3.0};

constexpr double kFirstStrikeSeconds = 1.5;
constexpr double kDurations[] = {0.62, 0.66, 0.70};
constexpr int kDurationCount = 3;

// Fallback calibration layout: the camera area each strip shows.
const cv::Rect kLeftCameraBox(398, 94, 185, 293);
const cv::Rect kRightCameraBox(58, 94, 185, 293);

enum Region { kHeel = 0, kMidfoot = 1, kForeLateral = 2, kForeMedial = 3, kToes = 4 };

// 0 before `start`, then `first` rising to 1 at `full`; from `fall` on falling linearly to
// `last` at `end`.
double weight(double phase, double start, double first, double full, double fall, double last,
              double end) {
  if (phase <= start) return 0.0;
  if (phase < full) return first + (1.0 - first) * (phase - start) / (full - start);
  if (phase < fall) return 1.0;
  if (phase < end) return 1.0 + (last - 1.0) * (phase - fall) / (end - fall);
  return last;
}

// The axis frame of the foot shape: unit vector heel to toe, and across towards the big toe.
struct ShapeAxis {
  cv::Point2d along, medial;
  double heelBack;  // from the back of the heel to the heel centre
  double length;    // from the back of the heel to the second toe's base
  ShapeAxis() {
    const cv::Point2d d = kSecondToeBase - kHeelCentre;
    along = d / std::hypot(d.x, d.y);
    medial = {along.y, -along.x};
    heelBack = std::hypot(kHeelRadiusAcross * along.x, kHeelRadiusAlong * along.y);
    length = std::hypot(d.x, d.y) + heelBack;
  }
  // The station's zones lie at thirds of the length; each region takes its zone and margins.
  Region regionOf(cv::Point2d shape) const {
    const cv::Point2d d = shape - kHeelCentre;
    const double s = d.dot(along) + heelBack;
    if (s < length / 3 + kRegionMargin) return kHeel;
    if (s < 2 * length / 3 - kRegionMargin) return kMidfoot;
    if (s > length) return kToes;
    return d.dot(medial) < -kRegionMargin ? kForeLateral : kForeMedial;
  }
};
const ShapeAxis kAxis;

// The foot's own frame on the canvas: the left foot turned toe-out counter-clockwise, the right
// foot mirrored and turned clockwise. `rotation` includes the shape's own axis angle.
struct FootFrame {
  bool left;
  cv::Point2d heelCanvas;  // pixels
  double cosR, sinR;
  FootFrame(bool isLeft, cv::Point2d heel) : left(isLeft), heelCanvas(heel) {
    const double shapeAxis = std::atan2(kAxis.along.x, kAxis.along.y);
    const double rotation = (SimulatedWalk::kToeOutDegrees * M_PI / 180.0) + shapeAxis;
    cosR = std::cos(rotation);
    sinR = std::sin(rotation) * (left ? 1.0 : -1.0);
  }
  cv::Point2d toCanvas(cv::Point2d shape) const {
    cv::Point2d d = shape - kHeelCentre;
    if (!left) d.x = -d.x;
    const cv::Point2d turned(d.x * cosR - d.y * sinR, d.x * sinR + d.y * cosR);
    return heelCanvas + turned / kMmPerCanvasPixel;
  }
  cv::Point2d toShape(cv::Point2d canvas) const {
    const cv::Point2d d = (canvas - heelCanvas) * kMmPerCanvasPixel;
    cv::Point2d back(d.x * cosR + d.y * sinR, -d.x * sinR + d.y * cosR);
    if (!left) back.x = -back.x;
    return kHeelCentre + back;
  }
};

}  // namespace

SimulatedWalk::SimulatedWalk(double framesPerSecond, uint32_t seed)
    : framesPerSecond_(framesPerSecond), seed_(seed) {
  noiseField_.resize(static_cast<size_t>(kFrameWidth) * kFrameHeight * 3 + kNoiseOffsets);
  cv::Mat field(1, static_cast<int>(noiseField_.size()), CV_32F, noiseField_.data());
  cv::RNG(seed).fill(field, cv::RNG::NORMAL, 0.0, PlateOptics::kNoiseSigma);
  for (bool left : {true, false})
    for (double offset : kHeelRowOffsets) placements_.push_back(place(left, kHeelCanvasY + offset));
}

SimulatedWalk::Placement SimulatedWalk::place(bool left, double heelCanvasY) const {
  Placement p;
  p.left = left;
  p.heelCentre = {left ? kLeftHeelCanvasX : kRightHeelCanvasX, heelCanvasY};
  const FootFrame frame(left, p.heelCentre);
  p.secondToeBase = frame.toCanvas(kSecondToeBase);
  p.cameraBox = left ? kLeftCameraBox : kRightCameraBox;
  p.cameraShape.create(p.cameraBox.size(), CV_32F);
  p.cameraRegion.create(p.cameraBox.size(), CV_8U);
  for (int y = 0; y < p.cameraBox.height; ++y) {
    for (int x = 0; x < p.cameraBox.width; ++x) {
      const cv::Point2d camera(p.cameraBox.x + x + 0.5, p.cameraBox.y + y + 0.5);
      const cv::Point2d shape = frame.toShape(cameraToCanvas(camera, left));
      p.cameraShape.at<float>(y, x) =
          static_cast<float>(footLoad(ArchType::Normal, shape.x, shape.y));
      p.cameraRegion.at<uchar>(y, x) = static_cast<uchar>(kAxis.regionOf(shape));
    }
  }
  p.canvasShape = cv::Mat::zeros(kCanvasHeight, kCanvasWidth, CV_32F);
  p.canvasRegion = cv::Mat::zeros(kCanvasHeight, kCanvasWidth, CV_8U);
  // The camera sees nothing of the canvas between the strips.
  const int firstColumn = left ? 0 : 192, lastColumn = left ? 128 : 320;
  for (int j = 0; j < kCanvasHeight; ++j) {
    for (int i = firstColumn; i < lastColumn; ++i) {
      const cv::Point2d shape = frame.toShape({i + 0.5, j + 0.5});
      p.canvasShape.at<float>(j, i) =
          static_cast<float>(footLoad(ArchType::Normal, shape.x, shape.y));
      p.canvasRegion.at<uchar>(j, i) = static_cast<uchar>(kAxis.regionOf(shape));
    }
  }
  return p;
}

void SimulatedWalk::regionWeights(double phase, float weights[5]) {
  if (phase <= 0.0 || phase >= 1.0) {
    std::fill(weights, weights + 5, 0.0f);
    return;
  }
  // The heel strikes, the midfoot follows, the forefoot lands lateral side first, the toes
  // last; the heel lifts (below 10 % of its peak from phase 0.58 on) and the load rolls off
  // over the medial forefoot and the toes, which leave the plate at once.
  weights[kHeel] = static_cast<float>(weight(phase, 0.0, 0.35, 0.08, 0.40, 0.0, 0.60));
  weights[kMidfoot] = static_cast<float>(weight(phase, 0.05, 0.30, 0.15, 0.55, 0.0, 0.75));
  weights[kForeLateral] = static_cast<float>(weight(phase, 0.12, 0.30, 0.25, 0.70, 0.10, 1.0));
  weights[kForeMedial] = static_cast<float>(weight(phase, 0.19, 0.30, 0.30, 0.85, 0.45, 1.0));
  weights[kToes] = static_cast<float>(weight(phase, 0.30, 0.30, 0.45, 0.85, 0.50, 1.0));
}

WalkContactTruth SimulatedWalk::contact(int index) const {
  double start = kFirstStrikeSeconds;
  double period = 0;
  for (double d : kDurations) period += d + kGapSeconds;
  start += (index / kDurationCount) * period;
  for (int j = 0; j < index % kDurationCount; ++j) start += kDurations[j] + kGapSeconds;
  const double duration = kDurations[index % kDurationCount];
  const Placement& p = placements_[(index % 2) * 4 + (index / 2) % 4];
  WalkContactTruth t;
  t.left = p.left;
  t.onSeconds = start;
  t.offSeconds = start + duration;
  // Phases at which regionWeights starts each region, and the heel's 10 % point.
  t.forefootSeconds = start + 0.12 * duration;
  t.bothHalvesSeconds = start + 0.19 * duration;
  t.heelOffSeconds = start + (0.40 + 0.9 * 0.20) * duration;
  t.progressionDegrees = kToeOutDegrees;
  t.heelCentre = p.heelCentre;
  t.secondToeBase = p.secondToeBase;
  return t;
}

std::vector<WalkContactTruth> SimulatedWalk::contactsBefore(double seconds) const {
  std::vector<WalkContactTruth> contacts;
  for (int k = 0;; ++k) {
    WalkContactTruth t = contact(k);
    if (t.onSeconds >= seconds) return contacts;
    contacts.push_back(t);
  }
}

int SimulatedWalk::contactAt(double seconds, double& phase) const {
  if (seconds <= kFirstStrikeSeconds) return -1;
  double period = 0;
  for (double d : kDurations) period += d + kGapSeconds;
  const int cycles = static_cast<int>((seconds - kFirstStrikeSeconds) / period);
  // The contact of that cycle that began last before `seconds`, if it still lasts.
  for (int k = cycles * kDurationCount; k < (cycles + 1) * kDurationCount + 1; ++k) {
    const WalkContactTruth t = contact(k);
    if (seconds > t.onSeconds && seconds < t.offSeconds) {
      phase = (seconds - t.onSeconds) / t.contactSeconds();
      return k;
    }
  }
  return -1;
}

void SimulatedWalk::renderFrame(int64_t frameNumber, cv::Mat& frame) const {
  thread_local cv::Mat background, value;
  if (background.empty()) {
    background.create(kFrameHeight, kFrameWidth, CV_32FC3);
    for (int y = 0; y < kFrameHeight; ++y)
      for (int x = 0; x < kFrameWidth; ++x)
        for (int c = 0; c < 3; ++c)
          background.at<cv::Vec3f>(y, x)[c] = static_cast<float>(plateBackground(x, y, c));
  }
  // The sensor noise of frame n is the stored field from an offset that seed and frame number
  // choose: drawing a fresh field for every frame would cost more than the rest of the frame,
  // and at 240 frames a second more than the camera thread has.
  uint64_t mix = (static_cast<uint64_t>(seed_) << 32) ^ static_cast<uint64_t>(frameNumber);
  mix = (mix ^ (mix >> 30)) * 0xBF58476D1CE4E5B9ull;
  mix = (mix ^ (mix >> 27)) * 0x94D049BB133111EBull;
  mix ^= mix >> 31;
  const size_t offset = static_cast<size_t>(mix % kNoiseOffsets);
  const cv::Mat noise(kFrameHeight, kFrameWidth, CV_32FC3,
                      const_cast<float*>(noiseField_.data()) + offset);
  cv::add(background, noise, value);
  double phase = 0;
  const int k = contactAt(static_cast<double>(frameNumber) / framesPerSecond_, phase);
  if (k >= 0) {
    const Placement& p = placements_[(k % 2) * 4 + (k / 2) % 4];
    float weights[5];
    regionWeights(phase, weights);
    for (int y = 0; y < p.cameraBox.height; ++y) {
      const float* shape = p.cameraShape.ptr<float>(y);
      const uchar* region = p.cameraRegion.ptr<uchar>(y);
      cv::Vec3f* out = value.ptr<cv::Vec3f>(p.cameraBox.y + y) + p.cameraBox.x;
      for (int x = 0; x < p.cameraBox.width; ++x) {
        const float load = static_cast<float>(kGain) * shape[x] * weights[region[x]];
        if (load <= 0) continue;
        for (int c = 0; c < 3; ++c) out[x][c] += static_cast<float>(PlateOptics::kGlow[c]) * load;
      }
    }
  }
  value.convertTo(frame, CV_8UC3);
}

void SimulatedWalk::canvasLoad(int64_t frameNumber, cv::Mat& load) const {
  load = cv::Mat::zeros(kCanvasHeight, kCanvasWidth, CV_32F);
  double phase = 0;
  const int k = contactAt(static_cast<double>(frameNumber) / framesPerSecond_, phase);
  if (k < 0) return;
  const Placement& p = placements_[(k % 2) * 4 + (k / 2) % 4];
  float weights[5];
  regionWeights(phase, weights);
  for (int j = 0; j < kCanvasHeight; ++j) {
    const float* shape = p.canvasShape.ptr<float>(j);
    const uchar* region = p.canvasRegion.ptr<uchar>(j);
    float* out = load.ptr<float>(j);
    for (int i = 0; i < kCanvasWidth; ++i)
      out[i] = static_cast<float>(kGain) * shape[i] * weights[region[i]];
  }
}

bool SimulatedWalk::loadCentre(int64_t frameNumber, cv::Point2d& centre) const {
  cv::Mat load;
  canvasLoad(frameNumber, load);
  double sum = 0, sumX = 0, sumY = 0;
  for (int j = 0; j < kCanvasHeight; ++j) {
    const float* row = load.ptr<float>(j);
    for (int i = 0; i < kCanvasWidth; ++i) {
      sum += row[i];
      sumX += row[i] * (i + 0.5);
      sumY += row[i] * (j + 0.5);
    }
  }
  if (sum <= 0) return false;
  centre = {sumX / sum, sumY / sum};
  return true;
}
