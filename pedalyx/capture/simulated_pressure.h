// What the simulated plate's loads mean physically: the pressure that a load fraction stands
// for, each simulated customer's body weight, and per foot the contact area, force and pressures
// the scene presses onto the plate. The ground truth of the station's pressure figures
// (docs/optical-model.md).
#pragma once
#include <cstdint>
#include <opencv2/core.hpp>

#include "pedalyx/capture/simulated_plate.h"

struct PlatePhysics {
  // Load fraction 1 (full glow) is this pressure; the plate's glow grows linearly with it.
  static constexpr double kFullScaleKpa = 100.0;
  static constexpr double kGravity = 9.81;  // m/s², the force of one kilogram is 9.81 N
  static constexpr double kCanvasPixelAreaCm2 =
      SimulatedPlate::kMmPerCanvasPixel * SimulatedPlate::kMmPerCanvasPixel / 100.0;
};

// The pressure drawn into frame n at canvas pixel centres (kPa): 320 × 335 CV_32F, bottom row
// first, full-scale pressure times canvasLoad.
void canvasPressure(const SimulatedPlate& plate, int64_t frameNumber, cv::Mat& kpa);

// The customer's body weight in kg: the force of the standing load divided by g. Every standing
// scene keeps its total load while it moves, so one standing frame gives it. 0 in the weights
// scene, where nobody stands.
double bodyWeightKg(const SimulatedPlate& plate);

struct FootPressureTruth {
  double contactAreaCm2 = 0;  // pixels pressed above the threshold
  double forceN = 0;          // every pressed pixel
  double peakKpa = 0;
  double meanKpa = 0;  // over the contact area
};

// One canvas half of a pressure picture (left: columns 0..159, as the station divides the feet).
// A pixel touches when its pressure exceeds thresholdKpa.
FootPressureTruth footPressureTruth(const cv::Mat& kpa, bool leftHalf, double thresholdKpa = 0);
