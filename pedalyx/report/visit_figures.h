// The figures of one visit as the history shows them, and what changed between two visits.
// Sizes, arch indices and zone shares come from the database row; the load shares are
// computed again from the pressure picture by the station's own analysis.
#pragma once
#include <array>
#include <optional>
#include <vector>

#include "pedalyx/report/customer_history.h"

namespace report {

enum Figure {
  kLengthLeft,
  kLengthRight,
  kWidthLeft,
  kWidthRight,
  kArchLeft,
  kArchRight,
  kShareLeft,
  kShareRight,
  kShareUpperLeft,
  kShareLowerLeft,
  kShareUpperRight,
  kShareLowerRight,
  kZoneLeftFirst,                        // six zones of the left foot in the analyzer's order
  kZoneRightFirst = kZoneLeftFirst + 6,  // six of the right foot
  kFigureCount = kZoneRightFirst + 6
};

struct VisitFigures {
  std::array<std::optional<double>, kFigureCount> values;
};

// The arch index pair of a row: the one noted with the even-stance picture, else with the low
// or the high one, whichever was taken; (0, 0) when none was (the visit's arch indices are
// then unknown).
std::array<double, 2> archIndicesOf(const DatabaseRow& row);

// The visit's figures; colourTable (256 R G B entries) turns the picture back into levels.
// Figures whose source is missing or unreadable stay empty.
VisitFigures figuresOfVisit(const Visit& visit, const unsigned char* colourTable);

struct FigureChange {
  Figure figure;
  double earlier, later, change;  // change = later - earlier
};

// Every figure known in both visits.
std::vector<FigureChange> compareVisits(const VisitFigures& earlier, const VisitFigures& later);

}  // namespace report
