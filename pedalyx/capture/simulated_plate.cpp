#include "pedalyx/capture/simulated_plate.h"

#include <cmath>

#include "pedalyx/capture/foot_shape.h"
#include "pedalyx/capture/simulated_pressure.h"
#include "pedalyx/capture/simulated_weights.h"

namespace {

constexpr int kFrameWidth = 640;
constexpr int kFrameHeight = 480;
constexpr double kMmPerCanvasPixel = SimulatedPlate::kMmPerCanvasPixel;

// Where the feet stand on the canvas: heel back edge and the foot's middle line.
constexpr double kHeelCanvasY = 45.0;
constexpr double kLeftFootCanvasX = 64.0;
constexpr double kRightFootCanvasX = 256.0;

// Fallback calibration layout: each foot's strip is 128 canvas pixels wide and 335 high; the
// left strip shows camera x 580 → 400, the right strip camera x 240 → 60, both camera y
// 96 (canvas bottom) → 384 (canvas top).
constexpr double kStripWidth = 128.0;
constexpr double kRightStripX = 192.0;
constexpr double kLeftCameraX = 580.0;
constexpr double kRightCameraX = 240.0;
constexpr double kCameraSpanX = 180.0;
constexpr double kBottomCameraY = 96.0;
constexpr double kCameraSpanY = 288.0;

constexpr double kBalancePeriodSeconds = 10.0;

// The sway scene: the left share swings by 4 points at 0.25 Hz; the lean toward the toes
// swings at 0.4 Hz with a tilt that moves each foot's centre by about 5 mm.
constexpr double kSwayShareAmplitude = 0.04;
constexpr double kSwayShareHertz = 0.25;
constexpr double kSwayTiltAmplitude = 0.0011;
constexpr double kSwayTiltHertz = 0.4;
constexpr double kSwayGain = 1.6;

ArchType archOf(PlateScene scene) {
  switch (scene) {
    case PlateScene::Flat:
      return ArchType::Flat;
    case PlateScene::High:
      return ArchType::High;
    default:
      return ArchType::Normal;
  }
}

// Load shape of one foot at canvas point (cx, cy); the weights scene's pad stands in the left
// foot's strip.
double footAtCanvas(PlateScene scene, ArchType arch, bool left, double cx, double cy) {
  if (scene == PlateScene::Weights) return left ? weightPadShape(cx, cy) : 0.0;
  double across = left ? (cx - kLeftFootCanvasX) : (kRightFootCanvasX - cx);
  return footLoad(arch, across * kMmPerCanvasPixel, (cy - kHeelCanvasY) * kMmPerCanvasPixel);
}

}  // namespace

std::optional<PlateScene> plateSceneByName(const std::string& name) {
  if (name == "1" || name == "normal") return PlateScene::Normal;
  if (name == "flat") return PlateScene::Flat;
  if (name == "high") return PlateScene::High;
  if (name == "balance") return PlateScene::Balance;
  if (name == "sway") return PlateScene::Sway;
  if (name == "weights") return PlateScene::Weights;
  return std::nullopt;
}

double plateBackground(int x, int y, int channel) {
  double dx = x + 0.5 - kFrameWidth / 2.0;
  double dy = y + 0.5 - kFrameHeight / 2.0;
  double r2 = (dx * dx + dy * dy) / (PlateOptics::kVignetteRadius * PlateOptics::kVignetteRadius);
  return PlateOptics::kPlate[channel] * (1.0 - PlateOptics::kVignetting * r2);
}

cv::Point2d canvasToCamera(cv::Point2d canvas) {
  double v = kBottomCameraY + canvas.y * kCameraSpanY / SimulatedPlate::kCanvasHeight;
  if (canvas.x < (kStripWidth + kRightStripX) / 2)
    return {kLeftCameraX - canvas.x * kCameraSpanX / kStripWidth, v};
  return {kRightCameraX - (canvas.x - kRightStripX) * kCameraSpanX / kStripWidth, v};
}

cv::Point2d cameraToCanvas(cv::Point2d camera, bool left) {
  double cy = (camera.y - kBottomCameraY) * SimulatedPlate::kCanvasHeight / kCameraSpanY;
  if (left) return {(kLeftCameraX - camera.x) * kStripWidth / kCameraSpanX, cy};
  return {kRightStripX + (kRightCameraX - camera.x) * kStripWidth / kCameraSpanX, cy};
}

