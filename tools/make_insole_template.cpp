// Writes the default insole template "255mm narrow 20220606 backmove 5mm.bmp" into the folder
// given as argv[1]: a 150 x 360 8-bit grey height map of a narrow 255 mm left insole at one
// pixel per millimetre, heel at the bottom row. Inside values are 10 and more (one level is
// 0.2 mm): a heel cup with a raised rim, a medial arch support and a flat forefoot; 0 outside.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <opencv2/imgcodecs.hpp>
#include <string>

namespace {

constexpr int kWidth = 150, kHeight = 360;
constexpr int kHeelRow = 8;       // counted from the bottom; the template is moved 5 mm back
constexpr double kLength = 255;   // mm from heel end to toe tip
constexpr double kCentre = 74.5;  // column of the insole's long axis
constexpr double kHeelRadius = 31;

double smoothstep(double a, double b, double x) {
  double t = std::clamp((x - a) / (b - a), 0.0, 1.0);
  return t * t * (3 - 2 * t);
}

// Lateral (low-column) and medial (high-column) edge of the left insole at distance d mm
// from the heel end; false beyond the outline's ends.
bool edgesAt(double d, double& lateral, double& medial) {
  if (d < 0 || d > kLength) return false;
  const double u = d / kLength;
  double lateralHalf, medialHalf;
  if (d < kHeelRadius) {
    const double half =
        std::sqrt(std::max(0.0, kHeelRadius * kHeelRadius - (kHeelRadius - d) * (kHeelRadius - d)));
    lateralHalf = medialHalf = half;
  } else if (u <= 0.68) {
    const double s = smoothstep(kHeelRadius / kLength, 0.68, u);
    lateralHalf = 31 + 13 * s;
    // The medial edge draws in along the arch.
    const double arch = u > 0.2 && u < 0.6 ? 5 * std::sin(M_PI * (u - 0.2) / 0.4) : 0;
    medialHalf = 31 + 16 * s - arch;
  } else {
    // Toe end: both edges curve in to a tip on the big-toe side.
    const double s = (u - 0.68) / 0.32;
    const double round = 1 - std::sqrt(std::max(0.0, 1 - s * s));
    lateralHalf = 44 - 56 * std::pow(round, 0.8);
    medialHalf = 47 - 35 * round;
  }
  lateral = kCentre - lateralHalf;
  medial = kCentre + medialHalf;
  return medial > lateral;
}

// Height in levels of a point inside the outline.
double heightAt(double d, double column, double lateral, double medial) {
  const double u = d / kLength;
  const double width = medial - lateral;
  const double fromEdge = std::min(column - lateral, medial - column);
  const double fromMedial = medial - column;
  // Heel raised 4 mm, falling to a flat 3 mm forefoot between a third and two thirds.
  double h = 20 - 5 * smoothstep(0.3, 0.65, u);
  // Heel cup rim: up to 5 mm higher at the edge, fading out towards the arch.
  const double rimFade = 1 - smoothstep(0.22, 0.4, u);
  h += 25 * std::pow(std::max(0.0, 1 - fromEdge / 14), 1.5) * rimFade;
  // Medial arch support: a smooth ridge 11 mm high just inside the medial edge.
  const double along = std::exp(-std::pow((u - 0.42) / 0.13, 2));
  const double across = std::exp(-std::pow((fromMedial - 10) / (0.3 * width), 2));
  h += 55 * along * across;
  // A small bevel all round keeps the outline soft without leaving the insole.
  h -= 4 * std::max(0.0, 1 - fromEdge / 3);
  return std::clamp(h, 10.0, 255.0);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s <staged folder>\n", argv[0]);
    return 2;
  }
  cv::Mat image(kHeight, kWidth, CV_8UC1, cv::Scalar(0));
  for (int row = 0; row < kHeight; ++row) {
    const double d = row - kHeelRow + 0.5;
    double lateral = 0, medial = 0;
    if (!edgesAt(d, lateral, medial)) continue;
    for (int column = 0; column < kWidth; ++column) {
      const double x = column + 0.5;
      if (x < lateral || x > medial) continue;
      // Image rows run top down; the heel sits at the bottom row of the bitmap.
      image.at<uint8_t>(kHeight - 1 - row, column) =
          static_cast<uint8_t>(heightAt(d, x, lateral, medial));
    }
  }
  const std::string path = std::string(argv[1]) + "/255mm narrow 20220606 backmove 5mm.bmp";
  if (!cv::imwrite(path, image)) {
    std::fprintf(stderr, "could not write %s\n", path.c_str());
    return 1;
  }
  return 0;
}
