#include "pedalyx/report/pressure_reanalysis.h"

#include <cmath>
#include <cstdio>
#include <opencv2/imgcodecs.hpp>

#include "pedalyx/imaging/colour_table.h"
#include "pedalyx/imaging/foot_zone_analyzer.h"

namespace report {
namespace {

// The main window's zone fields run forefoot, middle, heel; the analyzer's zones heel first.
constexpr int kFieldOfZone[6] = {4, 5, 2, 3, 0, 1};

double asShown(float value) { return std::floor(double(value) + 0.5); }

bool insideCanvas(int x, int y) {
  return x >= 0 && x < kCanvasWidth && y >= 0 && y < kCanvasHeight;
}

bool placeAxis(const AxisPoints& points, const char* side, FootAxis& axis, std::string& reason) {
  if (!insideCanvas(points.heelX, points.heelY) || !insideCanvas(points.toeX, points.toeY)) {
    reason = std::string("the ") + side + " axis has a point outside the 320 x 335 picture";
    return false;
  }
  if (points.heelY == points.toeY) {
    reason = std::string("the ") + side + " axis has heel and toe at the same height";
    return false;
  }
  // As at the station, the lower point is the heel.
  const bool swapped = points.toeY < points.heelY;
  axis.heelX = swapped ? points.toeX : points.heelX;
  axis.heelY = swapped ? points.toeY : points.heelY;
  axis.toeX = swapped ? points.heelX : points.toeX;
  axis.toeY = swapped ? points.heelY : points.toeY;
  axis.pointCount = 2;
  return true;
}

void takeFoot(const FootAxis& axis, FootHandoff& foot) {
  foot.archIndex = axis.archIndex;
  for (int zone = 0; zone < 6; ++zone) {
    foot.windowZones[kFieldOfZone[zone]] = asShown(axis.zoneShare[zone]);
  }
}

}  // namespace

int nearestLevelOfColour(const unsigned char* table, unsigned char r, unsigned char g,
                         unsigned char b) {
  const int exact = levelOfColour(table, r, g, b);
  if (exact >= 0) return exact;
  int best = 0, bestDistance = INT32_MAX;
  for (int i = 0; i < 256; ++i) {
    const int dr = table[3 * i] - r, dg = table[3 * i + 1] - g, db = table[3 * i + 2] - b;
    const int distance = dr * dr + dg * dg + db * db;
    if (distance < bestDistance) best = i, bestDistance = distance;
  }
  return best;
}

bool levelsOfPressurePicture(const std::string& path, const unsigned char* colourTable,
                             std::vector<uint8_t>& levels, std::string& reason) {
  const cv::Mat picture = cv::imread(path, cv::IMREAD_UNCHANGED);
  if (picture.empty()) {
    reason = "not a picture that can be read: " + path;
    return false;
  }
  if (picture.cols != kCanvasWidth || picture.rows != kCanvasHeight || picture.type() != CV_8UC3) {
    reason = "not a 320 x 335 colour picture of 8 bits per channel: " + path;
    return false;
  }
  levels.assign(kCanvasPixels, 0);
  for (int row = 0; row < kCanvasHeight; ++row) {
    // The file is upright; the level image holds the bottom row first.
    const cv::Vec3b* pixels = picture.ptr<cv::Vec3b>(kCanvasHeight - 1 - row);
    for (int x = 0; x < kCanvasWidth; ++x) {
      const cv::Vec3b& bgr = pixels[x];
      levels[row * kCanvasWidth + x] =
          static_cast<uint8_t>(nearestLevelOfColour(colourTable, bgr[2], bgr[1], bgr[0]));
    }
  }
  return true;
}

bool reanalyse(const std::vector<uint8_t>& levels, const AxisPoints& left, const AxisPoints& right,
               Reanalysis& result, std::string& reason) {
  if (levels.size() != static_cast<size_t>(kCanvasPixels)) {
    reason = "the level image is not 320 x 335";
    return false;
  }
  FootZoneAnalyzer analyzer(levels.data(), kCanvasWidth, kCanvasHeight);
  analyzer.printDiagnostics = false;
  if (!placeAxis(left, "left", analyzer.left, reason) ||
      !placeAxis(right, "right", analyzer.right, reason)) {
    return false;
  }
  analyzer.computeFootZones(analyzer.left);
  analyzer.computeFootZones(analyzer.right);
  takeFoot(analyzer.left, result.left);
  takeFoot(analyzer.right, result.right);
  levelShares(levels, result.shares);
  return true;
}

void levelShares(const std::vector<uint8_t>& levels, double shares[6]) {
  FootZoneAnalyzer analyzer(levels.data(), kCanvasWidth, kCanvasHeight);
  analyzer.printDiagnostics = false;
  analyzer.computeLevelStatistics();
  const float computed[6] = {analyzer.left.halfShare,   analyzer.right.halfShare,
                             analyzer.left.upperShare,  analyzer.left.lowerShare,
                             analyzer.right.upperShare, analyzer.right.lowerShare};
  for (int i = 0; i < 6; ++i) shares[i] = asShown(computed[i]);
}

std::string formatReanalysis(const Reanalysis& result, const std::string& reportName) {
  char shares[160];
  std::snprintf(shares, sizeof shares, "\nshares %.0f %.0f %.0f %.0f %.0f %.0f\n", result.shares[0],
                result.shares[1], result.shares[2], result.shares[3], result.shares[4],
                result.shares[5]);
  return formatInsoleHandoff(result.left, result.right, reportName) + shares;
}

}  // namespace report
