#include "pedalyx/imaging/gait_axis.h"

#include <algorithm>
#include <cmath>
#include <opencv2/imgproc.hpp>

#include "pedalyx/imaging/measure_marks.h"

namespace {

// The heel's width is taken this far into the print from its back.
constexpr double kHeelRowShare = 1.0 / 6.0;
// Toes and ball are told apart on the pixels above this share of the print's highest level,
// where the gaps between the toes' prints and the ball are clear.
constexpr double kLandmarkLevelShare = 0.05;
// A toe's print lies in the front quarter of the print and is small beside the whole.
constexpr double kToeRegionShare = 0.75;
constexpr double kLargestToeShare = 0.08;
// Toes whose prints touch are parted by looking higher up their load, in steps of this share
// of their highest level, up to the last share; a part smaller than this is no toe.
constexpr double kToeSplitStep = 0.1;
constexpr double kToeSplitHighest = 0.7;
constexpr int kSmallestToePixels = 6;
constexpr int kAxisRounds = 3;

struct Pixel {
  double x, y;  // centre
  int level;
  int part;  // of the landmark pixels, 0 for the others
};

// A toe's print: its landmark part and where it lies.
struct Toe {
  int part;
  double x, y;
};

double dot(CanvasPoint a, CanvasPoint b) { return a.x * b.x + a.y * b.y; }
CanvasPoint minus(CanvasPoint a, CanvasPoint b) { return {a.x - b.x, a.y - b.y}; }
CanvasPoint plus(CanvasPoint a, CanvasPoint b, double scale) {
  return {a.x + b.x * scale, a.y + b.y * scale};
}

// The medial side of a foot heading along `along`: right of the heading for a left foot.
CanvasPoint medialOf(CanvasPoint along, FootSide side) {
  return side == FootSide::Left ? CanvasPoint{along.y, -along.x} : CanvasPoint{-along.y, along.x};
}

// The print's main direction (its pixels' principal axis).
CanvasPoint principalDirection(const std::vector<Pixel>& pixels) {
  double mx = 0, my = 0;
  for (const Pixel& p : pixels) mx += p.x, my += p.y;
  mx /= pixels.size();
  my /= pixels.size();
  double xx = 0, xy = 0, yy = 0;
  for (const Pixel& p : pixels) {
    xx += (p.x - mx) * (p.x - mx);
    xy += (p.x - mx) * (p.y - my);
    yy += (p.y - my) * (p.y - my);
  }
  const double angle = 0.5 * std::atan2(2 * xy, xx - yy);
  return {std::cos(angle), std::sin(angle)};
}

// The toes in one landmark part: itself, or the parts it falls into higher up its load.
void splitIntoToes(const std::vector<const Pixel*>& members, int part, int depth,
                   std::vector<Toe>& toes) {
  int highest = 0, x0 = 1 << 20, y0 = 1 << 20, x1 = 0, y1 = 0;
  for (const Pixel* p : members) {
    highest = std::max(highest, p->level);
    x0 = std::min(x0, static_cast<int>(p->x));
    y0 = std::min(y0, static_cast<int>(p->y));
    x1 = std::max(x1, static_cast<int>(p->x));
    y1 = std::max(y1, static_cast<int>(p->y));
  }
  for (double share = kToeSplitStep; depth < 4 && share <= kToeSplitHighest + 1e-9;
       share += kToeSplitStep) {
    const int level = static_cast<int>(std::ceil(share * highest));
    cv::Mat above = cv::Mat::zeros(y1 - y0 + 1, x1 - x0 + 1, CV_8U);
    for (const Pixel* p : members)
      if (p->level >= level)
        above.at<uchar>(static_cast<int>(p->y) - y0, static_cast<int>(p->x) - x0) = 1;
    cv::Mat labels, stats, centroids;
    const int count = cv::connectedComponentsWithStats(above, labels, stats, centroids, 8, CV_32S);
    std::vector<int> pieces;
    for (int k = 1; k < count; ++k)
      if (stats.at<int>(k, cv::CC_STAT_AREA) >= kSmallestToePixels) pieces.push_back(k);
    if (pieces.size() < 2) continue;
    for (int k : pieces) {
      std::vector<const Pixel*> inside;
      for (const Pixel* p : members)
        if (p->level >= level &&
            labels.at<int>(static_cast<int>(p->y) - y0, static_cast<int>(p->x) - x0) == k)
          inside.push_back(p);
      splitIntoToes(inside, part, depth + 1, toes);
    }
    return;
  }
  double sx = 0, sy = 0;
  for (const Pixel* p : members) sx += p->x, sy += p->y;
  toes.push_back({part, sx / members.size(), sy / members.size()});
}

}  // namespace

