// A plain CPU version of the pressure pipeline's four passes, written independently of the
// shader from the same rules: the warp through the calibration mesh with bilinear camera
// sampling, the clean and level arithmetic, the blue mask and the colour lookup. The GL tests
// compare the real pipeline with it.
#pragma once
#include <algorithm>
#include <cmath>
#include <vector>

#include "pedalyx/imaging/calibration_grid.h"
#include "pedalyx/imaging/canvas_geometry.h"

namespace reference {

// Green byte of the warp pass at every canvas pixel (bottom row first); 0 outside the strips.
inline std::vector<unsigned char> warpGreen(const unsigned char* frame, const CalibrationGrid& left,
                                            const CalibrationGrid& right) {
  std::vector<unsigned char> out(kCanvasPixels, 0);
  for (int strip = 0; strip < 2; ++strip) {
    const CalibrationGrid& grid = strip == 0 ? left : right;
    const int x0 = strip == 0 ? kLeftStripX : kRightStripX;
    const int n = grid.meshColumns, m = grid.meshRows;
    std::vector<int> columnX(n + 1), rowY(m + 1);
    for (int c = 0; c <= n; ++c)
      columnX[c] = static_cast<int>(x0 + static_cast<float>(c) / n * kFootStripWidth);
    for (int r = 0; r <= m; ++r)
      rowY[r] = static_cast<int>(kCanvasHeight - static_cast<float>(r) / m * kCanvasHeight);
    for (int j = 0; j < kCanvasHeight; ++j) {
      const double py = j + 0.5;
      int r = 0;
      while (r < m - 1 && py < rowY[r + 1]) ++r;
      const double fy = (rowY[r] - py) / (rowY[r] - rowY[r + 1]);
      for (int i = x0; i < x0 + kFootStripWidth; ++i) {
        const double px = i + 0.5;
        int c = 0;
        while (c < n - 1 && px >= columnX[c + 1]) ++c;
        const double fx = (px - columnX[c]) / (columnX[c + 1] - columnX[c]);
        auto node = [&](const float* mesh, int cc, int rr) { return mesh[meshIndex(cc, rr)]; };
        // Each mesh cell is drawn as a quad of corners (c+1, r+1), (c, r+1), (c, r), (c+1, r);
        // Mesa splits it along its first-to-third-corner diagonal and interpolates linearly
        // across each triangle. On a bent grid that differs from a bilinear blend of the cell.
        auto blend = [&](const float* mesh) {
          const double n00 = node(mesh, c, r), n10 = node(mesh, c + 1, r);
          const double n01 = node(mesh, c, r + 1), n11 = node(mesh, c + 1, r + 1);
          if (fy >= fx) return n00 + fy * (n01 - n00) + fx * (n11 - n01);
          return n00 + fx * (n10 - n00) + fy * (n11 - n10);
        };
        // Texel centres sit at half pixels; the texture repeats.
        const double u = blend(grid.meshX) - 0.5, v = blend(grid.meshY) - 0.5;
        const int u0 = static_cast<int>(std::floor(u)), v0 = static_cast<int>(std::floor(v));
        const double au = u - u0, av = v - v0;
        auto green = [&](int x, int y) {
          x = ((x % kCameraWidth) + kCameraWidth) % kCameraWidth;
          y = ((y % kCameraHeight) + kCameraHeight) % kCameraHeight;
          return static_cast<double>(frame[3 * (x + kCameraWidth * y) + 1]);
        };
        const double value = (1 - av) * ((1 - au) * green(u0, v0) + au * green(u0 + 1, v0)) +
                             av * ((1 - au) * green(u0, v0 + 1) + au * green(u0 + 1, v0 + 1));
        out[i + kCanvasWidth * j] = static_cast<unsigned char>(std::lround(value));
      }
    }
  }
  return out;
}

inline bool insideBlueMask(int x, int y) {
  return x < 10 || x >= 310 || (x >= 118 && x < 202) || y >= 325 || y < 15;
}

// Level of one pixel from its three ring greens and the background green.
inline int level(int g0, int g1, int g2, int background, float noise, float gen) {
  const double glow = (g0 + g1 + g2) / 3.0 - background;
  const double q = std::clamp(std::floor(glow * 256.0 + 0.5), 0.0, 65535.0);
  const double stored = q / 256.0;
  if (stored <= noise) return 0;
  return static_cast<int>(
      std::clamp(std::floor(stored * (255.0 / 230.0) * (gen / 6.0) + 0.5), 1.0, 255.0));
}

// The level image from three warped ring images and the warped background.
inline std::vector<unsigned char> levels(const std::vector<unsigned char>* ring,
                                         const std::vector<unsigned char>& background, float noise,
                                         float gen) {
  std::vector<unsigned char> out(kCanvasPixels, 0);
  for (int y = 0; y < kCanvasHeight; ++y) {
    for (int x = 0; x < kCanvasWidth; ++x) {
      if (insideBlueMask(x, y)) continue;
      const int k = x + kCanvasWidth * y;
      out[k] = static_cast<unsigned char>(
          level(ring[0][k], ring[1][k], ring[2][k], background[k], noise, gen));
    }
  }
  return out;
}

}  // namespace reference
