#include "pedalyx/report/gait_store.h"

#include <cstdio>
#include <opencv2/imgcodecs.hpp>

#include "pedalyx/imaging/measure_marks.h"
#include "pedalyx/report/measurement_database.h"
#include "platform/files.h"

namespace {

// The figure columns, in the order of GaitFigure.
constexpr const char* kFigureColumns[] = {
    "接觸時間 ms", "足長 mm",    "足寬 mm",    "足偏角 deg", "步態線長 mm", "內側偏移 mm",
    "外側偏移 mm", "初始接觸 %", "前掌接觸 %", "全足支撐 %", "蹬離 %",      "足跟內側 %",
    "足跟外側 %",  "足中內側 %", "足中外側 %", "前掌內側 %", "前掌外側 %",  "蹬離前掌內側 %"};
static_assert(sizeof kFigureColumns / sizeof kFigureColumns[0] == kGaitFigureCount,
              "one column per figure");

std::string number(double value, const char* pattern = "%.2f") {
  char text[48];
  std::snprintf(text, sizeof text, pattern, value);
  return text;
}

const char* yesNo(bool value) { return value ? "是" : "否"; }

}  // namespace

std::string gaitTableHeader() {
  std::string header = "記錄,ID,序號,足,換邊,完整,剔除,開始 s,幀數,每秒幀數";
  for (const char* column : kFigureColumns) header += std::string(",") + column;
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

GaitSaveOutcome saveGaitRecording(const std::string& startDirectory, const std::string& record,
                                  const std::string& id, const GaitResults& results,
                                  const unsigned char* colourTable) {
  GaitSaveOutcome outcome;
  const std::string table = platform::joinPath(startDirectory, kGaitTableName);
  std::string bytes;
  for (size_t i = 0; i < results.contacts.size(); ++i)
    bytes += gaitTableRow(record, id, results, i);
  if (!bytes.empty()) {
    if (!platform::fileExists(table)) bytes = gaitTableHeader() + bytes;
    outcome.rowsWritten = platform::appendWhole(table, bytes);
  }
  platform::makeDirectory(platform::joinPath(startDirectory, kGaitFolder));
  for (size_t i = 0; i < results.contacts.size(); ++i) {
    const std::string base = gaitFilePath(startDirectory, record, i);
    if (!platform::writeFileAtomic(base + ".csv", gaitTraceText(results, i)))
      outcome.failedFiles.push_back(base + ".csv");
    const std::string png = peakPicturePng(results.figures[i].peak, colourTable);
    if (png.empty() || !platform::writeFileAtomic(base + ".png", png))
      outcome.failedFiles.push_back(base + ".png");
  }
  return outcome;
}