FootAxisOnPrint findFootAxis(const LevelPatch& peak, CanvasPoint heelward, CanvasPoint toeward,
                             FootSide side) {
  FootAxisOnPrint axis;
  int highest = 0;
  for (uint8_t v : peak.levels) highest = std::max<int>(highest, v);
  if (highest == 0) return axis;
  const int landmarkLevel =
      std::max(1, static_cast<int>(std::lround(kLandmarkLevelShare * highest)));
  cv::Mat mask(peak.height, peak.width, CV_8U);
  for (int y = 0; y < peak.height; ++y)
    for (int x = 0; x < peak.width; ++x)
      mask.at<uchar>(y, x) = peak.levels[static_cast<size_t>(y) * peak.width + x] >= landmarkLevel;
  cv::Mat labels;
  const int parts = cv::connectedComponents(mask, labels, 8, CV_32S);
  std::vector<Pixel> pixels;
  for (int y = 0; y < peak.height; ++y)
    for (int x = 0; x < peak.width; ++x) {
      const int v = peak.levels[static_cast<size_t>(y) * peak.width + x];
      if (v != 0) pixels.push_back({peak.x0 + x + 0.5, peak.y0 + y + 0.5, v, labels.at<int>(y, x)});
    }
  // Each landmark part's pixels, centre and the toes in it (which do not depend on the axis).
  std::vector<std::vector<const Pixel*>> members(parts);
  for (const Pixel& p : pixels)
    if (p.part > 0) members[p.part].push_back(&p);
  int landmarkPixels = 0;
  for (const auto& m : members) landmarkPixels += static_cast<int>(m.size());
  std::vector<std::vector<Toe>> toesOfPart(parts);
  for (int k = 1; k < parts; ++k)
    if (static_cast<int>(members[k].size()) < kLargestToeShare * landmarkPixels)
      splitIntoToes(members[k], k, 0, toesOfPart[k]);

  CanvasPoint along = principalDirection(pixels);
  // The heel is where the load began.
  const CanvasPoint travel = minus(toeward, heelward);
  if (dot(travel, along) < 0 || (dot(travel, along) == 0 && along.y < 0))
    along = {-along.x, -along.y};
  CanvasPoint origin = heelward;
  for (int round = 0; round < kAxisRounds; ++round) {
    const CanvasPoint medial = medialOf(along, side);
    auto frame = [&](double x, double y, double& s, double& c) {
      const CanvasPoint d = minus({x, y}, origin);
      s = dot(d, along);
      c = dot(d, medial);
    };
    double sMin = 1e9, sMax = -1e9;
    for (const Pixel& p : pixels) {
      double s, c;
      frame(p.x, p.y, s, c);
      sMin = std::min(sMin, s);
      sMax = std::max(sMax, s);
    }
    const double length = sMax - sMin;
    if (length < 4) return axis;
    // Heel centre: the middle of the heel's width on the row across the axis there.
    const double heelS = sMin + kHeelRowShare * length;
    double cMin = 1e9, cMax = -1e9;
    for (const Pixel& p : pixels) {
      double s, c;
      frame(p.x, p.y, s, c);
      if (std::abs(s - heelS) > 0.75) continue;
      cMin = std::min(cMin, c);
      cMax = std::max(cMax, c);
    }
    if (cMax < cMin) return axis;
    const CanvasPoint heel = plus(plus(origin, along, heelS), medial, (cMin + cMax) / 2);
    // The toes' prints: small parts in the front quarter, from medial to lateral.
    std::vector<bool> isToePart(parts, false);
    std::vector<std::pair<double, double>> toes;  // across, along
    for (int k = 1; k < parts; ++k) {
      if (toesOfPart[k].empty()) continue;
      double sum = 0;
      for (const Pixel* p : members[k]) sum += dot(minus({p->x, p->y}, origin), along);
      if (sum / members[k].size() <= sMin + kToeRegionShare * length) continue;
      isToePart[k] = true;
      for (const Toe& t : toesOfPart[k]) {
        double s, c;
        frame(t.x, t.y, s, c);
        toes.push_back({c, s});
      }
    }
    std::sort(toes.begin(), toes.end(),
              [](const auto& a, const auto& b) { return a.first > b.first; });
    // Across: the second toe's print; without two toe prints, the ball's foremost point.
    double toeC = 0;
    if (toes.size() >= 2) {
      toeC = toes[1].first;
    } else {
      double foremost = -1e9;
      for (const Pixel& p : pixels) {
        if (p.part == 0 || isToePart[p.part]) continue;
        double s, c;
        frame(p.x, p.y, s, c);
        if (s > foremost) foremost = s, toeC = c;
      }
    }
    // Along: the front of the ball in that line.
    double ballFront = -1e9;
    for (double band = 1.0; ballFront < -1e8 && band <= 4.0; band += 1.0)
      for (const Pixel& p : pixels) {
        if (p.part == 0 || isToePart[p.part]) continue;
        double s, c;
        frame(p.x, p.y, s, c);
        if (std::abs(c - toeC) <= band) ballFront = std::max(ballFront, s);
      }
    if (ballFront < -1e8) return axis;
    const CanvasPoint toe = plus(plus(origin, along, ballFront), medial, toeC);
    const CanvasPoint axisVector = minus(toe, heel);
    const double axisLength = std::hypot(axisVector.x, axisVector.y);
    if (axisLength < 2) return axis;
    along = {axisVector.x / axisLength, axisVector.y / axisLength};
    origin = heel;
    axis.heelCentre = heel;
    axis.secondToeBase = toe;
  }
  axis.along = along;
  axis.medial = medialOf(along, side);
  double sMin = 1e9, sMax = -1e9, cMin = 1e9, cMax = -1e9;
  for (const Pixel& p : pixels) {
    const CanvasPoint d = minus({p.x, p.y}, axis.heelCentre);
    sMin = std::min(sMin, dot(d, along));
    sMax = std::max(sMax, dot(d, along));
    cMin = std::min(cMin, dot(d, axis.medial));
    cMax = std::max(cMax, dot(d, axis.medial));
  }
  // The zones start at the rearmost pixel; the print reaches half a pixel beyond the outermost
  // pixels' centres at either end.
  axis.heelBack = plus(axis.heelCentre, along, sMin);
  axis.lengthMm = (sMax - sMin + 1) * kMillimetresPerPixel;
  axis.widthMm = (cMax - cMin + 1) * kMillimetresPerPixel;
  axis.found = true;
  return axis;
}
