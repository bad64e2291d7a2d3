#include "pedalyx/report/gait_store.h"

#include <cstdio>
#include <opencv2/imgcodecs.hpp>

#include "pedalyx/imaging/gait_figure_names.h"
#include "pedalyx/imaging/measure_marks.h"
#include "pedalyx/report/csv_table.h"
#include "pedalyx/report/measurement_database.h"
#include "platform/files.h"

namespace {

std::string number(double value, const char* pattern = "%.2f") {
  char text[48];
  std::snprintf(text, sizeof text, pattern, value);
  return text;
}

const char* yesNo(bool value) { return value ? "是" : "否"; }

}  // namespace

std::string gaitTableHeader() {
  std::string header = "記錄,ID,序號,足,換邊,完整,剔除,開始 s,幀數,每秒幀數";
  for (int k = 0; k < kGaitFigureCount; ++k) {
    const GaitFigureName& name = gaitFigureName(static_cast<GaitFigure>(k));
    header += std::string(",") + name.traditional + " " + name.unit;
  }
  return toAnsi(header) + "\n";
}

std::string gaitTableRow(const std::string& record, const std::string& id,
                         const GaitResults& results, size_t index) {
  const GaitContact& c = results.contacts[index];
  const ContactFigures& f = results.figures[index];
  const double origin = results.frames.empty() ? 0 : results.frames.front().seconds;
  std::string row = textField(record) + "," + textField(id) + ",";
  row += std::to_string(index + 1) + "," + toAnsi(c.side() == FootSide::Left ? "左" : "右") + ",";
  row += toAnsi(yesNo(c.sideSwapped)) + "," + toAnsi(yesNo(c.complete())) + "," +
         toAnsi(yesNo(c.dropped)) + ",";
  row += number(c.frames.front().seconds - origin, "%.3f") + "," + std::to_string(c.frames.size()) +
         "," + number(results.framePeriod > 0 ? 1.0 / results.framePeriod : 0, "%.1f");
  for (int k = 0; k < kGaitFigureCount; ++k) {
    const std::optional<double> value = figureValue(f, static_cast<GaitFigure>(k));
    row += "," + (value ? number(*value) : std::string());
  }
  return row + "\n";
}

std::string gaitTraceText(const GaitResults& results, size_t index) {
  std::string text =
      "frame_counter,time_s,cop_x_mm,cop_y_mm,along_mm,across_mm,load,heel_medial,heel_lateral,"
      "midfoot_medial,midfoot_lateral,forefoot_medial,forefoot_lateral\n";
  const GaitContact& c = results.contacts[index];
  const ContactFigures& f = results.figures[index];
  const double origin = results.frames.empty() ? 0 : results.frames.front().seconds;
  char line[256];
  for (size_t i = 0; i < f.gaitLine.size() && i < c.frames.size(); ++i) {
    const GaitLinePoint& p = f.gaitLine[i];
    std::snprintf(line, sizeof line, "%lld,%.4f,%.3f,%.3f,%.3f,%.3f,%lld",
                  static_cast<long long>(p.counter), c.frames[i].seconds - origin,
                  p.centre.x * kMillimetresPerPixel, p.centre.y * kMillimetresPerPixel, p.alongMm,
                  p.acrossMm, static_cast<long long>(p.load));
    text += line;
    for (int64_t zone : p.zoneLoad) text += "," + std::to_string(zone);
    text += "\n";
  }
  return text;
}

std::string peakPicturePng(const LevelPatch& peak, const unsigned char* colourTable) {
  cv::Mat picture(kCanvasHeight, kCanvasWidth, CV_8UC3);
  for (int y = 0; y < kCanvasHeight; ++y) {
    // Canvas rows are bottom row first; the picture's top row is the canvas's top.
    cv::Vec3b* row = picture.ptr<cv::Vec3b>(kCanvasHeight - 1 - y);
    for (int x = 0; x < kCanvasWidth; ++x) {
      const unsigned char* rgb = colourTable + 3 * peak.at(x, y);
      row[x] = cv::Vec3b(rgb[2], rgb[1], rgb[0]);
    }
  }
  std::vector<uchar> png;
  if (!cv::imencode(".png", picture, png)) return std::string();
  return std::string(png.begin(), png.end());
}

