#include "cobblet/insole_fitting.h"

#include <algorithm>
#include <cmath>

#include "cobblet/pad_readback.h"

namespace cobblet {
namespace {

// The smallest height above 0; the search starts at 255, so heights all above 255 give 255.
float lowestAboveZero(const float* values, int rows, int columns, int stride) {
  float lowest = 255;
  for (int row = 0; row < rows; ++row) {
    for (int column = 0; column < columns; ++column) {
      float v = values[row * stride + column];
      if (v > 0 && v < lowest) lowest = v;
    }
  }
  return lowest;
}

uint8_t clampToByte(float v) {
  if (!(v > 0)) return 0;
  if (v >= 255) return 255;
  return static_cast<uint8_t>(v);
}

bool exceedsNeighbours(const HeightPlane& plane, int row, int column) {
  const int p = pixelAt(plane, row, column);
  for (int dr = -1; dr <= 1; ++dr) {
    for (int dc = -1; dc <= 1; ++dc) {
      if (dr == 0 && dc == 0) continue;
      const int n = pixelAt(plane, row + dr, column + dc);
      if (n == 0) continue;
      const int allowed = (dr == 0 || dc == 0) ? 3 : 4;
      if (p - n > allowed) return true;
    }
  }
  return false;
}

}  // namespace

int widthStepForLength(double lengthDifference) {
  // No foot differs from the template by more than a metre; beyond that (or not a number) the
  // conversion to a whole step would be undefined.
  if (std::isnan(lengthDifference)) return 0;
  lengthDifference =
      std::clamp(lengthDifference, -kLargestLengthDifference, kLargestLengthDifference);
  int steps = static_cast<int>(lengthDifference / 5);
  int remainder = static_cast<int>(std::fmod(lengthDifference, 5.0));
  if (remainder >= 3) {
    ++steps;
  } else if (remainder <= -3) {
    --steps;
  }
  return steps;
}

void stretchOffset(const InsoleState& state, float& x, float& y) {
  const OutlineBox& box = state.templateBox;
  x = static_cast<float>(75 - (box.minColumn + box.maxColumn) * 0.5 * (state.targetWidth / 150));
  y = static_cast<float>(180 - (box.minRow + box.maxRow) * 0.5 * (state.targetHeight / 360));
}

float scaleHeights(HeightPlane& plane, double lengthRatio, double heightRatio) {
  const float factor = static_cast<float>(lengthRatio) * static_cast<float>(heightRatio);
  // Two scans compute the same products, so nothing needs to be kept between them.
  float lowest = 255;
  for (int row = 0; row < kPlaneRows; ++row) {
    for (int column = 0; column < kPlaneColumns; ++column) {
      const float h = pixelAt(plane, row, column) * factor;
      if (h > 0 && h < lowest) lowest = h;
    }
  }
  const float shift = lowest != kInsideLevel ? lowest - kInsideLevel : 0.0f;
  for (int row = 0; row < kPlaneRows; ++row) {
    for (int column = 0; column < kPlaneColumns; ++column) {
      float h = pixelAt(plane, row, column) * factor;
      if (h > 0) h -= shift;
      pixelAt(plane, row, column) = clampToByte(h);
    }
  }
  return lowest;
}

void limitSlope(HeightPlane& plane, HeightPlane& scratch) {
  // A pixel's verdict depends only on itself and its eight neighbours, so after the first pass
  // only rows next to a row that changed can change again.
  constexpr int kFirstRow = 2, kLastRow = kPlaneRows - 3;
  constexpr int kFirstColumn = 2, kLastColumn = kPlaneColumns - 3;
  std::array<bool, kPlaneRows> changedBefore;
  std::array<bool, kPlaneRows> changedNow{};
  changedBefore.fill(true);
  scratch = plane;
  bool anyChange = true;
  while (anyChange) {
    anyChange = false;
    changedNow.fill(false);
    for (int row = kFirstRow; row <= kLastRow; ++row) {
      if (!changedBefore[row - 1] && !changedBefore[row] && !changedBefore[row + 1]) continue;
      for (int column = kFirstColumn; column <= kLastColumn; ++column) {
        const int p = pixelAt(plane, row, column);
        if (p == 0 || !exceedsNeighbours(plane, row, column)) continue;
        pixelAt(scratch, row, column) = static_cast<uint8_t>(p - 1);
        changedNow[row] = true;
        anyChange = true;
      }
    }
    for (int row = kFirstRow; row <= kLastRow; ++row) {
      if (!changedNow[row]) continue;
      std::copy_n(&pixelAt(scratch, row, 0), kPlaneStride, &pixelAt(plane, row, 0));
    }
    changedBefore = changedNow;
  }
}

void trimCorners(HeightPlane& plane) {
  auto set = [&plane](int row, int column) { return pixelAt(plane, row, column) != 0; };
  for (int column = 1; column <= kPlaneColumns - 2; ++column) {
    for (int row = 1; row <= kPlaneRows - 2; ++row) {
      if (!set(row, column)) continue;
      int count = 0;
      for (int dr = -1; dr <= 1; ++dr) {
        for (int dc = -1; dc <= 1; ++dc) count += set(row + dr, column + dc);
      }
      if (count != 4) continue;
      bool corner = false;
      if (set(row, column - 1)) {
        corner = (set(row - 1, column - 1) && set(row - 1, column)) ||
                 (set(row + 1, column - 1) && set(row + 1, column));
      } else if (set(row, column + 1)) {
        corner = (set(row - 1, column) && set(row - 1, column + 1)) ||
                 (set(row + 1, column) && set(row + 1, column + 1));
      }
      if (corner) pixelAt(plane, row, column) = 0;
    }
  }
}

double archFactor(float archIndex) {
  float c = std::isnan(archIndex) ? 0.27f : archIndex;  // no index: no change of height
  if (c < 0.1f) c = 0.1f;
  if (c > 0.32f) c = 0.32f;
  if (c > 0.27) return 1 - (c - 0.27) / (0.32 - 0.27) * 0.15;
  return 1 + (0.27 - c) / 0.17 * 0.15;
}

void shapeArch(HeightPlane& plane, HeightBuffer& buffer, bool mirror, double factor) {
  for (int row = 0; row < kPlaneRows; ++row) {
    for (int column = 0; column < kPlaneStride; ++column) {
      int from = column;
      if (mirror) from = column < kPlaneColumns ? kPlaneColumns - 1 - column : -1;
      float v = from < 0 ? 0.0f : pixelAt(plane, row, from);
      buffer[row * kPlaneStride + column] = static_cast<float>(v * factor);
    }
  }
  const float lowest = lowestAboveZero(buffer.data(), kPlaneRows, kPlaneColumns, kPlaneStride);
  const float shift = lowest != kInsideLevel ? lowest - kInsideLevel : 0.0f;
  for (int row = 0; row < kPlaneRows; ++row) {
    for (int column = 0; column < kPlaneStride; ++column) {
      float v = buffer[row * kPlaneStride + column];
      if (column < kPlaneColumns && v > 0) v -= shift;
      pixelAt(plane, row, column) = clampToByte(v);
    }
  }
}

PadSize padSizeFor(const OutlineBox& box, double hvAngle) {
  PadSize pad;
  pad.width = box.widthExtent() * 2 / 3;
  pad.length = box.lengthExtent() * 0.5;
  const float angle = static_cast<float>(hvAngle);
  pad.height = angle > 15 ? (angle - 15) / 25 + 2 : 2;
  return pad;
}

bool padCentre(const HeightPlane& plane, int side, float& column, float& row) {
  PlanePoint p1, p2, p3, p4;
  bool found = false;
  for (int r = 3; r <= kPlaneRows - 4; ++r) {
    for (int c = 1; c <= kPlaneColumns - 2; ++c) {
      if (pixelAt(plane, r, c) < kInsideLevel) continue;
      if (!found) {
        p1 = p2 = p3 = p4 = {r, c};
        found = true;
        continue;
      }
      if (c < p1.column) p1 = {r, c};
      if (c > p2.column) p2 = {r, c};
      if (r == p3.row && side == kRight) p3 = {r, c};
      if (r > p4.row || (r == p4.row && side == kRight)) p4 = {r, c};
    }
  }
  if (!found) return false;
  const float x1 = p1.column, y1 = p1.row, x2 = p2.column, y2 = p2.row;
  const float x3 = p3.column, y3 = p3.row, x4 = p4.column, y4 = p4.row;
  const float denominator = (x1 - x2) * (y3 - y4) - (y1 - y2) * (x3 - x4);
  if (denominator == 0) return false;
  const float a = x1 * y2 - y1 * x2;
  const float b = x3 * y4 - y3 * x4;
  column = (a * (x3 - x4) - (x1 - x2) * b) / denominator;
  row = (a * (y3 - y4) - (y1 - y2) * b) / denominator;
  return std::isfinite(column) && std::isfinite(row);
}

void addPadWindow(HeightPlane& plane, const PadStamp& pad, double padWidth, double padLength,
                  double padHeight) {
  if (pad.maximum == 0) return;
  const PadWindow window = padWindowFor(padWidth, padLength);
  // A centre far outside the plane cannot place any pixel on it.
  if (std::fabs(pad.centreColumn) > 10000 || std::fabs(pad.centreRow) > 10000) return;
  const double scale = padHeight / pad.maximum * 5;
  const int firstColumn = static_cast<int>(pad.centreColumn) - window.width / 2;
  const int firstRow = static_cast<int>(pad.centreRow) - static_cast<int>(padLength + 10);
  for (int l = 0; l < window.height; ++l) {
    const int row = firstRow + l;
    if (row < 0 || row >= kPlaneRows) continue;
    for (int k = 0; k < window.width; ++k) {
      const int column = firstColumn + k;
      if (column < 0 || column >= kPlaneColumns) continue;
      const int add = static_cast<int>(scale * pad.readBack[l * window.stride + k]);
      const int sum = pixelAt(plane, row, column) + add;
      pixelAt(plane, row, column) = static_cast<uint8_t>(std::clamp(sum, 0, 255));
    }
  }
}

FittingResult fitInsole(InsoleState& state, const FittingInputs& inputs, InsoleRenderer& renderer) {
  FittingResult result;
  renderer.stretch(state, state.workPlane);
  if (inputs.heightFollowsLength) {
    result.lowestScaled = scaleHeights(state.workPlane, inputs.lengthSlider / state.templateLength,
                                       inputs.heightRatio);
    result.heightsScaled = true;
  }
  if (inputs.slopeLimit) limitSlope(state.workPlane, state.scratchPlane);
  trimCorners(state.workPlane);

  state.landmarkSide = state.currentSide;
  const double archIndex =
      state.currentSide == kLeft ? inputs.leftArchIndex : inputs.rightArchIndex;
  shapeArch(state.workPlane, state.heightBuffer, state.currentSide != state.templateSide,
            archFactor(static_cast<float>(archIndex)));

  state.currentBox = measureBox(state.workPlane);
  result.pad = padSizeFor(state.currentBox, inputs.hvAngle);
  const PadSize& pad = result.pad;
  if (inputs.padOn) {
    float column = 0, row = 0;
    if (padCentre(state.workPlane, state.currentSide, column, row)) {
      state.pad.centreColumn = column;
      state.pad.centreRow = row;
      const double angle = state.currentSide == kRight ? 4 : -4;
      renderer.renderPad(state.pad, pad.width, pad.length, angle);
      addPadWindow(state.workPlane, state.pad, pad.width, pad.length, pad.height);
    }
  }
  state.resultPlane = state.workPlane;
  state.dirty = false;
  return result;
}

}  // namespace cobblet