SimulatedPlate::SimulatedPlate(PlateScene scene, uint32_t seed) : scene_(scene), seed_(seed) {
  ArchType arch = archOf(scene);
  background_.create(kFrameHeight, kFrameWidth, CV_32FC3);
  cameraLeft_.create(kFrameHeight, kFrameWidth, CV_32F);
  cameraRight_.create(kFrameHeight, kFrameWidth, CV_32F);
  cameraCanvasY_.create(kFrameHeight, kFrameWidth, CV_32F);
  for (int y = 0; y < kFrameHeight; ++y) {
    for (int x = 0; x < kFrameWidth; ++x) {
      cv::Vec3f& b = background_.at<cv::Vec3f>(y, x);
      for (int c = 0; c < 3; ++c) b[c] = static_cast<float>(plateBackground(x, y, c));
      cv::Point2d centre(x + 0.5, y + 0.5);
      cv::Point2d l = cameraToCanvas(centre, true);
      cv::Point2d r = cameraToCanvas(centre, false);
      cameraLeft_.at<float>(y, x) = static_cast<float>(footAtCanvas(scene, arch, true, l.x, l.y));
      cameraRight_.at<float>(y, x) = static_cast<float>(footAtCanvas(scene, arch, false, r.x, r.y));
      cameraCanvasY_.at<float>(y, x) = static_cast<float>(l.y);
    }
  }
  canvasLeft_.create(kCanvasHeight, kCanvasWidth, CV_32F);
  canvasRight_.create(kCanvasHeight, kCanvasWidth, CV_32F);
  for (int j = 0; j < kCanvasHeight; ++j) {
    for (int i = 0; i < kCanvasWidth; ++i) {
      bool leftStrip = i < kStripWidth;
      bool rightStrip = i >= kRightStripX;
      double cx = i + 0.5;
      double cy = j + 0.5;
      // The camera sees nothing of the canvas between the strips.
      canvasLeft_.at<float>(j, i) =
          leftStrip ? static_cast<float>(footAtCanvas(scene, arch, true, cx, cy)) : 0.0f;
      canvasRight_.at<float>(j, i) =
          rightStrip ? static_cast<float>(footAtCanvas(scene, arch, false, cx, cy)) : 0.0f;
    }
  }
  const cv::Mat* shapes[2] = {&canvasLeft_, &canvasRight_};
  for (int foot = 0; foot < 2; ++foot) {
    ShapeMoments& m = moments_[foot];
    double sx = 0, sy = 0, sxy = 0, syy = 0;
    for (int j = 0; j < kCanvasHeight; ++j) {
      for (int i = 0; i < kCanvasWidth; ++i) {
        const double w = shapes[foot]->at<float>(j, i), cx = i + 0.5, cy = j + 0.5;
        m.sum += w;
        sx += w * cx;
        sy += w * cy;
        sxy += w * cx * cy;
        syy += w * cy * cy;
      }
    }
    if (m.sum == 0) continue;  // the weights scene has nothing under the right foot
    m.meanX = sx / m.sum;
    m.meanY = sy / m.sum;
    m.covXY = sxy / m.sum - m.meanX * m.meanY;
    m.varY = syy / m.sum - m.meanY * m.meanY;
  }
}

double SimulatedPlate::leftShare(int64_t frameNumber) const {
  double seconds = static_cast<double>(frameNumber - kEmptyFrames) / kFramesPerSecond;
  if (seconds < 0) return 0.5;
  if (scene_ == PlateScene::Sway)
    return 0.5 + kSwayShareAmplitude * std::sin(2.0 * M_PI * kSwayShareHertz * seconds);
  if (scene_ != PlateScene::Balance) return 0.5;
  return 0.5 + 0.3 * std::sin(2.0 * M_PI * seconds / kBalancePeriodSeconds);
}

double SimulatedPlate::frontBackTilt(int64_t frameNumber) const {
  double seconds = static_cast<double>(frameNumber - kEmptyFrames) / kFramesPerSecond;
  if (scene_ != PlateScene::Sway || seconds < 0) return 0.0;
  return kSwayTiltAmplitude * std::sin(2.0 * M_PI * kSwayTiltHertz * seconds);
}

