// Renders a binary STL to a PNG without a display: orthographic view from above and to the
// side, flat shading from one light, depth buffer. For looking at the insole models Cobblet
// writes (README pictures, checks by eye).
//
//   render_stl MODEL.stl PICTURE.png [height exaggeration, default 1]
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>
#include <string>
#include <vector>

#include "platform/files.h"

namespace {

using Vec = std::array<double, 3>;

Vec cross(const Vec& a, const Vec& b) {
  return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
Vec minus(const Vec& a, const Vec& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
double dot(const Vec& a, const Vec& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

// Turns about z (yaw), then tilts about x so the viewer looks down at the model obliquely.
Vec toView(const Vec& p, double yaw, double tilt) {
  const double x = p[0] * std::cos(yaw) - p[1] * std::sin(yaw);
  const double y = p[0] * std::sin(yaw) + p[1] * std::cos(yaw);
  return {x, y * std::cos(tilt) + p[2] * std::sin(tilt),
          -y * std::sin(tilt) + p[2] * std::cos(tilt)};
}

bool readStl(const std::string& bytes, std::vector<std::array<Vec, 3>>& triangles) {
  if (bytes.size() < 84) return false;
  uint32_t count = 0;
  std::memcpy(&count, bytes.data() + 80, 4);
  if (bytes.size() != 84 + 50ull * count) return false;
  triangles.resize(count);
  for (uint32_t t = 0; t < count; ++t) {
    const char* record = bytes.data() + 84 + 50ull * t + 12;
    for (int corner = 0; corner < 3; ++corner) {
      float xyz[3];
      std::memcpy(xyz, record + 12 * corner, 12);
      triangles[t][corner] = {xyz[0], xyz[1], xyz[2]};
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s MODEL.stl PICTURE.png [height exaggeration]\n", argv[0]);
    return 2;
  }
  const double exaggeration = argc > 3 ? std::atof(argv[3]) : 1.0;
  if (!std::isfinite(exaggeration) || exaggeration <= 0 || exaggeration > 20) {
    std::fprintf(stderr, "the height exaggeration must lie above 0 and at most 20\n");
    return 2;
  }
  std::vector<std::array<Vec, 3>> triangles;
  if (!readStl(platform::readWholeFile(argv[1]).value_or(""), triangles)) {
    std::fprintf(stderr, "%s is not a binary STL\n", argv[1]);
    return 1;
  }
  const double yaw = -0.5, tilt = 1.0;  // radians
  double low[2] = {1e30, 1e30}, high[2] = {-1e30, -1e30};
  for (auto& t : triangles) {
    for (Vec& p : t) {
      p[2] *= exaggeration;
      const Vec v = toView(p, yaw, tilt);
      for (int k = 0; k < 2; ++k)
        low[k] = std::min(low[k], v[k]), high[k] = std::max(high[k], v[k]);
    }
  }
  const int width = 900, height = 700, margin = 30;
  const double scale = std::min((width - 2 * margin) / (high[0] - low[0]),
                                (height - 2 * margin) / (high[1] - low[1]));
  cv::Mat picture(height, width, CV_8UC3, cv::Scalar(250, 250, 250));
  std::vector<double> depth(size_t(width) * height, -1e30);
  const Vec light = {0.3 / 1.1, -0.5 / 1.1, 0.9 / 1.1};
  for (const auto& t : triangles) {
    Vec normal = cross(minus(t[1], t[0]), minus(t[2], t[0]));
    const double length = std::sqrt(dot(normal, normal));
    if (length == 0) continue;
    for (double& n : normal) n /= length;
    const double shade = 0.3 + 0.7 * std::max(0.0, dot(normal, light));
    std::array<Vec, 3> s;
    for (int k = 0; k < 3; ++k) {
      const Vec v = toView(t[k], yaw, tilt);
      s[k] = {margin + (v[0] - low[0]) * scale, height - margin - (v[1] - low[1]) * scale, v[2]};
    }
    const double area =
        (s[1][0] - s[0][0]) * (s[2][1] - s[0][1]) - (s[2][0] - s[0][0]) * (s[1][1] - s[0][1]);
    if (area == 0) continue;
    const int x0 = std::max(0, int(std::floor(std::min({s[0][0], s[1][0], s[2][0]}))));
    const int x1 = std::min(width - 1, int(std::ceil(std::max({s[0][0], s[1][0], s[2][0]}))));
    const int y0 = std::max(0, int(std::floor(std::min({s[0][1], s[1][1], s[2][1]}))));
    const int y1 = std::min(height - 1, int(std::ceil(std::max({s[0][1], s[1][1], s[2][1]}))));
    for (int y = y0; y <= y1; ++y) {
      for (int x = x0; x <= x1; ++x) {
        const double px = x + 0.5, py = y + 0.5;
        double w[3];
        for (int k = 0; k < 3; ++k) {
          const Vec& a = s[(k + 1) % 3];
          const Vec& b = s[(k + 2) % 3];
          w[k] = ((b[0] - a[0]) * (py - a[1]) - (px - a[0]) * (b[1] - a[1])) / area;
        }
        if (w[0] < 0 || w[1] < 0 || w[2] < 0) continue;
        const double z = w[0] * s[0][2] + w[1] * s[1][2] + w[2] * s[2][2];
        double& nearest = depth[size_t(y) * width + x];
        if (z <= nearest) continue;
        nearest = z;
        picture.at<cv::Vec3b>(y, x) =
            cv::Vec3b(uchar(120 * shade), uchar(170 * shade), uchar(215 * shade));
      }
    }
  }
  if (!cv::imwrite(argv[2], picture)) {
    std::fprintf(stderr, "%s could not be written\n", argv[2]);
    return 1;
  }
  return 0;
}
