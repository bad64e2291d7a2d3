// Level images for the tests and the benchmark: random noise, and a plate with two plausible
// footprints (heel, lateral arch band, forefoot, toes) whose load rises toward the heel and
// the ball of the foot.
#pragma once
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace synthetic {

constexpr int kWidth = 320;
constexpr int kHeight = 335;

inline std::vector<uint8_t> randomLevels(std::mt19937& rng, double loadedFraction) {
  std::vector<uint8_t> image(kWidth * kHeight, 0);
  std::uniform_real_distribution<double> coin(0, 1);
  std::uniform_int_distribution<int> level(1, 255);
  for (uint8_t& pixel : image) {
    if (coin(rng) < loadedFraction) pixel = static_cast<uint8_t>(level(rng));
  }
  return image;
}

// Load inside an ellipse centred at (cx, cy), highest in the middle.
inline double ellipseLoad(double x, double y, double cx, double cy, double rx, double ry,
                          double peak) {
  double u = (x - cx) / rx, v = (y - cy) / ry;
  double r2 = u * u + v * v;
  return r2 >= 1 ? 0 : peak * (1 - 0.7 * r2);
}

// One foot in canvas coordinates, heel at the bottom; `mirror` turns a left foot into a right.
inline void addFoot(std::vector<uint8_t>& image, int centreX, bool mirror, double lean) {
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      double fx = (x - centreX) * (mirror ? -1 : 1) - lean * (y - 60);
      double fy = y;
      double load = ellipseLoad(fx, fy, 0, 75, 26, 32, 235);
      load = std::max(load, ellipseLoad(fx, fy, -2, 215, 38, 42, 250));
      load = std::max(load, ellipseLoad(fx, fy, 18, 145, 12, 50, 120));  // outer arch
      for (int toe = 0; toe < 5; ++toe) {
        load = std::max(load, ellipseLoad(fx, fy, -28 + toe * 13, 272 - toe * 5, 6, 9, 170));
      }
      if (load > 0) {
        int level = static_cast<int>(load);
        image[x + kWidth * y] = static_cast<uint8_t>(std::clamp(level, 1, 255));
      }
    }
  }
}

inline std::vector<uint8_t> twoFeet() {
  std::vector<uint8_t> image(kWidth * kHeight, 0);
  addFoot(image, 85, false, 0.08);
  addFoot(image, 235, true, 0.08);
  return image;
}

}  // namespace synthetic
