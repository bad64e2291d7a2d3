#include "pedalyx/report/gait_parts.h"

#include <algorithm>

#include "pedalyx/imaging/gait_figure_names.h"
#include "pedalyx/report/csv_table.h"
#include "pedalyx/report/examination_parts.h"
#include "platform/files.h"

namespace report {
namespace {

// In the order of GaitFigure.
const char* const kFigureKeys[] = {
    "contact_time",      "length",           "width",
    "progression_angle", "gait_line_length", "medial_excursion",
    "lateral_excursion", "initial_contact",  "forefoot_contact",
    "foot_flat",         "push_off",         "heel_medial",
    "heel_lateral",      "midfoot_medial",   "midfoot_lateral",
    "forefoot_medial",   "forefoot_lateral", "push_off_medial_forefoot"};
static_assert(sizeof kFigureKeys / sizeof kFigureKeys[0] == kGaitFigureCount, "a key a figure");

// The zones in GaitZone order, then the whole foot.
const char* const kRegionKeys[kGaitKpaRegions] = {
    "heel_medial",      "heel_lateral", "midfoot_medial", "midfoot_lateral", "forefoot_medial",
    "forefoot_lateral", "foot"};

const char* const kSides[2] = {"left", "right"};

struct Add {
  std::vector<ExaminationFigure>& list;
  void value(const char* group, const std::string& name, const std::string& side, double v,
             const std::string& unit, const std::string& origin = "") {
    list.push_back({group, name, side, v, "", unit, origin});
  }
};

void addSpread(Add& add, const char* group, const std::string& name, const char* side,
               const FigureSpread& s, const std::string& unit, const std::string& origin) {
  if (s.count == 0) return;
  add.value(group, name, side, s.mean, unit, origin);
  add.value(group, name + "_spread", side, s.spread, unit, origin);
}

}  // namespace

ExaminationPart partOfWalking(const std::string& recordName, const std::string& id,
                              const GaitResults& results, const GaitPressures& pressures,
                              const GaitSaveOutcome& outcome, const std::string& folder) {
  ExaminationPart part;
  part.customer.id = id;
  Add add{part.figures};
  const char* group = "walking";
  add.value(group, "planned_seconds", "", results.plannedSeconds, "s", "typed");
  add.value(group, "frames", "", static_cast<double>(results.frames.size()), "");
  add.value(group, "frames_lost", "", static_cast<double>(results.framesLost), "");
  if (results.framePeriod > 0)
    add.value(group, "frames_per_second", "", 1.0 / results.framePeriod, "1/s");
  add.value(group, "contacts", "", static_cast<double>(results.contacts.size()), "");
  add.value(group, "dropped", "",
            static_cast<double>(std::count_if(results.contacts.begin(), results.contacts.end(),
                                              [](const GaitContact& c) { return c.dropped; })),
            "");
  for (int s = 0; s < 2; ++s) {
    const auto& figures = s == 0 ? results.summary.left : results.summary.right;
    add.value(group, "contacts", kSides[s], figures[0].count, "");
    for (int k = 0; k < kGaitFigureCount; ++k)
      addSpread(add, group, kFigureKeys[k], kSides[s], figures[k],
                gaitFigureName(static_cast<GaitFigure>(k)).unit, "");
  }
  for (int k = 0; k < kGaitFigureCount; ++k)
    if (auto d = results.summary.difference(static_cast<GaitFigure>(k)))
      add.value(group, std::string(kFigureKeys[k]) + "_difference", "", *d,
                gaitFigureName(static_cast<GaitFigure>(k)).unit);

  if (pressures.hasPressures()) {
    const char* pressure = "walking_pressure";
    const std::string origin = pressureSourceText(pressures.scale.source);
    part.figures.push_back({pressure, "source", "", std::nullopt, origin, "", origin});
    for (int region = 0; region < kGaitKpaRegions; ++region) {
      for (GaitKpaFigure figure : {GaitKpaFigure::Peak, GaitKpaFigure::Integral}) {
        const bool peak = figure == GaitKpaFigure::Peak;
        const std::string name = std::string(peak ? "peak_" : "integral_") + kRegionKeys[region];
        const char* unit = peak ? "kPa" : "kPa·s";
        addSpread(add, pressure, name, "left", pressures.spread(FootSide::Left, region, figure),
                  unit, origin);
        addSpread(add, pressure, name, "right", pressures.spread(FootSide::Right, region, figure),
                  unit, origin);
        if (auto d = pressures.difference(region, figure))
          add.value(pressure, name + "_difference", "", *d, unit, origin);
      }
    }
  }

  part.replacedRowKeyPrefix = recordName + "_";
  if (outcome.rowsWritten)
    for (size_t i = 0; i < outcome.rows.size(); ++i)
      part.rows.push_back(
          {kGaitTableName, rowChecksum(outcome.rows[i]), recordName + "_" + std::to_string(i + 1)});
  // The files on disk now: a correction writes the traces again, the pictures stay.
  auto written = [&](const std::string& path) {
    return std::find(outcome.failedFiles.begin(), outcome.failedFiles.end(), path) ==
               outcome.failedFiles.end() &&
           platform::fileExists(path);
  };
  for (size_t i = 0; i < results.contacts.size(); ++i) {
    const std::string base = gaitFilePath(folder, recordName, i);
    const std::string n = std::to_string(i + 1);
    if (written(base + ".csv"))
      part.files.push_back(fileToKeep(stationPathOf(folder, base + ".csv"), "gait_trace_" + n));
    if (written(base + ".png"))
      part.files.push_back(fileToKeep(stationPathOf(folder, base + ".png"), "gait_peak_" + n));
  }
  return part;
}

}  // namespace report
