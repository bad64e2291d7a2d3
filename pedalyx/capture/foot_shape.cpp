#include "pedalyx/capture/foot_shape.h"

#include <algorithm>
#include <cmath>

namespace {

// A rounded pad: flat-topped and falling to 0 at its rim, like the contact print of soft
// tissue under load.
double pad(double peak, double q) { return q >= 1.0 ? 0.0 : peak * (1.0 - q * q); }

double ellipse(double peak, double cu, double cv, double ru, double rv, double u, double v) {
  double du = (u - cu) / ru;
  double dv = (v - cv) / rv;
  return pad(peak, du * du + dv * dv);
}

// A band of radius r around the segment (u0, v0)-(u1, v1).
double band(double peak, double u0, double v0, double u1, double v1, double r, double u, double v) {
  double su = u1 - u0;
  double sv = v1 - v0;
  double t = std::clamp(((u - u0) * su + (v - v0) * sv) / (su * su + sv * sv), 0.0, 1.0);
  double du = u - (u0 + t * su);
  double dv = v - (v0 + t * sv);
  return pad(peak, (du * du + dv * dv) / (r * r));
}

struct Blob {
  double peak, u, v, ru, rv;
};

// Metatarsal heads 1 (big-toe side) to 5, then the toes.
constexpr Blob kForefoot[] = {
    {0.80, 27, 182, 14, 15},  {0.95, 11, 186, 12, 15},  {0.88, -3, 182, 12, 14},
    {0.70, -16, 175, 11, 13}, {0.60, -28, 165, 11, 13}, {0.75, 26, 229, 12, 15},
    {0.50, 8, 229, 7, 9},     {0.45, -4, 223, 6, 8},    {0.40, -15, 215, 6, 7},
    {0.35, -25, 205, 6, 7},
};

}  // namespace

double footLoad(ArchType arch, double u, double v) {
  if (v < -5 || v > kFootLengthMm + 5 || std::abs(u) > 60) return 0.0;
  double load = ellipse(1.0, -2, 38, 27, 36, u, v);            // heel
  load = std::max(load, ellipse(0.55, 0, 177, 41, 21, u, v));  // forefoot pad
  for (const Blob& b : kForefoot)
    load = std::max(load, ellipse(b.peak, b.u, b.v, b.ru, b.rv, u, v));
  switch (arch) {
    case ArchType::Normal:
      load = std::max(load, band(0.38, -14, 60, -26, 160, 13, u, v));
      break;
    case ArchType::Flat:
      // The band spreads over the arch: the whole midfoot touches the plate.
      load = std::max(load, band(0.45, -14, 60, -26, 160, 14, u, v));
      load = std::max(load, band(0.40, 4, 70, 6, 160, 22, u, v));
      break;
    case ArchType::High:
      // Only a thin lateral rim, broken in its middle.
      load = std::max(load, band(0.28, -19, 62, -24, 95, 6, u, v));
      load = std::max(load, band(0.28, -27, 130, -29, 160, 6, u, v));
      break;
  }
  return std::clamp(load, 0.0, 1.0);
}
