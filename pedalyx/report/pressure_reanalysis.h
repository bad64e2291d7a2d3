// Re-analysing an archived examination without the station's windows: the pressure picture of
// FOOT_PRESSURE/ is turned back into the level image the station analysed, and the foot
// analyzer computes arch indices, zone shares and load shares from the operator's axis points.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "pedalyx/report/insole_handoff.h"

namespace report {

// One foot's axis in canvas coordinates (x to the right, y up from the bottom row).
struct AxisPoints {
  int heelX = 0, heelY = 0, toeX = 0, toeY = 0;
};

struct Reanalysis {
  // Arch index and the six zone shares as the main window shows them (whole percent);
  // length and width are the operator's measurements and stay as given.
  FootHandoff left, right;
  // Load shares in whole percent as the window shows them: left, right, upper left, lower left,
  // upper right, lower right.
  double shares[6] = {};
};

// The level shown in a colour: the first colour table entry equal to it, else the nearest one
// (smallest squared distance, first of equals).
int nearestLevelOfColour(const unsigned char* colourTable, unsigned char r, unsigned char g,
                         unsigned char b);

// Reads a 320 x 335 colour picture as written into FOOT_PRESSURE/ and returns its level image
// (rows bottom first, as the station analyses it). False with a reason for any other picture.
bool levelsOfPressurePicture(const std::string& path, const unsigned char* colourTable,
                             std::vector<uint8_t>& levels, std::string& reason);

// Runs the station's analysis on a level image. False with a reason when a point lies outside
// the canvas or an axis's heel and toe are at the same height.
bool reanalyse(const std::vector<uint8_t>& levels, const AxisPoints& left, const AxisPoints& right,
               Reanalysis& result, std::string& reason);

// Load shares of a level image in whole percent as the window shows them: left, right, upper
// left, lower left, upper right, lower right.
void levelShares(const std::vector<uint8_t>& levels, double shares[6]);

// The hand-off text of the examination, then a line "shares L R UL LL UR LR".
std::string formatReanalysis(const Reanalysis& result, const std::string& reportName);

}  // namespace report
