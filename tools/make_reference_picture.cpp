// Writes "reference.png" into the staged working directory (argv[1]): a strip of eight
// reference foot prints, 66 x 110 pixels each, coloured with the station's colour scale on
// white. Left foot: severe flat, mild flat, normal, high-arched; then the right foot mirrored:
// high-arched, normal, mild flat, severe flat. Each print's midfoot width is tuned until the
// foot analyzer, given an upright axis from the lowest heel row to the top of the ball, finds
// an arch index well inside the print's class.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>
#include <vector>

#include "pedalyx/imaging/colour_scale.h"
#include "pedalyx/imaging/foot_zone_analyzer.h"
#include "pedalyx/report/foot_type_classifier.h"
#include "platform/files.h"

namespace {

constexpr int kColumnWidth = 66;
constexpr int kColumnHeight = 110;

// Load of an ellipse at (x, y): highest at its centre, 0 outside.
double ellipseLoad(double x, double y, double cx, double cy, double rx, double ry, double peak) {
  const double u = (x - cx) / rx, v = (y - cy) / ry, r2 = u * u + v * v;
  return r2 > 1 ? 0 : peak * (1 - 0.55 * r2);
}

// A left foot seen from above, heel at the bottom (image rows grow downwards), big toe on the
// right. `midfootWidth` is the width of the lateral contact band between heel and ball.
cv::Mat drawLeftPrint(double midfootWidth) {
  cv::Mat load(kColumnHeight, kColumnWidth, CV_8U, cv::Scalar(0));
  for (int y = 0; y < kColumnHeight; ++y) {
    for (int x = 0; x < kColumnWidth; ++x) {
      double v = ellipseLoad(x, y, 32, 88, 11.5, 14.5, 250);    // heel
      v = std::max(v, ellipseLoad(x, y, 35, 40, 17, 12, 240));  // ball
      v = std::max(v, ellipseLoad(x, y, 45, 18, 6, 7, 190));    // big toe
      v = std::max(v, ellipseLoad(x, y, 34, 17, 3.5, 4, 150));  // small toes
      v = std::max(v, ellipseLoad(x, y, 27.5, 18.5, 3, 3.5, 140));
      v = std::max(v, ellipseLoad(x, y, 22.5, 20.5, 2.8, 3.2, 130));
      v = std::max(v, ellipseLoad(x, y, 18.5, 23, 2.4, 2.5, 120));
      // Midfoot band along the outer edge, from the ball (row 46) to the heel (row 82). Its
      // inner edge stays within the line from the ball's to the heel's inner edge, bulging past
      // it only for the flattest prints.
      if (y >= 46 && y <= 82) {
        const double t = (y - 46) / 36.0;
        const double outer = 19.5 + 3.0 * t;
        const double arc = std::sin(t * 3.14159265);
        const double envelope = 51.5 - 8.0 * t + std::max(0.0, midfootWidth - 30) * arc;
        // Narrow bands curve in at the middle like an arch; wide ones fill it out straight.
        const double flatness = std::clamp((midfootWidth - 18) / 14, 0.0, 1.0);
        const double waist = 1 - 0.35 * arc * (1 - flatness);
        const double inner = std::min(outer + std::max(3.0, midfootWidth * waist), envelope);
        if (x >= outer && x < inner) v = std::max(v, 95.0 + 60 * (1 - std::abs(0.5 - t)));
      }
      load.at<uint8_t>(y, x) = static_cast<uint8_t>(std::clamp(v, 0.0, 255.0));
    }
  }
  return load;
}

}  // namespace

// The arch index the analyzer finds for a print (any nonzero pixel is contact): an upright
// axis from the lowest contact row to the top of the ball, which ends at the first empty row.
float measurePrintArchIndex(const cv::Mat& contact) {
  std::vector<uint8_t> canvas(kCanvasPixels, 0);
  const int originX = 40, originY = 60;  // the print's bottom-left corner on the canvas
  int heelRow = -1, heelX = 0;
  for (int y = contact.rows - 1; y >= 0 && heelRow < 0; --y) {
    int sum = 0, count = 0;
    for (int x = 0; x < contact.cols; ++x) {
      if (contact.at<uint8_t>(y, x)) sum += x, ++count;
    }
    if (count) heelRow = y, heelX = sum / count;
  }
  if (heelRow < 0) return 0;
  int ballTop = heelRow;
  while (ballTop > 0 && cv::countNonZero(contact.row(ballTop - 1)) > 0) --ballTop;
  for (int y = 0; y < contact.rows; ++y) {
    for (int x = 0; x < contact.cols; ++x) {
      if (contact.at<uint8_t>(y, x)) {
        canvas[(originX + x) + kCanvasWidth * (originY + contact.rows - 1 - y)] = 100;
      }
    }
  }
  FootZoneAnalyzer analyzer(canvas.data(), kCanvasWidth, kCanvasHeight);
  analyzer.printDiagnostics = false;
  FootAxis& axis = analyzer.left;
  axis.heelX = axis.toeX = originX + heelX;
  axis.heelY = originY + contact.rows - 1 - heelRow;
  axis.toeY = originY + contact.rows - 1 - ballTop;
  axis.pointCount = 2;
  analyzer.computeFootZones(axis);
  return axis.archIndex;
}

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: make_reference_picture <station folder>\n");
    return 2;
  }
  unsigned char scale[768];
  makeColourScale(scale);
  // Aim for the middle of each class: severe flat, mild flat, normal, high-arched.
  const double targets[4] = {0.34, 0.28, 0.235, 0.16};
  cv::Mat strip(kColumnHeight, 8 * kColumnWidth, CV_8UC3, cv::Scalar(255, 255, 255));
  for (int kind = 0; kind < 4; ++kind) {
    double low = 0, high = 60;
    for (int step = 0; step < 40; ++step) {
      const double mid = (low + high) / 2;
      (measurePrintArchIndex(drawLeftPrint(mid)) < targets[kind] ? low : high) = mid;
    }
    const cv::Mat load = drawLeftPrint(high);
    const float archIndex = measurePrintArchIndex(load);
    if (leftReferenceColumn(archIndex) != kind) {
      std::fprintf(stderr, "reference print %d: arch index %.3f outside its class\n", kind,
                   archIndex);
      return 1;
    }
    std::printf("reference print %d: arch index %.3f\n", kind, archIndex);
    cv::Mat colour(load.size(), CV_8UC3, cv::Scalar(255, 255, 255));
    for (int y = 0; y < load.rows; ++y) {
      for (int x = 0; x < load.cols; ++x) {
        const int level = load.at<uint8_t>(y, x);
        if (level == 0) continue;
        const unsigned char* rgb = scale + 3 * level;
        colour.at<cv::Vec3b>(y, x) = cv::Vec3b(rgb[2], rgb[1], rgb[0]);
      }
    }
    colour.copyTo(strip(cv::Rect(kind * kColumnWidth, 0, kColumnWidth, kColumnHeight)));
    cv::Mat mirrored;
    cv::flip(colour, mirrored, 1);
    mirrored.copyTo(strip(cv::Rect((7 - kind) * kColumnWidth, 0, kColumnWidth, kColumnHeight)));
  }
  std::vector<uchar> png;
  const std::string path = platform::joinPath(argv[1], "reference.png");
  if (!cv::imencode(".png", strip, png) ||
      !platform::writeFileAtomic(path, std::string(png.begin(), png.end()))) {
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
    return 1;
  }
  return 0;
}
