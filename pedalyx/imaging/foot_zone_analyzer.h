// Foot axes, band zones, arch index and pressure statistics over the 320 x 335 level image
// (one byte per pixel, 0 = no load, rows bottom row first, pixel (x, y) at x + 320 * y).
// Plain logic: drawing lives in foot_zone_analyzer_gl.cpp, publishing in zone_results_ui.cpp.
#pragma once
#include <cstdint>

#include "pedalyx/imaging/canvas_geometry.h"

constexpr int kLevelClassCount = 5;

// The level class (0..4) of a loaded pixel's level 1..255.
int levelClassOf(uint8_t level);

// A line a*x + b*y + c = 0 across the foot or along its axis, with the side pairs of a point
// above (A) and below (B) it. Kept for drawing and inspection; the zone scan itself decides
// sides exactly in integers.
struct BandLine {
  float a = 1, b = 0, c = 0;
  float slope = 0;
  int sxA = 1, syA = 1;
  int sxB = -1, syB = -1;
};

// Load sums of one half of the canvas: the levels, and the levels weighted by the pixel's
// column and row. The exact centre of pressure is sumX / load, sumY / load (canvas pixels).
struct LoadMoments {
  int64_t load = 0;
  int64_t sumX = 0;
  int64_t sumY = 0;
};

struct FootAxis {
  int heelX = 0, heelY = 0;  // canvas coordinates
  int toeX = 0, toeY = 0;
  int heelViewX = 0, heelViewY = 0;  // view coordinates, origin bottom left
  int toeViewX = 0, toeViewY = 0;
  int pointCount = 0;  // 2: the foot is measured
  float archIndex = 0;
  float halfShare = 0;   // percent of the total load lying in this half
  float upperShare = 0;  // percent of the total load in this half's rows y > 167
  float lowerShare = 0;  // percent of the total load in this half's rows y <= 167
  // Percent of this foot's band load: heel-left, heel-right, middle-left, middle-right,
  // forefoot-left, forefoot-right.
  float zoneShare[6] = {};
  int centroidX = 0, centroidY = 0;
  BandLine bands[5];  // 0 through the toe ... 3 through the heel, 4 the axis
  // Advances whenever this foot's arch index or zone shares change, or a new axis is placed:
  // the results are then new and replace whatever the operator typed into their fields.
  unsigned revision = 0;
};

// The zone (0..5, numbered as zoneShare) of every canvas pixel under a measured axis, -1 for
// pixels in none: the bands and sides computeFootZones counts by, whatever their level.
// zoneOfPixel holds kCanvasPixels entries, bottom row first. Returns false, map untouched,
// when the axis has fewer than two points or heel and toe lie at the same height.
bool markFootZones(const FootAxis& axis, int8_t* zoneOfPixel);

class FootZoneAnalyzer {
 public:
  // `levelImage` is borrowed: 320 x 335 bytes that outlive the analyzer.
  FootZoneAnalyzer(const uint8_t* levelImage, int viewWidth, int viewHeight);

  // A left click in toolkit window coordinates (origin top left) while the arch tool is on;
  // its canvas column tells the foot (isLeftFootColumn). The lower of the two points on screen
  // is always the heel. Returns false when nothing was
  // placed: the axis already has two points, or the second point lies at the heel's height
  // (such an axis has no direction across the plate).
  bool placeAxisPoint(int x, int y);
  // A right click at view x: the axis of the foot under x returns to no points, and that
  // foot's arch index and zone shares return to 0.
  void removeAxis(int x);
  // Both feet as at start: no axis points, no arch index, no zone shares (the next customer).
  void removeBothAxes();
  // The view's new size: view coordinates of the placed points follow the canvas points.
  void rescale(int newWidth, int newHeight);

  // Bands, sides, zone shares and arch index of one axis. Returns false and leaves the axis's
  // results untouched when it has fewer than two points or its heel and toe lie at the same
  // height. The axis's revision advances when a result changed.
  bool computeFootZones(FootAxis& axis);
  // Half shares, upper/lower shares, centres of pressure and level classes of both halves.
  void computeLevelStatistics();

  const uint8_t* levelImage;
  int canvasWidth = kCanvasWidth;
  int canvasHeight = kCanvasHeight;
  int viewWidth;
  int viewHeight;
  float scaleX;
  float scaleY;
  FootAxis left;
  FootAxis right;
  int centreX = 0, centreY = 0;  // overall centre of pressure, canvas coordinates
  float classShareTotal[kLevelClassCount] = {};
  float classShareLeft[kLevelClassCount] = {};
  float classShareRight[kLevelClassCount] = {};
  // This frame's load sums of the left and right half, unrounded (the sway recording).
  LoadMoments momentsLeft, momentsRight;
  // Advances whenever a half share, upper/lower share or level-class share changes.
  unsigned levelRevision = 0;
  // The zone computation prints its diagnostics; the benchmark turns them off.
  bool printDiagnostics = true;
};
