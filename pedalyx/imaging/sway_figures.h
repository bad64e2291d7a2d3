// Standing-balance figures of one timed stance: how far and how fast the centre of pressure
// (COP) wandered, its ranges and RMS in both directions, the 95 % confidence ellipse of the
// trace and how the load was shared between the feet. Plain logic, millimetres on the plate.
#pragma once
#include <optional>
#include <vector>

// A point on the plate in millimetres: x from left to right, y from heel to toe.
struct PlatePoint {
  double x = 0;
  double y = 0;
};

// One live frame of a recording.
struct SwaySample {
  double seconds = 0;     // since the recording's first frame
  PlatePoint left;        // COP of the left foot
  PlatePoint right;       // COP of the right foot
  PlatePoint both;        // COP of both feet together
  double leftShare = 50;  // percent of the load on the left foot
};

enum class SwayPart { Left, Right, Both };

// chi-square quantile of 0.95 with two degrees of freedom: 95 % of a normal trace lies inside.
constexpr double kChiSquare95TwoDegrees = 5.991;

struct SwayEllipse {
  PlatePoint centre;
  double semiMajor = 0;     // mm
  double semiMinor = 0;     // mm
  double angleDegrees = 0;  // major axis from the left-right direction, -90 .. 90
  double area = 0;          // mm^2, pi * chi2 * sqrt(l1 * l2)
};

struct SwayFigures {
  int frames = 0;
  double seconds = 0;             // first to last frame
  double pathLength = 0;          // mm
  double meanVelocity = 0;        // mm/s; 0 for a recording of no duration
  double rangeX = 0, rangeY = 0;  // mm, left-right and front-back
  double rmsX = 0, rmsY = 0;      // mm about the mean
  SwayEllipse ellipse;
  double leftShareMean = 0;    // percent
  double leftShareSpread = 0;  // standard deviation, percentage points
};

PlatePoint pointOf(const SwaySample& sample, SwayPart part);

// Figures of one part of the trace. An empty trace gives all zeros; one frame gives its point
// as the ellipse centre and zeros elsewhere.
SwayFigures computeSwayFigures(const std::vector<SwaySample>& trace, SwayPart part);

// The ellipse of a list of points (mm), from their covariance.
SwayEllipse confidenceEllipse(const std::vector<PlatePoint>& points);

// Eyes closed over eyes open; nothing when the eyes-open value is not above zero.
std::optional<double> rombergQuotient(double eyesClosed, double eyesOpen);
