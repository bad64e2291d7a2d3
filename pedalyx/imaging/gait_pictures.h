// The walking pictures as plain pixels and geometry, drawn the same way in the walking window
// and on the report's walking page: a contact's peak picture through the colour table with its
// gait line (one dot per frame, so the dots' spacing shows the speed) and its axis; each foot's
// mean peak picture in the foot's own frame with the gait lines of its contacts; the bar of the
// four phases; the legend of the level classes (in kPa where there is a scale).
#pragma once
#include <array>
#include <string>
#include <vector>

#include "pedalyx/imaging/gait_recorder.h"
#include "pedalyx/imaging/pressure_figures.h"

// Picture pixels, continuous: x to the right, y down from the top edge.
struct PicturePoint {
  double x = 0, y = 0;
};

struct GaitColour {
  unsigned char red, green, blue;
};

enum class GaitInk { GaitLine, Axis, WalkingDirection };
GaitColour gaitInkColour(GaitInk ink);

struct GaitPictureLine {
  GaitInk ink;
  PicturePoint from, to;
};

struct GaitPicture {
  int width = 0, height = 0;
  std::vector<unsigned char> rgb;  // R G B, top row first
  std::vector<PicturePoint> dots;  // the gait line: the centre of pressure of every frame
  std::vector<GaitPictureLine> lines;
  bool empty() const { return width == 0 || height == 0; }
};

// The size of both kinds of picture: 150 by 321 mm of the plate, one pixel a canvas pixel.
constexpr int kGaitPictureWidth = 140;
constexpr int kGaitPictureHeight = 300;

// The plate around contact `index` as the camera saw it (toes up as on the canvas), the peak
// picture in the colour table's colours (768 bytes, R G B per level), its gait line, its axis
// from heel centre to second toe base and the walking direction through the heel centre.
// Empty for a contact without frames.
GaitPicture contactPicture(const GaitResults& results, size_t index,
                           const unsigned char* colourTable);

// The mean of the peak pictures of a foot's counted contacts, each laid in the foot's own
// frame (the back of the heel at the bottom, the axis upright, the big toe's side to the right
// for the left foot and to the left for the right foot, as seen from above), with every one of
// those contacts' gait lines and the mean axis. Empty when the foot has no such contact.
GaitPicture meanFootPicture(const GaitResults& results, FootSide side,
                            const unsigned char* colourTable);

// One phase of the bar: from and to as shares 0..1 of the bar's length.
struct PhaseSegment {
  double from = 0, to = 0;
  GaitColour colour;
  std::string name;   // "初始接觸" …
  std::string share;  // "12%"
};
// The four phases in order from their shares (percent).
std::vector<PhaseSegment> phaseBar(const std::array<double, 4>& shares, bool simplified);
// A foot's mean phase shares over its counted contacts; all 0 without one.
std::array<double, 4> meanPhaseShares(const GaitSummary& summary, FootSide side);

// The level classes of the colour table from the lowest: the colour in their middle and their
// range in kPa where the scale has pressures, else in levels.
struct LegendEntry {
  GaitColour colour;
  std::string text;
};
std::vector<LegendEntry> levelLegend(const unsigned char* colourTable, const PressureScale& scale,
                                     bool simplified);
