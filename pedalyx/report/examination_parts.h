// The parts of an examination as the station makes them, turned into what the examination
// store keeps. The figure names are written here once:
//   "size"      length, width (mm) per foot, origin "measured" or "typed"
//   "arch"      arch_index per foot with its origin, foot_type (the reference strip's words),
//               reference_column
//   "shoe"      shoe_type, shoe_size (texts)
//   "shares"    load shares (%): half (per foot), upper, lower per foot
//   "zones"     six zone shares per foot (%): forefoot_left … heel_right, the analyzer's halves
//   "levels"    level_1 … level_5 (%) per foot and "both"
//   "report"    remarks (text)
//   "analysis"  navicular_drop, foot_length, foot_width (mm), hallux_angle (deg) per foot, and
//               the six zone shares the row holds (zone_forefoot_left …)
//   "balance"   split_low / split_even / split_high (caption texts), arch_index_low / _even /
//               _high per foot (origin "balance"), left_share (%) of the split slider
//   "cases"     case_1 … case_6: the text, and per foot 0 or 1
//   "sway_eyes_open", "sway_eyes_closed"  per part (left, right, both) the sway figures, and
//               planned_seconds, stop
//   "sway_romberg"  ellipse_area and path_length quotients
// Walking and pressure figures come as further groups from their own modules.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "pedalyx/imaging/pressure_figures.h"
#include "pedalyx/imaging/sway_recorder.h"
#include "pedalyx/report/examination_record.h"
#include "pedalyx/report/measurement_database.h"
#include "pedalyx/report/sway_store.h"

namespace report {

// The main window's results and the data-entry window at the moment of the export.
struct ExportFigures {
  CustomerData customer;
  std::string reportName;
  double length[2] = {}, width[2] = {};  // mm, left and right; 0 is not known
  std::string sizeOrigin[2];             // "measured" or "typed"
  double archIndex[2] = {};
  std::string archOrigin[2];
  std::string footType[2];
  float referenceColumn[2] = {0, 4};
  std::string shoeType, shoeSize;
  // Left, right, upper left, lower left, upper right, lower right (%).
  double shares[6] = {};
  double zones[12] = {};     // as the main window's fields: left foot 0..5, right foot 6..11
  double levels[3][5] = {};  // level-class shares (%): left, right, both feet
  std::string remarks;
  // Pressure in physical units of the held picture; LevelsOnly adds nothing to the record.
  PressureFigures pressure;
};

// The export: the customer's data, the figures, and the PDF and pressure PNG of the report.
ExaminationPart partOfExport(const ExportFigures& figures);

// A "Save" of the analysis window after its row and bitmaps were written.
ExaminationPart partOfSave(const MeasurementRecord& record, uint32_t stamp,
                           const SaveOutcome& outcome, const std::string& folder);

// The link to the row a save appends to "Database_2080.csv".
TableRowLink rowOfSave(const MeasurementRecord& record, uint32_t stamp);

// A sway recording after its row and trace were written.
ExaminationPart partOfSway(const std::string& recordName, const std::string& id,
                           SwayCondition condition, const SwayRecording& recording,
                           const SwayRecording& eyesOpen, const SwaySaveOutcome& outcome,
                           const std::string& folder);

// The insole bitmaps and models the insole tool has written for the report so far.
std::vector<ExaminationFile> insoleFilesOf(const std::string& folder,
                                           const std::string& reportName);


// A path below the working directory: relative, without "." or ".." parts. The store keeps,
// copies and deletes no other.
bool isStationPath(const std::string& path);

// folder/relative made relative again (a path of the station's writers, "./" dropped).
std::string stationPathOf(const std::string& folder, const std::string& path);

}  // namespace report