std::string gaitFilePath(const std::string& startDirectory, const std::string& record,
                         size_t index) {
  return platform::joinPath(platform::joinPath(startDirectory, kGaitFolder),
                            record + "_" + std::to_string(index + 1));
}

namespace {

// Every contact's row, and the rows' contents as the outcome keeps them.
std::string rowsOf(const std::string& record, const std::string& id, const GaitResults& results,
                   GaitSaveOutcome& outcome) {
  std::string bytes;
  for (size_t i = 0; i < results.contacts.size(); ++i) {
    const std::string row = gaitTableRow(record, id, results, i);
    outcome.rows.push_back(row.substr(0, row.size() - 1));
    bytes += row;
  }
  return bytes;
}

// Every contact's trace and, with a colour table, its peak picture.
void writeContactFiles(const std::string& startDirectory, const std::string& record,
                       const GaitResults& results, const unsigned char* colourTable,
                       GaitSaveOutcome& outcome) {
  platform::makeDirectory(platform::joinPath(startDirectory, kGaitFolder));
  for (size_t i = 0; i < results.contacts.size(); ++i) {
    const std::string base = gaitFilePath(startDirectory, record, i);
    if (!platform::writeFileAtomic(base + ".csv", gaitTraceText(results, i)))
      outcome.failedFiles.push_back(base + ".csv");
    if (colourTable == nullptr) continue;
    const std::string png = peakPicturePng(results.figures[i].peak, colourTable);
    if (png.empty() || !platform::writeFileAtomic(base + ".png", png))
      outcome.failedFiles.push_back(base + ".png");
  }
}

}  // namespace

GaitSaveOutcome saveGaitRecording(const std::string& startDirectory, const std::string& record,
                                  const std::string& id, const GaitResults& results,
                                  const unsigned char* colourTable) {
  GaitSaveOutcome outcome;
  const std::string table = platform::joinPath(startDirectory, kGaitTableName);
  std::string bytes = rowsOf(record, id, results, outcome);
  if (!bytes.empty()) {
    if (!platform::fileExists(table)) bytes = gaitTableHeader() + bytes;
    outcome.rowsWritten = platform::appendWhole(table, bytes);
  }
  writeContactFiles(startDirectory, record, results, colourTable, outcome);
  return outcome;
}

GaitSaveOutcome rewriteGaitRecording(const std::string& startDirectory, const std::string& record,
                                     const std::string& id, const GaitResults& results,
                                     const std::vector<std::string>& previousRows) {
  GaitSaveOutcome outcome;
  const std::string path = platform::joinPath(startDirectory, kGaitTableName);
  const std::string rows = rowsOf(record, id, results, outcome);
  std::string table = gaitTableHeader();
  if (platform::fileExists(path)) {
    const std::optional<std::string> bytes = platform::readWholeFile(path);
    if (!bytes) {
      outcome.failedFiles.push_back(path);
      return outcome;
    }
    std::vector<std::string> checksums;
    for (const std::string& row : previousRows) checksums.push_back(report::rowChecksum(row));
    int removed = 0;
    table = report::tableWithout(*bytes, report::RowLayout::kLineFeedLast, checksums, removed);
    // An empty table gets its header; one whose last row lost its line end gets whole rows.
    if (table.empty()) table = gaitTableHeader();
    if (table.back() != '\n') table += '\n';
  }
  outcome.rowsWritten = platform::writeFileAtomic(path, table + rows);
  if (!outcome.rowsWritten) outcome.failedFiles.push_back(path);
  writeContactFiles(startDirectory, record, results, nullptr, outcome);
  return outcome;
}