cv::Point2d SimulatedPlate::loadCentre(int64_t frameNumber, int foot) const {
  double scales[2];
  footScales(frameNumber, scales[0], scales[1]);
  const double tilt = frontBackTilt(frameNumber);
  // The tilt keeps each foot's total and moves its centre by tilt times the shape's moments.
  cv::Point2d centres[2];
  double weights[2];
  for (int f = 0; f < 2; ++f) {
    const ShapeMoments& m = moments_[f];
    centres[f] = {m.meanX + tilt * m.covXY, m.meanY + tilt * m.varY};
    weights[f] = scales[f] * m.sum;
  }
  if (foot < 2) return weights[foot] > 0 ? centres[foot] : cv::Point2d();
  const double total = weights[0] + weights[1];
  if (total <= 0) return {};
  return (weights[0] * centres[0] + weights[1] * centres[1]) / total;
}

void SimulatedPlate::footScales(int64_t frameNumber, double& left, double& right) const {
  if (scene_ == PlateScene::Weights) {
    left = padPressureKpa(frameNumber) / PlatePhysics::kFullScaleKpa;
    right = 0;
    return;
  }
  double standing = 0.0;
  if (frameNumber >= kEmptyFrames + kStepOnFrames) {
    standing = 1.0;
  } else if (frameNumber >= kEmptyFrames) {
    standing = static_cast<double>(frameNumber - kEmptyFrames + 1) / kStepOnFrames;
  }
  // Still scenes show 90 % of full scale at an even stance; the balance scene reaches full
  // scale at 80 % on one foot.
  double gain = scene_ == PlateScene::Balance ? 1.25 : scene_ == PlateScene::Sway ? kSwayGain : 1.8;
  double share = leftShare(frameNumber);
  left = standing * gain * share;
  right = standing * gain * (1.0 - share);
}

void SimulatedPlate::renderFrame(int64_t frameNumber, cv::Mat& frame) const {
  frame.create(kFrameHeight, kFrameWidth, CV_8UC3);
  double left = 0;
  double right = 0;
  footScales(frameNumber, left, right);
  // Noise is seeded by scene seed and frame number, so a frame never depends on the ones
  // rendered before it.
  cv::RNG rng(static_cast<uint64_t>(seed_) * 0x9E3779B97F4A7C15ull +
              static_cast<uint64_t>(frameNumber) + 1);
  thread_local cv::Mat noise;
  noise.create(kFrameHeight, kFrameWidth, CV_32FC3);
  rng.fill(noise, cv::RNG::NORMAL, 0.0, PlateOptics::kNoiseSigma);
  const double tilt = frontBackTilt(frameNumber);
  for (int y = 0; y < kFrameHeight; ++y) {
    const cv::Vec3f* b = background_.ptr<cv::Vec3f>(y);
    const cv::Vec3f* n = noise.ptr<cv::Vec3f>(y);
    const float* fl = cameraLeft_.ptr<float>(y);
    const float* fr = cameraRight_.ptr<float>(y);
    const float* cy = cameraCanvasY_.ptr<float>(y);
    uchar* out = frame.ptr<uchar>(y);
    for (int x = 0; x < kFrameWidth; ++x) {
      double load = left * fl[x] * (1 + tilt * (cy[x] - moments_[0].meanY)) +
                    right * fr[x] * (1 + tilt * (cy[x] - moments_[1].meanY));
      for (int c = 0; c < 3; ++c) {
        double value = b[x][c] + PlateOptics::kGlow[c] * load + n[x][c];
        out[3 * x + c] = cv::saturate_cast<uchar>(value);
      }
    }
  }
}

void SimulatedPlate::canvasLoad(int64_t frameNumber, cv::Mat& load) const {
  double left = 0;
  double right = 0;
  footScales(frameNumber, left, right);
  cv::addWeighted(canvasLeft_, left, canvasRight_, right, 0.0, load, CV_32F);
  const double tilt = frontBackTilt(frameNumber);
  if (tilt == 0) return;
  for (int j = 0; j < kCanvasHeight; ++j) {
    float* row = load.ptr<float>(j);
    const float* l = canvasLeft_.ptr<float>(j);
    const float* r = canvasRight_.ptr<float>(j);
    const double cy = j + 0.5;
    for (int i = 0; i < kCanvasWidth; ++i)
      row[i] = static_cast<float>(left * l[i] * (1 + tilt * (cy - moments_[0].meanY)) +
                                  right * r[i] * (1 + tilt * (cy - moments_[1].meanY)));
  }
}

void SimulatedPlate::canvasLevels(int64_t frameNumber, cv::Mat& levels) const {
  cv::Mat load;
  canvasLoad(frameNumber, load);
  load.convertTo(levels, CV_8U, 255.0);
}
