#include "pedalyx/report/gait_page_layout.h"

#include <algorithm>
#include <cstdio>

namespace report {
namespace {

constexpr GaitColour kStripe = {236, 240, 244};
constexpr GaitColour kRule = {120, 120, 120};

// Text of kGaitTextSize is about half its size wide per Latin character.
int textWidth(const std::string& text) {
  int width = 0;
  for (unsigned char c : text)
    if ((c & 0xC0) != 0x80) width += c < 0x80 ? kGaitTextSize / 2 : kGaitTextSize;
  return width;
}

void layoutBar(GaitPageLayout& l, const std::vector<PhaseSegment>& phases, const char* foot,
               int y) {
  constexpr int left = 730, right = 1120, height = 30;
  l.texts.push_back({660, y + 8, foot});
  l.outlines.push_back({left, y, right, y + height});
  for (const PhaseSegment& s : phases) {
    const Rect r{left + static_cast<int>(s.from * (right - left)), y,
                 left + static_cast<int>(s.to * (right - left)), y + height};
    if (r.right <= r.left) continue;
    l.fills.push_back({r, s.colour});
    // The share under its segment where it fits; the table holds every share anyway.
    const int width = textWidth(s.share);
    if (width + 16 <= r.right - r.left)
      l.texts.push_back({(r.left + r.right - width) / 2, y - kGaitTextSize - 4, s.share});
  }
}

}  // namespace

GaitPageContent gaitPageContent(const GaitResults& r, const GaitPressures& pressures,
                                const unsigned char* colourTable) {
  GaitPageContent c;
  const std::array<int, 2> counted = countedContacts(r);
  const auto dropped = std::count_if(r.contacts.begin(), r.contacts.end(),
                                     [](const GaitContact& k) { return k.dropped; });
  const double seconds =
      r.frames.empty() ? 0 : r.frames.back().seconds - r.frames.front().seconds + r.framePeriod;
  const char* source = pressures.scale.source == PressureSource::Calibrated ? "壓力依校正"
                       : pressures.hasPressures() ? "壓力依體重換算"
                                                  : "未校正，只有壓力級";
  char line[256];
  std::snprintf(line, sizeof line,
                "記錄 %.1f 秒，每秒 %.0f 幀，共 %zu 幀（缺 %lld 幀）；左足 %d 步、右足 %d 步計入，"
                "剔除 %lld 步；%s",
                seconds, r.framePeriod > 0 ? 1 / r.framePeriod : 0.0, r.frames.size(),
                static_cast<long long>(r.framesLost), counted[0], counted[1],
                static_cast<long long>(dropped), source);
  c.recordingLine = line;
  for (FootSide side : {FootSide::Left, FootSide::Right}) {
    const int s = static_cast<int>(side);
    c.pictures[s] = meanFootPicture(r, side, colourTable);
    c.phases[s] = phaseBar(meanPhaseShares(r.summary, side), false);
  }
  c.legend = levelLegend(colourTable, pressures.scale, false);
  c.legendHeading = pressures.hasPressures() ? "峰值壓力圖色階 (kPa)" : "峰值壓力圖色階（壓力級）";
  c.table = gaitFigureTable(r.summary, pressures, false);
  return c;
}

GaitPageLayout layoutGaitPage(const GaitPageContent& c) {
  GaitPageLayout l;
  l.texts.push_back({118, 1616, c.recordingLine});

  // Under the first section's bar: both mean pictures at one scale, their shape kept.
  constexpr int pictureTop = 1490, pictureWidth = 200;
  constexpr int pictureHeight = pictureWidth * kGaitPictureHeight / kGaitPictureWidth;
  const int lefts[2] = {130, 380};
  const char* const feet[2] = {"左足", "右足"};
  for (int s = 0; s < 2; ++s) {
    l.pictures[s] = {lefts[s], pictureTop - pictureHeight, lefts[s] + pictureWidth, pictureTop};
    l.texts.push_back({lefts[s], pictureTop + 12, feet[s]});
    if (c.pictures[s].empty()) {
      l.outlines.push_back(l.pictures[s]);
      l.texts.push_back({lefts[s] + 20, pictureTop - pictureHeight / 2, "沒有計入的步"});
    }
  }

  l.texts.push_back({660, 1500, "接觸期（平均，占接觸時間）"});
  layoutBar(l, c.phases[0], feet[0], 1440);
  layoutBar(l, c.phases[1], feet[1], 1370);
  for (size_t k = 0; k < c.phases[0].size(); ++k) {
    const int x = k % 2 == 0 ? 660 : 880, y = k < 2 ? 1300 : 1268;
    l.fills.push_back({{x, y - 4, x + 24, y + 18}, c.phases[0][k].colour});
    l.texts.push_back({x + 32, y, c.phases[0][k].name});
  }

  l.texts.push_back({660, 1222, c.legendHeading});
  int y = 1188;
  for (size_t k = c.legend.size(); k-- > 0; y -= 30) {
    const Rect swatch{660, y - 5, 700, y + 19};
    l.fills.push_back({swatch, c.legend[k].colour});
    l.outlines.push_back(swatch);
    l.texts.push_back({712, y, c.legend[k].text});
  }

  // Under the second section's bar, the table: a rule under its heading, every other row on a
  // light stripe, as many rows as the page holds.
  const int columns[4] = {130, 580, 790, 1000};
  constexpr int pitch = kGaitTextSize * 13 / 10;
  y = kGaitPageSections[1].bar.bottom - 35;
  for (size_t r = 0; r < c.table.size() && y > 40; ++r, y -= pitch) {
    if (r == 0) l.fills.push_back({{120, y - 9, 1120, y - 7}, kRule});
    if (r > 0 && r % 2 == 0) l.fills.push_back({{120, y - 7, 1120, y + pitch - 7}, kStripe});
    for (int k = 0; k < 4; ++k)
      if (!c.table[r][k].empty()) l.texts.push_back({columns[k], y, c.table[r][k]});
  }
  return l;
}

}  // namespace report
