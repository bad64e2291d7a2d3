#include "cobblet/wedges.h"

#include <algorithm>
#include <cmath>

namespace cobblet {
namespace {

float sign(float a) { return a > 0 ? 1.0f : -1.0f; }

}  // namespace

bool applyWedge(HeightPlane& plane, PlanePoint p1, PlanePoint p2, PlanePoint p3, float amountMm) {
  // Points as (x, y) = (row, column); the line is x = m * y - k.
  const float x1 = p1.row, y1 = p1.column, x2 = p2.row, y2 = p2.column;
  const float x3 = p3.row, y3 = p3.column;
  const float m = y1 != y2 ? (x1 - x2) / (y1 - y2) : (x1 - x2) / 0.01f;
  const float k = m * y1 - x1;
  const float kParallel = m * y3 - x3;
  const float norm = 1 + m * m;
  const float footX = std::trunc((m * m * x3 + m * y3 - k) / norm);
  const float footY = std::trunc((y3 + m * x3 + m * k) / norm);
  const float distance3 = std::fabs(x3 - m * y3 + k);
  if (distance3 == 0 || !std::isfinite(distance3)) return false;
  const float raise = amountMm / 0.2f;

  for (int r = 0; r < kPlaneRows; ++r) {
    for (int j = 0; j < kPlaneColumns; ++j) {
      const int v = pixelAt(plane, r, j);
      if (v == 0) continue;
      const float px = (m * m * r + m * j - k) / norm;
      const float py = (j + m * r + m * k) / norm;
      if (sign(r - px) != sign(x3 - footX) || sign(j - py) != sign(y3 - footY)) continue;
      const float pxParallel = (m * m * r + m * j - kParallel) / norm;
      const float pyParallel = (j + m * r + m * kParallel) / norm;
      const bool between =
          sign(r - pxParallel) == sign(footX - x3) && sign(j - pyParallel) == sign(footY - y3);
      int raised;
      if (between) {
        const float d = std::fabs(r - m * j + k);
        raised = static_cast<int>(v + raise * d / distance3);
      } else {
        raised = static_cast<int>(v + raise);
      }
      pixelAt(plane, r, j) = static_cast<uint8_t>(std::clamp(raised, kInsideLevel, 255));
    }
  }
  return true;
}

void pressWedgeButton(HeightPlane& plane, WedgeButton button, const InsoleLandmarks& marks,
                      const OutlineBox& box, float amountMm) {
  switch (button) {
    case WedgeButton::kInnerArch:
      applyWedge(plane, marks.ballOuter, marks.heelInner, marks.ballInner, amountMm);
      break;
    case WedgeButton::kOuterArch:
      applyWedge(plane, marks.ballInner, marks.heelOuter, marks.ballOuter, amountMm);
      break;
    case WedgeButton::kInnerHeel:
      applyWedge(plane, marks.ballInner, marks.heelOuter, marks.heelInner, amountMm);
      break;
    case WedgeButton::kOuterHeel:
      applyWedge(plane, marks.ballOuter, marks.heelInner, marks.heelMiddle, amountMm);
      break;
    case WedgeButton::kWholeHeel:
      applyWedge(plane, marks.ballInner, marks.ballOuter, marks.heelMiddle, amountMm);
      break;
  }
  const bool arch = button == WedgeButton::kInnerArch || button == WedgeButton::kOuterArch;
  if (arch && amountMm > 0) {
    const PlanePoint taperStart{marks.ballInner.row - 30, marks.ballInner.column};
    const PlanePoint taperEnd{marks.ballOuter.row - 30, marks.ballOuter.column};
    const PlanePoint toe{box.maxRow, marks.ballInner.column};
    applyWedge(plane, taperStart, taperEnd, toe, -3 * amountMm);
  }
}

}  // namespace cobblet
