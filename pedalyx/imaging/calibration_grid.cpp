#include "pedalyx/imaging/calibration_grid.h"

#include <cmath>
#include <cstdio>
#include <vector>

namespace {

// Coefficients a3, a2, a1, a0 of the cubic through P0..P3 at parameters 0, 1/3, 2/3, 1.
struct Cubic {
  float a3, a2, a1, a0;
};

Cubic cubicThrough(float p0, float p1, float p2, float p3) {
  return {-4.5f * p0 + 13.5f * p1 - 13.5f * p2 + 4.5f * p3,
          9.0f * p0 - 22.5f * p1 + 18.0f * p2 - 4.5f * p3, -5.5f * p0 + 9.0f * p1 - 4.5f * p2 + p3,
          p0};
}

float evaluate(const Cubic& c, float s) {
  return c.a3 * std::pow(s, 3.0f) + c.a2 * std::pow(s, 2.0f) + c.a1 * s + c.a0;
}

}  // namespace

void rebuildMesh(CalibrationGrid& grid) {
  const int columns = grid.meshColumns;
  const int rows = grid.meshRows;
  if (columns < 1 || rows < 1 || columns >= CalibrationGrid::kMeshNodesPerSide ||
      rows >= CalibrationGrid::kMeshNodesPerSide)
    return;
  // Four column curves sampled at every mesh row, then one cubic per row across them.
  std::vector<float> curveX(4 * (rows + 1));
  std::vector<float> curveY(4 * (rows + 1));
  for (int g = 0; g < 4; ++g) {
    const CalibrationPoint* p = &grid.reference[4 * g];
    const Cubic cx = cubicThrough(p[0].x, p[1].x, p[2].x, p[3].x);
    const Cubic cy = cubicThrough(p[0].y, p[1].y, p[2].y, p[3].y);
    for (int k = 0; k <= rows; ++k) {
      const float s = static_cast<float>(k) / static_cast<float>(rows);
      curveX[g * (rows + 1) + k] = evaluate(cx, s);
      curveY[g * (rows + 1) + k] = evaluate(cy, s);
    }
  }
  for (int k = 0; k <= rows; ++k) {
    auto at = [&](const std::vector<float>& v, int g) { return v[g * (rows + 1) + k]; };
    const Cubic rx = cubicThrough(at(curveX, 0), at(curveX, 1), at(curveX, 2), at(curveX, 3));
    const Cubic ry = cubicThrough(at(curveY, 0), at(curveY, 1), at(curveY, 2), at(curveY, 3));
    for (int c = 0; c <= columns; ++c) {
      const float t = static_cast<float>(c) / static_cast<float>(columns);
      grid.meshX[meshIndex(c, k)] = evaluate(rx, t);
      grid.meshY[meshIndex(c, k)] = evaluate(ry, t);
    }
  }
}

void pickCalibrationPoint(CalibrationGrid& grid, float x, float y) {
  float best = 1000.0f;
  for (int i = 0; i < CalibrationGrid::kReferenceCount; ++i) {
    const float dx = grid.reference[i].x - x;
    const float dy = grid.reference[i].y - y;
    const float distance = std::sqrt(dx * dx + dy * dy);
    if (distance < best) {
      grid.selectedReference = i;
      best = static_cast<float>(static_cast<int>(distance));
    }
  }
  grid.referenceSelected = true;
  std::printf("Reference POINT %d be selected\n", grid.selectedReference);
}

void setFallbackLayout(CalibrationGrid& left, CalibrationGrid& right) {
  static const float kLeftColumns[4] = {580, 520, 460, 400};
  static const float kRightColumns[4] = {240, 180, 120, 60};
  static const float kRows[4] = {384, 288, 192, 96};
  for (int g = 0; g < 4; ++g) {
    for (int p = 0; p < 4; ++p) {
      left.reference[4 * g + p] = {kLeftColumns[g], kRows[p]};
      right.reference[4 * g + p] = {kRightColumns[g], kRows[p]};
    }
  }
}

int warpMeshVertices(const CalibrationGrid& grid, int x0,
                     std::array<WarpVertex, kWarpVertexCount>& out) {
  const int columns = grid.meshColumns;
  const int rows = grid.meshRows;
  if (columns < 1 || rows < 1 || columns * rows * 4 > kWarpVertexCount) return 0;
  auto corner = [&](int i, int j) {
    WarpVertex v;
    v.s = grid.meshX[meshIndex(i, j)] / static_cast<float>(grid.imageWidth);
    v.t = grid.meshY[meshIndex(i, j)] / static_cast<float>(grid.imageHeight);
    v.x = static_cast<int>(x0 + static_cast<float>(i) / columns * kFootStripWidth);
    v.y = static_cast<int>(kCanvasHeight - static_cast<float>(j) / rows * kCanvasHeight);
    return v;
  };
  int n = 0;
  for (int c = 0; c < columns; ++c) {
    for (int r = 0; r < rows; ++r) {
      out[n++] = corner(c + 1, r + 1);
      out[n++] = corner(c, r + 1);
      out[n++] = corner(c, r);
      out[n++] = corner(c + 1, r);
    }
  }
  return n;
}
