#include "pedalyx/report/pressure_section_layout.h"

namespace report {
namespace {

constexpr int kRegionX = 140;
constexpr int kFirstColumnRight = 330;  // the right edge of the left foot's first column
constexpr int kColumnWidth = 80;
constexpr int kFootGap = 24;

int columnRight(int foot, int column) {
  return kFirstColumnRight + foot * (kPressureColumns * kColumnWidth + kFootGap) +
         column * kColumnWidth;
}

}  // namespace

PressureSectionLayout layoutPressureSection(const PressureTable& table, const std::string& source,
                                            const std::string& weightLine, bool aboveSway) {
  PressureSectionLayout l;
  // Beside a sway section the rows stand closer so that both fit between balance and remarks.
  const int top = aboveSway ? kPageTwoFreeTop : 1010;
  const int bottom = aboveSway ? kSwayBelowPressureTop : 650;
  const int pitch = aboveSway ? 25 : 26;
  l.cover = {118, bottom, 1122, top};
  int y = top - 36;
  l.texts.push_back({kRegionX, y, "足底壓力"});
  l.tableTexts.push_back({kRegionX + 150, y, source});
  y -= 32;
  l.tableTexts.push_back({kRegionX, y, weightLine});
  y -= aboveSway ? 32 : 36;
  const char* feet[2] = {"左腳", "右腳"};
  for (int foot = 0; foot < 2; ++foot) {
    const int left = columnRight(foot, 0) - kColumnWidth, right = columnRight(foot, 4);
    l.tableTexts.push_back({(left + right) / 2, y, feet[foot], Anchor::Centre});
    l.rules.push_back({left + 8, y - 8, right, y - 7});
  }
  y -= 26;
  for (int foot = 0; foot < 2; ++foot)
    for (int c = 0; c < kPressureColumns; ++c) {
      l.tableTexts.push_back({columnRight(foot, c), y, table.names[c], Anchor::End});
      l.tableTexts.push_back({columnRight(foot, c), y - 23, table.units[c], Anchor::End});
    }
  y -= 23;
  l.rules.push_back({kRegionX, y - 8, columnRight(1, 4), y - 7});
  y -= pitch + 4;
  for (size_t r = 0; r < table.rows.size(); ++r) {
    const PressureTable::Row& row = table.rows[r];
    l.tableTexts.push_back({kRegionX, y, row.region});
    for (int foot = 0; foot < 2; ++foot)
      for (int c = 0; c < kPressureColumns; ++c)
        l.tableTexts.push_back({columnRight(foot, c), y, row.cells[foot][c], Anchor::End});
    y -= pitch;
  }
  return l;
}

int levelLegendX(int level) {
  const int width = kLevelLegendBar.right - kLevelLegendBar.left;
  return kLevelLegendBar.left + level * width / 255;
}

std::vector<AnchoredText> layoutLegendPressures(const std::array<std::string, 6>& bounds) {
  std::vector<AnchoredText> texts;
  if (bounds[0].empty()) return texts;
  const int y = kLevelLegendBar.top + 18;  // above the ticks, which reach 10 past the bar
  for (size_t i = 0; i < bounds.size(); ++i) {
    const Anchor anchor = i == 0                   ? Anchor::Start
                          : i + 1 == bounds.size() ? Anchor::End
                                                   : Anchor::Centre;
    const std::string text = i + 1 == bounds.size() ? bounds[i] + " kPa" : bounds[i];
    texts.push_back({levelLegendX(kLevelLegendTicks[i]), y, text, anchor});
  }
  return texts;
}

}  // namespace report
