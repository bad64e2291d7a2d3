// The pressure figures as the operator and the customer read them, in the pressure window and
// on report page 2: a table with a row for the whole foot and for each of its six zones and, per
// foot, the contact area, force, per cent of body weight, peak and mean pressure; the line that
// says how the pressures were obtained; the body-weight line; the legend's pressures at the
// level-class bounds. Plain text, no drawing.
#pragma once
#include <array>
#include <string>
#include <vector>

#include "pedalyx/imaging/pressure_figures.h"

// The operator's words for the source with the system's own in brackets:
// "已校正 (calibrated)", "依體重換算 (scaled to body weight)"; for levels only, what is shown.
std::string pressureSourceLabel(PressureSource source);

// What the body weight did: the check of a calibration (both feet's force as a per cent of the
// weight), the weight the pressures were scaled to, or what is missing for either.
std::string bodyWeightLine(const PressureFigures& figures);

constexpr int kPressureColumns = 5;  // area, force, % body weight, peak, mean

struct PressureTable {
  // Column headings over each foot: name and unit on two lines (levels without pressures).
  std::array<std::string, kPressureColumns> names, units;
  struct Row {
    std::string region;  // "全足", "前足內側", ...
    std::array<std::array<std::string, kPressureColumns>, 2> cells;  // left foot, right foot
  };
  std::vector<Row> rows;  // whole foot, then forefoot, midfoot, heel, medial before lateral
};

// "-" where a figure does not exist: a zone of a foot without axis, a force without pressures,
// a per cent without weight. Without pressures the peak and mean are levels.
PressureTable pressureTable(const PressureFigures& figures);

// The pressure at the six bounds of the legend's level classes (level 1, the top of each class;
// the last is level 255), as the legend writes them ("0.4", "25", ...); empty for levels only.
std::array<std::string, 6> legendBoundPressures(const PressureScale& scale);
