#include "pedalyx/imaging/gait_tables.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "pedalyx/imaging/gait_figure_names.h"

namespace {

std::string formatted(const char* pattern, double value) {
  char text[48];
  std::snprintf(text, sizeof text, pattern, value);
  return text;
}

// Contact times in whole milliseconds, everything else to a tenth.
const char* patternOf(GaitFigure figure) {
  return figure == GaitFigure::ContactMs ? "%.0f" : "%.1f";
}

std::string spreadText(const FigureSpread& s, const char* pattern) {
  if (s.count == 0) return "-";
  std::string text = formatted(pattern, s.mean);
  if (s.count > 1) text += " ± " + formatted(pattern, s.spread);
  return text;
}

std::string differenceText(const std::optional<double>& d, const char* pattern) {
  if (!d) return "-";
  // A difference that rounds to nothing has no sign.
  const std::string plain = formatted(pattern, std::fabs(*d));
  if (plain.find_first_not_of("0.") == std::string::npos) return plain;
  return (*d < 0 ? "-" : "+") + plain;
}

std::string withUnit(const std::string& name, const char* unit) { return name + " (" + unit + ")"; }

const char* peakName(bool simplified) { return simplified ? "峰值压力" : "峰值壓力"; }
const char* integralName(bool simplified) { return simplified ? "压力时间积分" : "壓力時間積分"; }
const char* const kWholeFoot = "全足";  // the same in both forms

std::string regionName(int region, bool simplified) {
  return region == kGaitKpaFootRegion ? kWholeFoot
                                      : gaitZoneText(static_cast<GaitZone>(region), simplified);
}

}  // namespace

std::array<int, 2> countedContacts(const GaitResults& results) {
  std::array<int, 2> counted{};
  for (const GaitContact& c : results.contacts)
    if (c.counted()) ++counted[static_cast<int>(c.side())];
  return counted;
}

std::vector<GaitTableRow> gaitFigureTable(const GaitSummary& summary,
                                          const GaitPressures& pressures, bool simplified) {
  std::vector<GaitTableRow> rows;
  const int contacts[2] = {summary.left[0].count, summary.right[0].count};
  // The same words in both forms.
  rows.push_back({"", "左足 (" + std::to_string(contacts[0]) + " 步)",
                  "右足 (" + std::to_string(contacts[1]) + " 步)", "左 − 右"});
  for (int k = 0; k < kGaitFigureCount; ++k) {
    const auto figure = static_cast<GaitFigure>(k);
    const char* pattern = patternOf(figure);
    rows.push_back({withUnit(gaitFigureText(figure, simplified), shownUnit(figure)),
                    spreadText(summary.left[k], pattern), spreadText(summary.right[k], pattern),
                    differenceText(summary.difference(figure), pattern)});
  }
  if (!pressures.hasPressures()) return rows;
  // Under a heading row each: the whole foot first, then the zones heel to forefoot.
  for (GaitKpaFigure figure : {GaitKpaFigure::Peak, GaitKpaFigure::Integral}) {
    const bool peak = figure == GaitKpaFigure::Peak;
    const char* pattern = peak ? "%.0f" : "%.1f";
    rows.push_back(
        {withUnit(peak ? peakName(simplified) : integralName(simplified), peak ? "kPa" : "kPa·s"),
         "", "", ""});
    for (int n = 0; n < kGaitKpaRegions; ++n) {
      const int region = (n + kGaitKpaFootRegion) % kGaitKpaRegions;
      rows.push_back({"  " + regionName(region, simplified),
                      spreadText(pressures.spread(FootSide::Left, region, figure), pattern),
                      spreadText(pressures.spread(FootSide::Right, region, figure), pattern),
                      differenceText(pressures.difference(region, figure), pattern)});
    }
  }
  return rows;
}

std::vector<GaitTableRow> contactKpaTable(const ContactKpa& contact, bool simplified) {
  std::vector<GaitTableRow> rows;
  if (!contact.measured) return rows;
  rows.push_back(
      {"", withUnit(peakName(simplified), "kPa"), withUnit(integralName(simplified), "kPa·s"), ""});
  for (int n = 0; n < kGaitKpaRegions; ++n) {
    const int region = (n + kGaitKpaFootRegion) % kGaitKpaRegions;
    rows.push_back({regionName(region, simplified),
                    formatted("%.0f", *kpaFigureValue(contact, region, GaitKpaFigure::Peak)),
                    formatted("%.1f", *kpaFigureValue(contact, region, GaitKpaFigure::Integral)),
                    ""});
  }
  return rows;
}

std::string contactListHeading(bool simplified) {
  return simplified ? "序号\t足\t开始 (s)\t接触 (ms)\t足偏角 (°)\t备注"
                    : "序號\t足\t開始 (s)\t接觸 (ms)\t足偏角 (°)\t備註";
}

std::string contactListLine(const GaitResults& results, size_t index, bool simplified) {
  const GaitContact& c = results.contacts[index];
  const ContactFigures& f = results.figures[index];
  const double origin = results.frames.empty() ? 0 : results.frames.front().seconds;
  std::string line = std::to_string(index + 1) + "\t";
  line += c.side() == FootSide::Left ? "左" : "右";
  line += "\t" + formatted("%.2f", c.frames.empty() ? 0 : c.frames.front().seconds - origin);
  line += "\t" + formatted("%.0f", f.contactMs);
  line += "\t" + (f.valid ? formatted("%.1f", f.progressionDegrees) : std::string("-"));
  std::string notes;
  auto note = [&](const char* traditional, const char* simplifiedText) {
    if (!notes.empty()) notes += "、";
    notes += simplified ? simplifiedText : traditional;
  };
  if (c.dropped) note("剔除", "剔除");
  if (c.sideSwapped) note("已換邊", "已换边");
  if (c.cutAtStart) note("開始時已在板上", "开始时已在板上");
  if (c.cutAtEnd) note("結束時仍在板上", "结束时仍在板上");
  if (!f.valid) note("找不到足軸", "找不到足轴");
  return line + "\t" + notes;
}

std::string contactCountText(int left, int right, bool simplified) {
  std::string text = "左足 " + std::to_string(left) + " 步，右足 " + std::to_string(right) + " 步";
  if (left < kWantedContactsPerFoot || right < kWantedContactsPerFoot) {
    char more[96];
    std::snprintf(
        more, sizeof more,
        simplified ? "（每足至少需要 %d 步，请再走几趟）" : "（每足至少需要 %d 步，請再走幾趟）",
        kWantedContactsPerFoot);
    text += more;
  }
  return text;
}
