// A simulated optical pressure plate as the plate camera films it: the empty plate for the
// first second, then a customer's two feet. docs/optical-model.md gives the formulas; tests use
// the exact canvas load the simulator drew as ground truth for the whole pipeline.
#pragma once
#include <cstdint>
#include <opencv2/core.hpp>
#include <optional>
#include <string>

enum class PlateScene { Normal, Flat, High, Balance, Sway, Weights };

// "normal", "flat", "high", "balance", "sway", "weights" (calibration weights on a pad); "1" is
// "normal". Nothing for any other text.
std::optional<PlateScene> plateSceneByName(const std::string& name);

// Constants of the optical model (camera units, channel order blue, green, red).
struct PlateOptics {
  static constexpr double kPlate[3] = {34.0, 20.0, 16.0};  // empty plate at the centre
  static constexpr double kVignetting = 0.3;               // darkening at radius 400 px
  static constexpr double kVignetteRadius = 400.0;
  static constexpr double kGlow[3] = {40.0, 230.0, 110.0};  // added at full load
  static constexpr double kNoiseSigma = 1.0;
  static constexpr int kSignalChannel = 1;  // green
};

// The empty plate's value of channel c at camera pixel (x, y), before rounding and noise.
double plateBackground(int x, int y, int channel);

// The camera point (continuous, y down) that canvas point (cx, cy) (continuous, origin bottom
// left) is seen at under the fallback calibration layout; cx in the left strip [0, 128] or the
// right strip [192, 320].
cv::Point2d canvasToCamera(cv::Point2d canvas);

// The inverse for one strip: left = true for the left foot's strip.
cv::Point2d cameraToCanvas(cv::Point2d camera, bool left);

class SimulatedPlate {
 public:
  static constexpr int kFramesPerSecond = 30;
  static constexpr int kEmptyFrames = 30;   // frames 0..29: empty plate
  static constexpr int kStepOnFrames = 15;  // load grows over frames 30..44
  static constexpr int kCanvasWidth = 320;
  static constexpr int kCanvasHeight = 335;
  static constexpr double kMmPerCanvasPixel = 1.07;  // on the plate, both directions

  explicit SimulatedPlate(PlateScene scene, uint32_t seed = 1);

  PlateScene scene() const { return scene_; }

  // Camera frame n (time n / 30 s): 640 × 480 CV_8UC3, B G R, top row first. The same scene,
  // seed and n always give the same bytes. frame is reused when it has the right size.
  void renderFrame(int64_t frameNumber, cv::Mat& frame) const;

  // The load drawn into frame n at canvas pixel centres: 320 × 335 CV_32F, 0..1, row 0 is the
  // canvas's bottom row (the order the pipeline reads the canvas back in).
  void canvasLoad(int64_t frameNumber, cv::Mat& load) const;

  // round(255 · load) of canvasLoad: 320 × 335 CV_8U, bottom row first.
  void canvasLevels(int64_t frameNumber, cv::Mat& levels) const;

  // Share of the weight on the left foot in frame n (0.5 except in the balance scene).
  double leftShare(int64_t frameNumber) const;

  // Multipliers of the left and right foot's shape in frame n (0 before the customer stands).
  void footScales(int64_t frameNumber, double& left, double& right) const;

  // The sway scene leans the load toward the toes or the heel: each foot's load is multiplied
  // by 1 + tilt * (canvas y - that foot's mean y). Tilt per canvas pixel in frame n (0 in the
  // other scenes).
  double frontBackTilt(int64_t frameNumber) const;

  // Where the load drawn into frame n is centred (canvas pixels, continuous, origin bottom
  // left): foot 0 the left foot, 1 the right foot, 2 both together. The ground truth of the
  // centre-of-pressure path; the origin when nothing stands.
  cv::Point2d loadCentre(int64_t frameNumber, int foot) const;

 private:
  PlateScene scene_;
  uint32_t seed_;
  cv::Mat background_;  // 640 × 480 CV_32FC3, unrounded empty plate
  cv::Mat cameraLeft_;  // 640 × 480 CV_32F, left foot shape seen by the camera
  cv::Mat cameraRight_;
  cv::Mat canvasLeft_;  // 320 × 335 CV_32F, bottom row first
  cv::Mat canvasRight_;
  cv::Mat cameraCanvasY_;  // 640 × 480 CV_32F, canvas y that each camera pixel sees
  // Moments of each foot's shape on the canvas (0 left, 1 right): sum, mean x and y,
  // covariance of x with y and variance of y.
  struct ShapeMoments {
    double sum = 0, meanX = 0, meanY = 0, covXY = 0, varY = 0;
  } moments_[2];
};
