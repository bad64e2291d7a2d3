// Writes the metatarsal pad shape "drop.png" into the folder given as argv[1]: a 250 x 250
// 8-bit grey height map of a smooth teardrop dome, its round end towards the toes (top of the
// picture) and its tail towards the heel, highest point 255, 0 outside.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <opencv2/imgcodecs.hpp>
#include <string>

namespace {

constexpr int kSize = 250;

// Half-width of the drop at height y (0 bottom, 1 top of the picture), in units of half the
// picture. The shape is stretched over half the insole's length behind the ball of the foot,
// so the drop fills only the upper part: a round front just behind the ball and a tail that
// narrows smoothly towards the arch.
double halfWidth(double y) {
  if (y <= 0.35 || y >= 0.97) return 0;
  if (y >= 0.8) return 0.6 * std::sqrt(std::max(0.0, 1 - std::pow((y - 0.8) / 0.17, 2)));
  return 0.6 * std::pow(std::sin(M_PI / 2 * (y - 0.35) / 0.45), 1.3);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s <staged folder>\n", argv[0]);
    return 2;
  }
  cv::Mat shape(kSize, kSize, CV_64FC1, cv::Scalar(0));
  double highest = 0;
  for (int row = 0; row < kSize; ++row) {
    const double y = 1 - (row + 0.5) / kSize;  // picture rows run from the front down
    const double half = halfWidth(y);
    if (half <= 0) continue;
    for (int column = 0; column < kSize; ++column) {
      const double x = ((column + 0.5) / kSize) * 2 - 1;
      const double across = 1 - (x / half) * (x / half);
      if (across <= 0) continue;
      // Dome: smooth across, highest a little behind the round front.
      const double along = std::exp(-std::pow((y - 0.78) / 0.16, 2));
      const double h = std::pow(across, 1.5) * along * half;
      shape.at<double>(row, column) = h;
      highest = std::max(highest, h);
    }
  }
  cv::Mat grey;
  shape.convertTo(grey, CV_8UC1, 255 / highest);
  const std::string path = std::string(argv[1]) + "/drop.png";
  if (!cv::imwrite(path, grey)) {
    std::fprintf(stderr, "could not write %s\n", path.c_str());
    return 1;
  }
  return 0;
}
