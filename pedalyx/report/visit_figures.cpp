#include "pedalyx/report/visit_figures.h"

#include "pedalyx/report/pressure_reanalysis.h"

namespace report {

std::array<double, 2> archIndicesOf(const DatabaseRow& row) {
  for (const double* pair : {row.archEven, row.archLow, row.archHigh}) {
    if (pair[0] != 0 || pair[1] != 0) return {pair[0], pair[1]};
  }
  return {0, 0};
}

VisitFigures figuresOfVisit(const Visit& visit, const unsigned char* colourTable) {
  VisitFigures figures;
  auto& v = figures.values;
  if (visit.row) {
    const DatabaseRow& row = *visit.row;
    // Sizes the operator did not type are saved as 0: unknown.
    const double* sizes[4] = {&row.footLength[0], &row.footLength[1], &row.footWidth[0],
                              &row.footWidth[1]};
    for (int k = 0; k < 4; ++k) {
      if (*sizes[k] != 0) v[kLengthLeft + k] = *sizes[k];
    }
    const std::array<double, 2> arch = archIndicesOf(row);
    // A row saved without a balance picture noted no arch index: unknown, not 0.
    if (arch[0] != 0 || arch[1] != 0) v[kArchLeft] = arch[0], v[kArchRight] = arch[1];
    for (int zone = 0; zone < 6; ++zone) {
      v[kZoneLeftFirst + zone] = row.zones[0][zone];
      v[kZoneRightFirst + zone] = row.zones[1][zone];
    }
  }
  std::vector<uint8_t> levels;
  std::string reason;
  if (colourTable != nullptr && visit.files && !visit.files->picture.empty() &&
      levelsOfPressurePicture(visit.files->picture, colourTable, levels, reason)) {
    double shares[6];
    levelShares(levels, shares);
    for (int k = 0; k < 6; ++k) v[kShareLeft + k] = shares[k];
  }
  return figures;
}

std::vector<FigureChange> compareVisits(const VisitFigures& earlier, const VisitFigures& later) {
  std::vector<FigureChange> changes;
  for (int f = 0; f < kFigureCount; ++f) {
    const auto &a = earlier.values[f], &b = later.values[f];
    if (a && b) changes.push_back({static_cast<Figure>(f), *a, *b, *b - *a});
  }
  return changes;
}

}  // namespace report
