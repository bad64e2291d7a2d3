#include "pedalyx/imaging/sway_figures.h"

#include <algorithm>
#include <cmath>

PlatePoint pointOf(const SwaySample& sample, SwayPart part) {
  switch (part) {
    case SwayPart::Left:
      return sample.left;
    case SwayPart::Right:
      return sample.right;
    case SwayPart::Both:
      break;
  }
  return sample.both;
}

SwayEllipse confidenceEllipse(const std::vector<PlatePoint>& points) {
  SwayEllipse e;
  if (points.empty()) return e;
  const double n = static_cast<double>(points.size());
  for (const PlatePoint& p : points) {
    e.centre.x += p.x;
    e.centre.y += p.y;
  }
  e.centre.x /= n;
  e.centre.y /= n;
  double xx = 0, yy = 0, xy = 0;
  for (const PlatePoint& p : points) {
    const double dx = p.x - e.centre.x, dy = p.y - e.centre.y;
    xx += dx * dx / n;
    yy += dy * dy / n;
    xy += dx * dy / n;
  }
  // Eigenvalues of the 2 x 2 covariance; rounding may leave the smaller one just below zero.
  const double mean = (xx + yy) / 2;
  const double spread = std::sqrt(((xx - yy) / 2) * ((xx - yy) / 2) + xy * xy);
  const double major = std::max(0.0, mean + spread);
  const double minor = std::max(0.0, mean - spread);
  e.semiMajor = std::sqrt(kChiSquare95TwoDegrees * major);
  e.semiMinor = std::sqrt(kChiSquare95TwoDegrees * minor);
  e.angleDegrees = 0.5 * std::atan2(2 * xy, xx - yy) * 180.0 / M_PI;
  e.area = M_PI * kChiSquare95TwoDegrees * std::sqrt(major * minor);
  return e;
}

SwayFigures computeSwayFigures(const std::vector<SwaySample>& trace, SwayPart part) {
  SwayFigures f;
  if (trace.empty()) return f;
  f.frames = static_cast<int>(trace.size());
  f.seconds = trace.back().seconds - trace.front().seconds;
  std::vector<PlatePoint> points;
  points.reserve(trace.size());
  for (const SwaySample& s : trace) points.push_back(pointOf(s, part));
  double minX = points[0].x, maxX = minX, minY = points[0].y, maxY = minY;
  for (size_t i = 0; i < points.size(); ++i) {
    if (i > 0)
      f.pathLength += std::hypot(points[i].x - points[i - 1].x, points[i].y - points[i - 1].y);
    minX = std::min(minX, points[i].x);
    maxX = std::max(maxX, points[i].x);
    minY = std::min(minY, points[i].y);
    maxY = std::max(maxY, points[i].y);
  }
  f.meanVelocity = f.seconds > 0 ? f.pathLength / f.seconds : 0;
  f.rangeX = maxX - minX;
  f.rangeY = maxY - minY;
  f.ellipse = confidenceEllipse(points);
  const double n = static_cast<double>(points.size());
  double shareSum = 0;
  for (size_t i = 0; i < points.size(); ++i) {
    const double dx = points[i].x - f.ellipse.centre.x, dy = points[i].y - f.ellipse.centre.y;
    f.rmsX += dx * dx / n;
    f.rmsY += dy * dy / n;
    shareSum += trace[i].leftShare;
  }
  f.rmsX = std::sqrt(f.rmsX);
  f.rmsY = std::sqrt(f.rmsY);
  f.leftShareMean = shareSum / n;
  double shareVariance = 0;
  for (const SwaySample& s : trace)
    shareVariance += (s.leftShare - f.leftShareMean) * (s.leftShare - f.leftShareMean) / n;
  f.leftShareSpread = std::sqrt(shareVariance);
  return f;
}

std::optional<double> rombergQuotient(double eyesClosed, double eyesOpen) {
  if (!(eyesOpen > 0) || !std::isfinite(eyesClosed) || !std::isfinite(eyesOpen))
    return std::nullopt;
  return eyesClosed / eyesOpen;
}
