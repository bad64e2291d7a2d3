#include "pedalyx/report/examination_parts.h"

#include "pedalyx/report/csv_table.h"
#include "pedalyx/report/database_rows.h"
#include "pedalyx/report/report_export.h"
#include "platform/files.h"

namespace report {
namespace {

const char* const kSides[2] = {"left", "right"};
// The main window's six zone fields of a foot, in field order.
const char* const kZoneNames[6] = {"forefoot_left", "forefoot_right", "middle_left",
                                   "middle_right",  "heel_left",      "heel_right"};

struct Figures {
  std::vector<ExaminationFigure>& list;
  void value(const char* group, const std::string& name, const std::string& side, double v,
             const char* unit, const std::string& origin = "") {
    list.push_back({group, name, side, v, "", unit, origin});
  }
  void text(const char* group, const std::string& name, const std::string& side,
            const std::string& t, const std::string& origin = "") {
    list.push_back({group, name, side, std::nullopt, t, "", origin});
  }
};

std::optional<double> given(double value) {
  return value > 0 ? std::optional<double>(value) : std::nullopt;
}

const char* stopCode(SwayStop stop) {
  switch (stop) {
    case SwayStop::Completed:
      return "completed";
    case SwayStop::NoCustomer:
      return "no_customer";
    case SwayStop::SteppedOff:
      return "stepped_off";
    case SwayStop::PictureHeld:
      return "picture_held";
    case SwayStop::Full:
      return "full";
    case SwayStop::NotEnded:
      break;
  }
  return "not_ended";
}

void addSwayFigures(Figures& add, const char* group, const SwayFigures& f, const char* side) {
  add.value(group, "frames", side, f.frames, "");
  add.value(group, "seconds", side, f.seconds, "s");
  add.value(group, "path_length", side, f.pathLength, "mm");
  add.value(group, "mean_velocity", side, f.meanVelocity, "mm/s");
  add.value(group, "range_x", side, f.rangeX, "mm");
  add.value(group, "range_y", side, f.rangeY, "mm");
  add.value(group, "rms_x", side, f.rmsX, "mm");
  add.value(group, "rms_y", side, f.rmsY, "mm");
  add.value(group, "ellipse_area", side, f.ellipse.area, "mm2");
  add.value(group, "ellipse_semi_major", side, f.ellipse.semiMajor, "mm");
  add.value(group, "ellipse_semi_minor", side, f.ellipse.semiMinor, "mm");
  add.value(group, "ellipse_angle", side, f.ellipse.angleDegrees, "deg");
  add.value(group, "ellipse_centre_x", side, f.ellipse.centre.x, "mm");
  add.value(group, "ellipse_centre_y", side, f.ellipse.centre.y, "mm");
  add.value(group, "left_share_mean", side, f.leftShareMean, "%");
  add.value(group, "left_share_spread", side, f.leftShareSpread, "%");
}

// The zones as FootAxis numbers them (heel first), for the pressure figures.
const char* const kAxisZoneNames[6] = {"heel_left",    "heel_right",    "middle_left",
                                       "middle_right", "forefoot_left", "forefoot_right"};

void addRegion(Figures& add, const std::string& region, const std::string& side,
               const RegionFigures& r, const char* origin) {
  add.value("pressure", region + "_area", side, r.contactAreaCm2, "cm2", origin);
  add.value("pressure", region + "_force", side, r.forceN, "N", origin);
  add.value("pressure", region + "_peak", side, r.peakKpa, "kPa", origin);
  add.value("pressure", region + "_mean", side, r.meanKpa, "kPa", origin);
}

// Area, force, % of body weight, peak and mean pressure per foot and zone, with how they
// were obtained; nothing when the station had only levels.
void addPressureFigures(Figures& add, const PressureFigures& p) {
  if (p.source == PressureSource::LevelsOnly) return;
  const char* origin = pressureSourceText(p.source);
  add.text("pressure", "source", "", origin, "computed");
  if (p.bodyWeightKg > 0) add.value("pressure", "body_weight", "", p.bodyWeightKg, "kg", "typed");
  if (p.bodyWeightKg > 0)
    add.value("pressure", "body_weight_percent", "", p.bodyWeightPercent, "%", origin);
  for (int s = 0; s < 2; ++s) {
    const FootPressureFigures& foot = p.feet[s];
    addRegion(add, "foot", kSides[s], foot.foot, origin);
    if (p.bodyWeightKg > 0)
      add.value("pressure", "foot_body_weight_percent", kSides[s], foot.percentOfBodyWeight, "%",
                origin);
    if (!foot.zonesMeasured) continue;
    for (int z = 0; z < 6; ++z) addRegion(add, kAxisZoneNames[z], kSides[s], foot.zones[z], origin);
  }
}

}  // namespace

bool isStationPath(const std::string& path) {
  if (path.empty() || path[0] == '/') return false;
  size_t start = 0;
  while (start <= path.size()) {
    const size_t slash = std::min(path.find('/', start), path.size());
    const std::string part = path.substr(start, slash - start);
    if (part.empty() || part == "." || part == "..") return false;
    start = slash + 1;
  }
  return true;
}

std::string stationPathOf(const std::string& folder, const std::string& path) {
  std::string relative = path;
  const std::string prefix = folder.empty() || folder.back() == '/' ? folder : folder + "/";
  if (!prefix.empty() && relative.compare(0, prefix.size(), prefix) == 0)
    relative = relative.substr(prefix.size());
  while (relative.compare(0, 2, "./") == 0) relative = relative.substr(2);
  return relative;
}

ExaminationPart partOfExport(const ExportFigures& in) {
  ExaminationPart part;
  part.customer = in.customer;
  part.reportName = in.reportName;
  Figures add{part.figures};
  for (int s = 0; s < 2; ++s) {
    const std::string side = kSides[s];
    if (in.length[s] > 0) add.value("size", "length", side, in.length[s], "mm", in.sizeOrigin[s]);
    if (in.width[s] > 0) add.value("size", "width", side, in.width[s], "mm", in.sizeOrigin[s]);
    if (in.archIndex[s] > 0)
      add.value("arch", "arch_index", side, in.archIndex[s], "", in.archOrigin[s]);
    if (!in.footType[s].empty()) add.text("arch", "foot_type", side, in.footType[s]);
    add.value("arch", "reference_column", side, in.referenceColumn[s], "");
    add.value("shares", "half", side, in.shares[s], "%", "measured");
    add.value("shares", "upper", side, in.shares[2 + 2 * s], "%", "measured");
    add.value("shares", "lower", side, in.shares[3 + 2 * s], "%", "measured");
    for (int z = 0; z < 6; ++z) add.value("zones", kZoneNames[z], side, in.zones[6 * s + z], "%");
  }
  if (!in.shoeType.empty()) add.text("shoe", "shoe_type", "", in.shoeType, "computed");
  if (!in.shoeSize.empty()) add.text("shoe", "shoe_size", "", in.shoeSize, "computed");
  const char* const levelSides[3] = {"left", "right", "both"};
  for (int s = 0; s < 3; ++s) {
    for (int k = 0; k < 5; ++k)
      add.value("levels", "level_" + std::to_string(k + 1), levelSides[s], in.levels[s][k], "%");
  }
  if (!in.remarks.empty()) add.text("report", "remarks", "", in.remarks, "typed");
  addPressureFigures(add, in.pressure);
  if (!in.reportName.empty()) {
    part.files.push_back(fileToKeep(stationPathOf(".", pdfPath(in.reportName)), "report_pdf"));
    part.files.push_back(fileToKeep(stationPathOf(".", pngPath(in.reportName)), "pressure_png"));
  }
  return part;
}

TableRowLink rowOfSave(const MeasurementRecord& record, uint32_t stamp) {
  const std::string row = measurementRow(record, stamp);
  return {kDatabaseFile, rowChecksum(row.substr(1)), std::to_string(stamp)};
}

ExaminationPart partOfSave(const MeasurementRecord& r, uint32_t stamp, const SaveOutcome& outcome,
                           const std::string& folder) {
  ExaminationPart part;
  part.customer.id = r.id;
  part.customer.gender = genderWord(r.genderItem);
  part.customer.age = given(r.age);
  part.customer.height = given(r.height);
  part.customer.weight = given(r.weight);
  Figures add{part.figures};
  const std::string* captions[3] = {&r.captionLow, &r.captionEven, &r.captionHigh};
  const double* arches[3] = {r.archLow, r.archEven, r.archHigh};
  const char* const splits[3] = {"low", "even", "high"};
  for (int k = 0; k < 3; ++k) {
    add.text("balance", std::string("split_") + splits[k], "", *captions[k]);
    for (int s = 0; s < 2; ++s)
      add.value("balance", std::string("arch_index_") + splits[k], kSides[s], arches[k][s], "",
                "balance");
  }
  add.value("balance", "left_share", "", r.leftShare, "%", "typed");
  for (int s = 0; s < 2; ++s) {
    add.value("analysis", "navicular_drop", kSides[s], r.navicularDrop[s], "mm", "typed");
    add.value("analysis", "foot_length", kSides[s], r.footLength[s], "mm", "typed");
    add.value("analysis", "foot_width", kSides[s], r.footWidth[s], "mm", "typed");
    add.value("analysis", "hallux_angle", kSides[s], r.halluxAngle[s], "deg", "typed");
    // The row's own copy of the zone fields, kept apart from the export's.
    for (int z = 0; z < 6; ++z)
      add.value("analysis", std::string("zone_") + kZoneNames[z], kSides[s], r.zones[6 * s + z],
                "%");
  }
  for (int k = 0; k < 6; ++k) {
    const std::string name = "case_" + std::to_string(k + 1);
    add.text("cases", name, "", r.caseTexts[k], "typed");
    add.value("cases", name, "left", r.caseLeft[k] ? 1 : 0, "", "typed");
    add.value("cases", name, "right", r.caseRight[k] ? 1 : 0, "", "typed");
  }
  if (outcome.rowWritten) part.rows.push_back(rowOfSave(r, stamp));
  for (const std::string& path : outcome.writtenBitmaps)
    part.files.push_back(fileToKeep(stationPathOf(folder, path), "balance_bitmap"));
  return part;
}

ExaminationPart partOfSway(const std::string& recordName, const std::string& id,
                           SwayCondition condition, const SwayRecording& recording,
                           const SwayRecording& eyesOpen, const SwaySaveOutcome& outcome,
                           const std::string& folder) {
  ExaminationPart part;
  part.customer.id = id;
  const bool closed = condition == SwayCondition::EyesClosed;
  const char* group = closed ? "sway_eyes_closed" : "sway_eyes_open";
  Figures add{part.figures};
  add.value(group, "planned_seconds", "", recording.plannedSeconds, "s", "typed");
  add.text(group, "stop", "", stopCode(recording.stop));
  const char* const parts[3] = {"left", "right", "both"};
  for (int p = 0; p < 3; ++p) addSwayFigures(add, group, recording.figures[p], parts[p]);
  if (closed && eyesOpen.recorded()) {
    const SwayFigures& c = recording.figures[static_cast<int>(SwayPart::Both)];
    const SwayFigures& o = eyesOpen.figures[static_cast<int>(SwayPart::Both)];
    if (auto q = rombergQuotient(c.ellipse.area, o.ellipse.area))
      add.value("sway_romberg", "ellipse_area", "both", *q, "", "computed");
    if (auto q = rombergQuotient(c.pathLength, o.pathLength))
      add.value("sway_romberg", "path_length", "both", *q, "", "computed");
  }
  if (outcome.rowWritten) {
    std::string row = swayTableRow(recordName, id, condition, recording, eyesOpen);
    if (!row.empty() && row.back() == '\n') row.pop_back();
    part.rows.push_back({kSwayTableName, rowChecksum(row), recordName + (closed ? "_ec" : "_eo")});
  }
  if (outcome.traceWritten)
    part.files.push_back(fileToKeep(stationPathOf(folder, outcome.tracePath),
                                    closed ? "sway_trace_eyes_closed" : "sway_trace_eyes_open"));
  return part;
}

std::vector<ExaminationFile> insoleFilesOf(const std::string& folder,
                                           const std::string& reportName) {
  // The names the insole tool gives its bitmaps and, beside them, their models.
  static const struct {
    const char* ending;
    const char* role;
  } kInsoleFiles[4] = {{"_iLeft.bmp", "insole_left_bmp"},
                       {"_iRight.bmp", "insole_right_bmp"},
                       {"_iLeft.stl", "insole_left_stl"},
                       {"_iRight.stl", "insole_right_stl"}};
  std::vector<ExaminationFile> files;
  if (reportName.empty()) return files;
  const std::string pdfFolder = stationPathOf(".", kPdfFolder);
  for (const auto& insole : kInsoleFiles) {
    const std::string path = pdfFolder + reportName + insole.ending;
    if (platform::fileExists(platform::joinPath(folder, path)))
      files.push_back(fileToKeep(path, insole.role));
  }
  return files;
}

}  // namespace report
