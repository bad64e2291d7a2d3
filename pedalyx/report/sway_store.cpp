#include "pedalyx/report/sway_store.h"

#include <cstdio>

#include "pedalyx/report/measurement_database.h"
#include "pedalyx/report/report_export.h"
#include "platform/files.h"

namespace {

std::string number(double value, const char* pattern = "%.2f") {
  char text[48];
  std::snprintf(text, sizeof text, pattern, value);
  return text;
}

const char* stopName(SwayStop stop) {
  switch (stop) {
    case SwayStop::Completed:
      return "完成";
    case SwayStop::SteppedOff:
      return "離開踏板";
    case SwayStop::PictureHeld:
      return "畫面暫停";
    case SwayStop::Full:
      return "記錄已滿";
    case SwayStop::NoCustomer:
      return "無人站立";
    case SwayStop::NotEnded:
      break;
  }
  return "";
}

}  // namespace

std::string swayRecordName(const std::string& id, const platform::LocalTime& t) {
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%04d%02d%02d%02d%02d%02d", t.year, t.month, t.day, t.hour,
                t.minute, t.second);
  const std::string safeId = report::phoneForFileName(id);
  return safeId.empty() ? std::string(stamp) : safeId + "_" + stamp;
}

std::string swayTableHeader() {
  return toAnsi(
             "記錄,ID,條件,設定秒數,記錄秒數,幀數,結束,軌跡長 mm,平均速度 mm/s,左右範圍 mm,"
             "前後範圍 mm,左右 RMS mm,前後 RMS mm,95%橢圓面積 mm2,橢圓長半軸 mm,橢圓短半軸 mm,"
             "橢圓角度 deg,左足負重平均 %,左足負重標準差 %,Romberg 面積,Romberg 軌跡長") +
         "\n";
}

std::string swayTableRow(const std::string& record, const std::string& id, SwayCondition condition,
                         const SwayRecording& r, const SwayRecording& eyesOpen) {
  const SwayFigures& f = r.figures[static_cast<int>(SwayPart::Both)];
  const bool closed = condition == SwayCondition::EyesClosed;
  std::string row = textField(record) + "," + textField(id) + ",";
  row += toAnsi(closed ? "閉眼" : "睜眼") + ",";
  row += number(r.plannedSeconds, "%.0f") + "," + number(f.seconds) + "," +
         std::to_string(f.frames) + "," + toAnsi(stopName(r.stop)) + ",";
  for (double v : {f.pathLength, f.meanVelocity, f.rangeX, f.rangeY, f.rmsX, f.rmsY, f.ellipse.area,
                   f.ellipse.semiMajor, f.ellipse.semiMinor, f.ellipse.angleDegrees,
                   f.leftShareMean, f.leftShareSpread})
    row += number(v) + ",";
  std::optional<double> area, path;
  if (closed && eyesOpen.recorded()) {
    const SwayFigures& open = eyesOpen.figures[static_cast<int>(SwayPart::Both)];
    area = rombergQuotient(f.ellipse.area, open.ellipse.area);
    path = rombergQuotient(f.pathLength, open.pathLength);
  }
  row += (area ? number(*area, "%.3f") : "") + "," + (path ? number(*path, "%.3f") : "") + "\n";
  return row;
}

std::string swayTraceText(const SwayRecording& recording) {
  std::string text =
      "time_s,left_x_mm,left_y_mm,right_x_mm,right_y_mm,both_x_mm,both_y_mm,left_share_pct\n";
  char line[192];
  for (const SwaySample& s : recording.samples) {
    std::snprintf(line, sizeof line, "%.4f,%.3f,%.3f,%.3f,%.3f,%.3f,%.3f,%.2f\n", s.seconds,
                  s.left.x, s.left.y, s.right.x, s.right.y, s.both.x, s.both.y, s.leftShare);
    text += line;
  }
  return text;
}

SwaySaveOutcome saveSwayRecording(const std::string& startDirectory, const std::string& record,
                                  const std::string& id, SwayCondition condition,
                                  const SwayRecording& recording, const SwayRecording& eyesOpen) {
  SwaySaveOutcome outcome;
  const std::string table = platform::joinPath(startDirectory, kSwayTableName);
  std::string bytes = swayTableRow(record, id, condition, recording, eyesOpen);
  if (!platform::fileExists(table)) bytes = swayTableHeader() + bytes;
  outcome.rowWritten = platform::appendWhole(table, bytes);
  const std::string folder = platform::joinPath(startDirectory, kSwayTraceFolder);
  platform::makeDirectory(folder);
  const char* suffix = condition == SwayCondition::EyesClosed ? "_ec.csv" : "_eo.csv";
  outcome.tracePath = platform::joinPath(folder, record + suffix);
  outcome.traceWritten = platform::writeFileAtomic(outcome.tracePath, swayTraceText(recording));
  return outcome;
}
