// A simulated customer walking over the plate, as the plate camera films it: the empty plate
// for the first second, then left and right feet in turn, each contact a roll-over from heel
// strike to toe off, with a gap between contacts. The optical model is the standing scenes'
// (docs/optical-model.md); the load of each foot region follows its own timing, so the
// contact's phases, angle and gait line are known exactly from the model (WalkContactTruth).
#pragma once
#include <cstdint>
#include <opencv2/core.hpp>
#include <vector>

// What the scene's load model says about one contact. Times are seconds on the scene's clock
// (frame n is taken at n / frames per second); a point carries load strictly between onSeconds
// and offSeconds.
struct WalkContactTruth {
  bool left = true;               // the left foot, on the canvas's left strip
  double onSeconds = 0;           // heel strike
  double offSeconds = 0;          // toe off
  double forefootSeconds = 0;     // the forefoot zone's first load (its lateral side)
  double bothHalvesSeconds = 0;   // both halves of the forefoot zone carry load
  double heelOffSeconds = 0;      // from here on the heel zone carries under 10 % of its peak
  double progressionDegrees = 0;  // foot axis against the walking direction, toe-out positive
  cv::Point2d heelCentre;         // the foot's axis on the canvas (pixels, continuous)
  cv::Point2d secondToeBase;
  double contactSeconds() const { return offSeconds - onSeconds; }
};

class SimulatedWalk {
 public:
  static constexpr double kEmptySeconds = 1.0;   // the station takes its background here
  static constexpr double kToeOutDegrees = 7.0;  // every contact's progression angle
  static constexpr double kGapSeconds = 0.40;    // between one toe off and the next heel strike
  static constexpr int kCanvasWidth = 320;
  static constexpr int kCanvasHeight = 335;

  explicit SimulatedWalk(double framesPerSecond = 30, uint32_t seed = 1);

  double framesPerSecond() const { return framesPerSecond_; }

  // Camera frame n: 640 × 480 CV_8UC3, B G R, top row first; the same seed and n always give the
  // same bytes. frame is reused when it has the right size.
  void renderFrame(int64_t frameNumber, cv::Mat& frame) const;
  // The load drawn into frame n at canvas pixel centres: 320 × 335 CV_32F, 0..1, bottom row
  // first.
  void canvasLoad(int64_t frameNumber, cv::Mat& load) const;
  // The centre of that load (canvas pixels, continuous); false when nothing stands.
  bool loadCentre(int64_t frameNumber, cv::Point2d& centre) const;

  // Contact k (0, 1, 2, …): the left foot for even k, the right foot for odd k.
  WalkContactTruth contact(int index) const;
  // The contacts whose heel strike comes before `seconds`, in order.
  std::vector<WalkContactTruth> contactsBefore(double seconds) const;

 private:
  // One way of putting a foot down: where it lands and, for every camera pixel and canvas
  // pixel, the foot's standing load shape and the region whose timing it follows.
  struct Placement {
    bool left = true;
    cv::Point2d heelCentre, secondToeBase;  // canvas pixels
    cv::Rect cameraBox;                     // camera pixels the strip shows
    cv::Mat cameraShape, cameraRegion;      // CV_32F and CV_8U over cameraBox
    cv::Mat canvasShape, canvasRegion;      // 320 × 335, bottom row first
  };
  Placement place(bool left, double heelCanvasY) const;
  int contactAt(double seconds, double& phase) const;
  // The five region weights of a contact at phase 0..1 of its duration.
  static void regionWeights(double phase, float weights[5]);

  double framesPerSecond_;
  uint32_t seed_;
  std::vector<Placement> placements_;
  std::vector<float> noiseField_;  // one frame of sensor noise and some to spare
};
