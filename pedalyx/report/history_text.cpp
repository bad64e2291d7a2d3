#include "pedalyx/report/history_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <tuple>

#include "pedalyx/report/foot_type_classifier.h"

namespace report {
namespace {

struct Words {
  const char* key;
  const char* traditional;
  const char* simplified;
};

std::string pick(bool simplified, const char* traditional, const char* simplifiedText) {
  return simplified ? simplifiedText : traditional;
}

// Looks `key` up in a table; the key itself when the station has no words for it.
template <size_t N>
std::string wordsFor(const Words (&table)[N], const std::string& key, bool simplified) {
  for (const Words& w : table) {
    if (key == w.key) return pick(simplified, w.traditional, w.simplified);
  }
  return key;
}

// The groups of an examination in the order the station makes them.
const Words kGroups[] = {
    {"size", "足型尺寸", "足型尺寸"},
    {"arch", "足弓指標", "足弓指标"},
    {"shoe", "建議鞋型與尺寸", "建议鞋型与尺寸"},
    {"shares", "壓力百分比", "压力百分比"},
    {"zones", "壓力六區分布", "压力六区分布"},
    {"levels", "壓力比例分布", "压力比例分布"},
    {"balance", "平衡圖", "平衡图"},
    {"analysis", "足壓分析", "足压分析"},
    {"cases", "狀況", "状况"},
    {"sway_eyes_open", "重心搖擺 睜眼", "重心摇摆 睁眼"},
    {"sway_eyes_closed", "重心搖擺 閉眼", "重心摇摆 闭眼"},
    {"sway_romberg", "閉眼/睜眼 比值", "闭眼/睁眼 比值"},
    {"report", "報表", "报表"},
};

const Words kNames[] = {
    {"length", "足長", "足长"},
    {"width", "足寬", "足宽"},
    {"arch_index", "足弓指標", "足弓指标"},
    {"foot_type", "足型", "足型"},
    {"reference_column", "參考欄", "参考栏"},
    {"shoe_type", "鞋型", "鞋型"},
    {"shoe_size", "鞋碼", "鞋码"},
    {"half", "整足", "整足"},
    {"upper", "上半", "上半"},
    {"lower", "下半", "下半"},
    {"forefoot_left", "左上", "左上"},
    {"forefoot_right", "右上", "右上"},
    {"middle_left", "左中", "左中"},
    {"middle_right", "右中", "右中"},
    {"heel_left", "左下", "左下"},
    {"heel_right", "右下", "右下"},
    {"split_low", "低比例", "低比例"},
    {"split_even", "平均", "平均"},
    {"split_high", "高比例", "高比例"},
    {"arch_index_low", "足弓指標 低比例", "足弓指标 低比例"},
    {"arch_index_even", "足弓指標 平均", "足弓指标 平均"},
    {"arch_index_high", "足弓指標 高比例", "足弓指标 高比例"},
    {"left_share", "左足比例", "左足比例"},
    {"navicular_drop", "舟骨下降", "舟骨下降"},
    {"foot_length", "足長", "足长"},
    {"foot_width", "足寬", "足宽"},
    {"hallux_angle", "拇趾角度", "拇趾角度"},
    {"frames", "幀數", "帧数"},
    {"seconds", "記錄秒數", "记录秒数"},
    {"planned_seconds", "設定秒數", "设定秒数"},
    {"stop", "結束方式", "结束方式"},
    {"path_length", "軌跡長度", "轨迹长度"},
    {"mean_velocity", "平均速度", "平均速度"},
    {"range_x", "左右範圍", "左右范围"},
    {"range_y", "前後範圍", "前后范围"},
    {"rms_x", "左右 RMS", "左右 RMS"},
    {"rms_y", "前後 RMS", "前后 RMS"},
    {"ellipse_area", "95% 橢圓面積", "95% 椭圆面积"},
    {"ellipse_semi_major", "橢圓長半軸", "椭圆长半轴"},
    {"ellipse_semi_minor", "橢圓短半軸", "椭圆短半轴"},
    {"ellipse_angle", "橢圓角度", "椭圆角度"},
    {"ellipse_centre_x", "橢圓中心 X", "椭圆中心 X"},
    {"ellipse_centre_y", "橢圓中心 Y", "椭圆中心 Y"},
    {"left_share_mean", "左足負重平均", "左足负重平均"},
    {"left_share_spread", "左足負重變動", "左足负重变动"},
    {"remarks", "備註", "备注"},
};

const Words kSides[] = {{"left", "左", "左"}, {"right", "右", "右"}, {"both", "雙足", "双足"}};

const Words kRoles[] = {
    {"report_pdf", "報表 PDF", "报表 PDF"},
    {"pressure_png", "壓力圖", "压力图"},
    {"balance_bitmap", "平衡圖", "平衡图"},
    {"insole_left_bmp", "鞋墊圖 左", "鞋垫图 左"},
    {"insole_right_bmp", "鞋墊圖 右", "鞋垫图 右"},
    {"insole_left_stl", "鞋墊模型 左", "鞋垫模型 左"},
    {"insole_right_stl", "鞋墊模型 右", "鞋垫模型 右"},
    {"sway_trace_eyes_open", "搖擺軌跡 睜眼", "摇摆轨迹 睁眼"},
    {"sway_trace_eyes_closed", "搖擺軌跡 閉眼", "摇摆轨迹 闭眼"},
};

std::string figureName(const ExaminationFigure& f, bool simplified) {
  std::string name = f.name;
  // "zone_forefoot_left" of the analysis window is the zone of the same name; "case_3" is
  // condition 3.
  if (name.compare(0, 5, "zone_") == 0) {
    name = pick(simplified, "六區 ", "六区 ") + wordsFor(kNames, name.substr(5), simplified);
  } else if (name.compare(0, 5, "case_") == 0) {
    name = pick(simplified, "狀況 ", "状况 ") + name.substr(5);
  } else if (name.compare(0, 6, "level_") == 0) {
    name = pick(simplified, "等級 ", "等级 ") + name.substr(6);
  } else {
    name = wordsFor(kNames, name, simplified);
  }
  if (!f.side.empty()) name += " " + wordsFor(kSides, f.side, simplified);
  return name;
}

const char* unitText(const std::string& unit) {
  if (unit == "deg") return "°";
  if (unit == "mm2") return " mm²";
  if (unit == "%") return "%";
  if (unit.empty()) return "";
  return nullptr;  // the unit as stored, after a space
}

int decimalsFor(double value) {
  const double magnitude = std::fabs(value);
  if (magnitude == std::floor(magnitude)) return 0;
  return magnitude < 10 ? 2 : magnitude < 100 ? 1 : 0;
}

std::string number(double value, int decimals, bool withSign) {
  char text[64];
  // A change too small to show is no change, not "-0.00".
  if (withSign && std::fabs(value) < 0.5 * std::pow(10.0, -decimals)) withSign = false, value = 0;
  std::snprintf(text, sizeof text, withSign ? "%+.*f" : "%.*f", decimals, value);
  return text;
}

std::string valueText(const ExaminationFigure& f) {
  if (!f.value) return f.text.empty() ? "-" : f.text;
  const char* unit = unitText(f.unit);
  const std::string text = number(*f.value, decimalsFor(*f.value), false);
  return unit != nullptr ? text + unit : text + " " + f.unit;
}

const ExaminationFigure* figureOf(const ExaminationRecord& r, const char* group, const char* name,
                                  const char* side) {
  const ExaminationFigure* f = findFigure(r, group, name, side);
  return f != nullptr && ((f->value && *f->value > 0) || !f->text.empty()) ? f : nullptr;
}

std::string valueOrDash(const ExaminationFigure* f, int decimals) {
  return f != nullptr && f->value ? number(*f->value, decimals, false) : "-";
}

// The place of a key in its table; keys the station does not know come after, by name.
template <size_t N>
int rankIn(const Words (&table)[N], const std::string& key) {
  for (size_t rank = 0; rank < N; ++rank) {
    if (key == table[rank].key) return static_cast<int>(rank);
  }
  return static_cast<int>(N);
}

}  // namespace

std::vector<std::string> recordLabels(const std::vector<ExaminationRecord>& records) {
  std::vector<std::string> minutes, labels;
  for (const ExaminationRecord& r : records) minutes.push_back(r.localTime.substr(0, 16));
  for (size_t i = 0; i < records.size(); ++i) {
    size_t first = i, last = i;  // the records of this one's minute
    while (first > 0 && minutes[first - 1] == minutes[i]) --first;
    while (last + 1 < records.size() && minutes[last + 1] == minutes[i]) ++last;
    std::string label = minutes[i];
    if (last > first) label += " (" + std::to_string(last - i + 1) + ")";
    labels.push_back(label);
  }
  return labels;
}

std::string recordLine(const std::string& label, const ExaminationRecord& r, bool simplified) {
  std::string line = label;
  const char* const sides[2] = {"left", "right"};
  for (int foot = 0; foot < 2; ++foot) {
    const char* side = sides[foot];
    line += foot == 0 ? "  左 " : "  右 ";
    const ExaminationFigure* length = figureOf(r, "size", "length", side);
    if (length == nullptr) length = figureOf(r, "analysis", "foot_length", side);
    const ExaminationFigure* width = figureOf(r, "size", "width", side);
    if (width == nullptr) width = figureOf(r, "analysis", "foot_width", side);
    line += valueOrDash(length, 0) + "/" + valueOrDash(width, 0) + "mm ";
    // The arch index of the report, else the one noted with a balance picture.
    const ExaminationFigure* arch = figureOf(r, "arch", "arch_index", side);
    for (const char* noted : {"arch_index_even", "arch_index_low", "arch_index_high"}) {
      if (arch == nullptr) arch = figureOf(r, "balance", noted, side);
    }
    line += pick(simplified, "足弓 ", "足弓 ") + valueOrDash(arch, 2);
    const ExaminationFigure* type = figureOf(r, "arch", "foot_type", side);
    if (type != nullptr)
      line += " " + type->text;
    else if (arch != nullptr)
      line += " " + footTypeText(true, static_cast<float>(*arch->value), !simplified);
  }
  line += pick(simplified, "  左右 ", "  左右 ") +
          valueOrDash(findFigure(r, "shares", "half", "left"), 0) + "/" +
          valueOrDash(findFigure(r, "shares", "half", "right"), 0) + "%";
  if (!r.shop.empty()) line += "  " + r.shop;
  if (r.origin == "import") line += pick(simplified, "  (舊資料)", "  (旧资料)");
  int missing = 0, changed = 0;
  for (const ExaminationFile& file : r.files) {
    missing += file.state == FileState::kMissing;
    changed += file.state == FileState::kChanged;
  }
  if (missing > 0)
    line += "  " + std::to_string(missing) + pick(simplified, " 個檔案遺失", " 个档案遗失");
  if (changed > 0)
    line += "  " + std::to_string(changed) + pick(simplified, " 個檔案已變更", " 个档案已变更");
  return line;
}

std::string rowProblemText(RowProblem problem, int detail, bool simplified) {
  const std::string n = std::to_string(detail);
  switch (problem) {
    case RowProblem::kFieldCount:
      return "有 " + n + pick(simplified, " 欄, 應為 51 欄", " 栏, 应为 51 栏");
    case RowProblem::kNoStamp:
      return pick(simplified, "沒有時間戳", "没有时间戳");
    case RowProblem::kNotANumber:
      return "第 " + n + pick(simplified, " 欄不是數字", " 栏不是数字");
    case RowProblem::kUnclosedQuote:
      return pick(simplified, "引號沒有結束", "引号没有结束");
    case RowProblem::kStrayQuote:
      return "第 " + n + pick(simplified, " 欄有多餘的引號", " 栏有多余的引号");
    case RowProblem::kNone:
      break;
  }
  return std::string();
}

std::string unreadableLine(const DatabaseRow& row, bool simplified) {
  return "第 " + std::to_string(row.line) + pick(simplified, " 行無法讀取 (", " 行无法读取 (") +
         rowProblemText(row.problem, row.problemDetail, simplified) + "): " + row.text;
}

std::string importProblemLine(const ImportProblem& p, bool simplified) {
  const auto problem = static_cast<RowProblem>(p.problem);
  const bool known = p.problem > 0 && p.problem <= static_cast<int>(RowProblem::kStrayQuote);
  return p.source + " 第 " + std::to_string(p.line) +
         pick(simplified, " 行無法讀取 (", " 行无法读取 (") +
         (known ? rowProblemText(problem, p.detail, simplified) : p.reason) + ")";
}

std::string fileStateText(FileState state, bool simplified) {
  switch (state) {
    case FileState::kIntact:
      return pick(simplified, "完好", "完好");
    case FileState::kMissing:
      return pick(simplified, "遺失", "遗失");
    case FileState::kChanged:
      return pick(simplified, "已變更", "已变更");
    case FileState::kUnchecked:
      break;
  }
  return pick(simplified, "檢查中", "检查中");
}

const ExaminationFile* fileWithRole(const ExaminationRecord& record, const std::string& role) {
  for (const ExaminationFile& file : record.files) {
    if (file.role == role) return &file;
  }
  return nullptr;
}

std::vector<ComparisonLine> compareRecords(const ExaminationRecord* earlier,
                                           const ExaminationRecord* later, bool simplified) {
  // Figures by (group rank, group, name, side), each with the earlier and the later one.
  using Key = std::tuple<int, std::string, std::string, std::string>;
  std::map<Key, std::pair<const ExaminationFigure*, const ExaminationFigure*>> figures;
  for (int which = 0; which < 2; ++which) {
    const ExaminationRecord* r = which == 0 ? earlier : later;
    if (r == nullptr) continue;
    for (const ExaminationFigure& f : r->figures) {
      auto& pair = figures[{rankIn(kGroups, f.group), f.group, f.name, f.side}];
      (which == 0 ? pair.first : pair.second) = &f;
    }
  }
  std::vector<ComparisonLine> lines;
  std::string group;
  // A field the operator left empty is kept as 0: a figure neither record has is no line.
  auto held = [](const ExaminationFigure* f) {
    return f != nullptr && ((f->value && *f->value != 0) || !f->text.empty());
  };
  for (const auto& [key, pair] : figures) {
    if (!held(pair.first) && !held(pair.second)) continue;
    if (std::get<1>(key) != group) {
      group = std::get<1>(key);
      lines.push_back({true, wordsFor(kGroups, group, simplified), "", "", ""});
    }
    const ExaminationFigure& any = pair.first != nullptr ? *pair.first : *pair.second;
    ComparisonLine line;
    line.name = figureName(any, simplified);
    line.earlier = pair.first != nullptr ? valueText(*pair.first) : "-";
    line.later = pair.second != nullptr ? valueText(*pair.second) : "-";
    if (pair.first != nullptr && pair.second != nullptr && pair.first->value &&
        pair.second->value) {
      const double a = *pair.first->value, b = *pair.second->value;
      line.change = number(b - a, std::max(decimalsFor(a), decimalsFor(b)), true);
    }
    lines.push_back(line);
  }
  // Files by role, the n-th file of a role against the n-th of the other record.
  std::map<std::tuple<int, int, std::string>, std::pair<std::string, std::string>> files;
  for (int which = 0; which < 2; ++which) {
    const ExaminationRecord* r = which == 0 ? earlier : later;
    if (r == nullptr) continue;
    std::map<std::string, int> seen;
    for (const ExaminationFile& f : r->files) {
      std::string name = wordsFor(kRoles, f.role, simplified);
      const int n = seen[f.role]++;
      if (n > 0) name += " " + std::to_string(n + 1);
      auto& pair = files[{rankIn(kRoles, f.role), n, name}];
      (which == 0 ? pair.first : pair.second) = fileStateText(f.state, simplified);
    }
  }
  if (!files.empty()) lines.push_back({true, pick(simplified, "檔案", "档案"), "", "", ""});
  for (const auto& [key, states] : files) {
    lines.push_back({false, std::get<2>(key), states.first.empty() ? "-" : states.first,
                     states.second.empty() ? "-" : states.second, ""});
  }
  return lines;
}

}  // namespace report
