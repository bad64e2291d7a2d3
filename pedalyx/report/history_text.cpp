#include "pedalyx/report/history_text.h"

#include <cstdio>

#include "pedalyx/report/foot_type_classifier.h"

namespace report {
namespace {

std::string pick(bool simplified, const char* traditional, const char* simplifiedText) {
  return simplified ? simplifiedText : traditional;
}

std::string valueOrDash(const VisitFigures& f, Figure figure) {
  return f.values[figure] ? figureValue(figure, *f.values[figure]) : "-";
}

// Zone names in the analyzer's order, as the main window's six-zone panel places them.
const char* const kZoneNames[6] = {"左下", "右下", "左中", "右中", "左上", "右上"};

}  // namespace

std::string visitDate(int64_t when) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d", int(when / 100000000),
                int(when / 1000000 % 100), int(when / 10000 % 100), int(when / 100 % 100),
                int(when % 100));
  return text;
}

std::vector<std::string> visitLabels(const std::vector<Visit>& visits) {
  std::vector<std::string> labels;
  for (size_t i = 0; i < visits.size(); ++i) {
    size_t first = i, last = i;  // the visits of this one's minute
    while (first > 0 && visits[first - 1].when == visits[i].when) --first;
    while (last + 1 < visits.size() && visits[last + 1].when == visits[i].when) ++last;
    std::string label = visitDate(visits[i].when);
    if (last > first) label += " (" + std::to_string(last - i + 1) + ")";
    labels.push_back(label);
  }
  return labels;
}

std::string visitLine(const std::string& label, const Visit& visit, const VisitFigures& f,
                      bool simplified) {
  std::string line = label;
  const char* const sides[2] = {"  左 ", "  右 "};
  for (int foot = 0; foot < 2; ++foot) {
    line += sides[foot];
    line += valueOrDash(f, Figure(kLengthLeft + foot)) + "/" +
            valueOrDash(f, Figure(kWidthLeft + foot)) + "mm ";
    line += pick(simplified, "足弓 ", "足弓 ") + valueOrDash(f, Figure(kArchLeft + foot));
    const auto& arch = f.values[kArchLeft + foot];
    if (arch && *arch > 0) {
      line += " " + footTypeText(true, static_cast<float>(*arch), !simplified);
    }
  }
  line += pick(simplified, "  左右 ", "  左右 ") + valueOrDash(f, kShareLeft) + "/" +
          valueOrDash(f, kShareRight) + "%";
  if (!visit.row) line += pick(simplified, "  (無資料列)", "  (无资料列)");
  if (!visit.files) line += pick(simplified, "  (無報表)", "  (无报表)");
  return line;
}

std::string unreadableLine(const DatabaseRow& row, bool simplified) {
  const std::string detail = std::to_string(row.problemDetail);
  std::string why;
  switch (row.problem) {
    case RowProblem::kFieldCount:
      why = pick(simplified, "有 ", "有 ") + detail +
            pick(simplified, " 欄, 應為 51 欄", " 栏, 应为 51 栏");
      break;
    case RowProblem::kNoStamp:
      why = pick(simplified, "沒有時間戳", "没有时间戳");
      break;
    case RowProblem::kNotANumber:
      why =
          pick(simplified, "第 ", "第 ") + detail + pick(simplified, " 欄不是數字", " 栏不是数字");
      break;
    case RowProblem::kUnclosedQuote:
      why = pick(simplified, "引號沒有結束", "引号没有结束");
      break;
    case RowProblem::kStrayQuote:
      why = pick(simplified, "第 ", "第 ") + detail +
            pick(simplified, " 欄有多餘的引號", " 栏有多余的引号");
      break;
    case RowProblem::kNone:
      break;
  }
  return pick(simplified, "第 ", "第 ") + std::to_string(row.line) +
         pick(simplified, " 行無法讀取 (", " 行无法读取 (") + why + "): " + row.text;
}

std::string figureName(Figure figure, bool simplified) {
  const bool right =
      figure >= kZoneRightFirst || (figure < kZoneLeftFirst && (figure - kLengthLeft) % 2 == 1);
  const std::string side = right ? "右" : "左";
  switch (figure) {
    case kLengthLeft:
    case kLengthRight:
      return pick(simplified, "足長 ", "足长 ") + side;
    case kWidthLeft:
    case kWidthRight:
      return pick(simplified, "足寬 ", "足宽 ") + side;
    case kArchLeft:
    case kArchRight:
      return pick(simplified, "足弓指標 ", "足弓指标 ") + side;
    case kShareLeft:
      return pick(simplified, "壓力 左邊", "压力 左边");
    case kShareRight:
      return pick(simplified, "壓力 右邊", "压力 右边");
    case kShareUpperLeft:
      return pick(simplified, "壓力 左上", "压力 左上");
    case kShareLowerLeft:
      return pick(simplified, "壓力 左下", "压力 左下");
    case kShareUpperRight:
      return pick(simplified, "壓力 右上", "压力 右上");
    case kShareLowerRight:
      return pick(simplified, "壓力 右下", "压力 右下");
    default: {
      const int zone = (figure - kZoneLeftFirst) % 6;
      const std::string foot = figure >= kZoneRightFirst ? "右" : "左";
      return pick(simplified, "六區 ", "六区 ") + foot + " " + kZoneNames[zone];
    }
  }
}

std::string figureValue(Figure figure, double value, bool withSign) {
  char text[64];
  const bool arch = figure == kArchLeft || figure == kArchRight;
  std::snprintf(text, sizeof text,
                arch ? (withSign ? "%+.2f" : "%.2f") : (withSign ? "%+.0f" : "%.0f"), value);
  return text;
}

}  // namespace report
