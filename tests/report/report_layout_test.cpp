#include "pedalyx/report/report_layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <map>

#include "pedalyx/report/pressure_section_layout.h"

using namespace report;

namespace {

std::map<std::pair<int, int>, std::string> textsByPosition(const std::vector<PlacedText>& texts) {
  std::map<std::pair<int, int>, std::string> map;
  for (const auto& t : texts) {
    EXPECT_EQ(map.count({t.x, t.y}), 0u) << "two texts at " << t.x << "," << t.y;
    map[{t.x, t.y}] = t.text;
  }
  return map;
}

bool sameRect(const Rect& a, const Rect& b) {
  return a.left == b.left && a.bottom == b.bottom && a.right == b.right && a.top == b.top;
}

}  // namespace

TEST(ReportShoeTypeDots, FollowTheArchInputsWithControlTypeFirst) {
  auto control = shoeTypeDots(0.26, 0.24);
  ASSERT_EQ(control.size(), 1u);
  EXPECT_EQ(control[0].x, 316);
  EXPECT_EQ(control[0].y, 140);

  auto superStable = shoeTypeDots(0.25, 0.20);
  ASSERT_EQ(superStable.size(), 1u);
  EXPECT_EQ(superStable[0].x, 740);
  EXPECT_EQ(superStable[0].y, 211);

  auto basic = shoeTypeDots(0.22, 0.25);
  ASSERT_EQ(basic.size(), 2u);
  EXPECT_EQ(basic[0].x, 316);
  EXPECT_EQ(basic[1].x, 547);
  EXPECT_EQ(basic[1].y, 211);

  // A flat foot on one side wins over a high arch on the other.
  EXPECT_EQ(shoeTypeDots(0.18, 0.31).at(0).y, 140);
}

TEST(ReportMarks, FootTypeAndBalanceMarksLandOnTheirPictures) {
  EXPECT_TRUE(sameRect(footTypeMark(2, true), {377, 604, 442, 669}));
  EXPECT_TRUE(sameRect(footTypeMark(5, false), {796, 604, 861, 669}));
  EXPECT_TRUE(sameRect(footTypeMark(0, true), {175, 604, 240, 669}));
  EXPECT_TRUE(sameRect(footTypeMark(7, false), {998, 604, 1063, 669}));

  EXPECT_TRUE(sameRect(balanceMark(48, 52), {160, 1349, 220, 1409}));
  EXPECT_TRUE(sameRect(balanceMark(45, 55), {160, 1099, 220, 1159}));
  EXPECT_EQ(balanceMark(53, 47).bottom, 1249);
  EXPECT_EQ(balanceMark(52.5, 47.5).bottom, 1249);  // exactly 5 apart
  EXPECT_EQ(balanceMark(55.01, 44.99).bottom, 1099);
}

TEST(ReportRemark, LinesStepDownAndLongTextIsCutBetweenCharacters) {
  auto lines = remarkLines("a\nb");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].text, "a");
  EXPECT_EQ(lines[0].x, 165);
  EXPECT_EQ(lines[0].y, 259);
  EXPECT_EQ(lines[1].text, "b");
  EXPECT_EQ(lines[1].y, 224);

  // 66 three-byte characters (198 bytes) and one more: the cut must not split the 67th.
  std::string chinese;
  for (int i = 0; i < 67; ++i) chinese += "腳";
  auto cut = remarkLines(chinese);
  ASSERT_EQ(cut.size(), 1u);
  EXPECT_EQ(cut[0].text.size(), 198u);

  std::string ascii(250, 'x');
  EXPECT_EQ(remarkLines(ascii)[0].text.size(), kMaxRemarkBytes);
  EXPECT_EQ(remarkLines("").size(), 1u);
}

TEST(ReportPageOne, EveryValueIsFormattedAtItsPosition) {
  ReportValues v;
  v.birthYear = "1980";
  v.birthMonth = "7";
  v.genderItem = 1;
  v.phone = "0987 654";
  v.email = "a@b.tw";
  v.leftLength = 252.96;
  v.leftWidth = 98.04;
  v.rightLength = 255;
  v.rightWidth = 99.5;
  v.leftArch = 0.254;
  v.rightArch = 0.256;
  for (int i = 0; i < 12; ++i) v.zones[i] = 10 + i + 0.9;
  v.shareLeft = 48.7;
  v.shareRight = 51.3;
  v.shoeSize = "25.5";

  auto page = layoutPageOne(v);
  auto texts = textsByPosition(page.texts);
  auto at = [&](int x, int y) { return texts[{x, y}]; };
  EXPECT_EQ(at(840, 1589), "1980/7");
  EXPECT_EQ(at(615, 1589), "女");
  EXPECT_EQ(at(235, 1589), "0987 654");  // as typed
  EXPECT_EQ(at(335, 1539), "a@b.tw");
  EXPECT_EQ(at(790, 1349), "253.0 mm");
  EXPECT_EQ(at(790, 1299), "98.0 mm");
  EXPECT_EQ(at(952, 1349), "255.0 mm");
  EXPECT_EQ(at(952, 1299), "99.5 mm");
  EXPECT_EQ(at(816, 1146), "0.25");
  EXPECT_EQ(at(966, 1146), "0.26");
  // Left foot: zones 0, 2, 4 in the left column; right foot zones 7, 9, 11 in the last.
  EXPECT_EQ(at(765, 1021), "10%");
  EXPECT_EQ(at(765, 950), "12%");
  EXPECT_EQ(at(765, 882), "14%");
  EXPECT_EQ(at(851, 1021), "11%");
  EXPECT_EQ(at(937, 1021), "16%");
  EXPECT_EQ(at(1023, 882), "21%");
  EXPECT_EQ(at(800, 762), "48%");
  EXPECT_EQ(at(974, 762), "51%");
  EXPECT_EQ(at(380, 274), "25.5");
  EXPECT_EQ(page.texts.size(), 25u);

  EXPECT_TRUE(sameRect(page.pictureBackground, {118, 732, 678, 1212}));
  EXPECT_TRUE(sameRect(page.picture, {158, 732, 638, 1212}));

  v.genderItem = -1;
  EXPECT_EQ(layoutPageOne(v).texts.size(), 24u);  // no gender chosen: nothing written
}

// Page 2's sway section: the rows of the figures table stand apart, below the pictures and
// inside the section. A text's box reaches nine tenths of an em above its base line and a fifth
// below it (the report font's glyphs and parentheses).
TEST(ReportSwaySection, TableRowsStandApartBelowThePictures) {
  std::vector<std::array<std::string, 4>> table(8, {"figure", "1.0", "2.0", "2.00"});
  const SwaySectionLayout l = layoutSwaySection(table);
  const Rect pictures[] = {l.plateOpen, l.plateClosed, l.stabilogramOpen, l.stabilogramClosed};
  auto boxOf = [](const PlacedText& t, int size) {
    return Rect{t.x, t.y - size / 5, t.x + size, t.y + size * 9 / 10};
  };
  ASSERT_EQ(l.tableTexts.size(), 4 * table.size()) << "every row fits";
  int lowestPicture = l.cover.top;
  for (const Rect& picture : pictures) lowestPicture = std::min(lowestPicture, picture.bottom);
  for (size_t row = 0; row < table.size(); ++row) {
    const PlacedText& first = l.tableTexts[4 * row];
    for (int c = 1; c < 4; ++c) EXPECT_EQ(l.tableTexts[4 * row + c].y, first.y);
    const Rect box = boxOf(first, kSwayTableTextSize);
    if (row == 0) {
      EXPECT_LE(box.top, lowestPicture - 4);
    }
    if (row + 1 < table.size()) {
      const Rect next = boxOf(l.tableTexts[4 * row + 4], kSwayTableTextSize);
      EXPECT_GE(box.bottom - next.top, 4) << "rows " << row << " and " << row + 1 << " touch";
    }
    EXPECT_GE(box.bottom, l.cover.bottom);
  }
}

// Page 2 between the balance section and the remarks holds the pressure table, the sway
// section, or both: no section reaches the lowest balance frame or the remarks' bar, the two
// do not overlap, and every text lies inside its section (the table's last row too).
TEST(ReportPageTwoSections, PressureAndSwayShareThePageWithoutOverlap) {
  PressureFigures figures;
  figures.source = PressureSource::ScaledToBodyWeight;
  const PressureTable table = pressureTable(figures);
  const std::vector<std::array<std::string, 4>> swayRows(8, {"figure", "1.0", "2.0", "2.00"});
  auto inside = [](int y, int size, const Rect& r) {
    return y - size / 5 >= r.bottom && y + size * 9 / 10 <= r.top;
  };
  for (bool withSway : {false, true}) {
    SCOPED_TRACE(withSway ? "with a sway recording" : "pressure alone");
    const PressureSectionLayout p = layoutPressureSection(table, "source", "weight", withSway);
    EXPECT_LE(p.cover.top, kPageTwoFreeTop);
    EXPECT_GE(p.cover.bottom, kPageTwoFreeBottom);
    ASSERT_EQ(p.tableTexts.size(),
              2 + 2 + 2 * 2 * kPressureColumns + 7 * (1 + 2 * kPressureColumns));
    for (const AnchoredText& t : p.tableTexts)
      EXPECT_TRUE(inside(t.y, kPressureTableTextSize, p.cover)) << t.text << " at " << t.y;
    for (const PlacedText& t : p.texts) EXPECT_TRUE(inside(t.y, 30, p.cover)) << t.text;
    if (!withSway) {
      // The legend below keeps its bar and the pressures written above it.
      EXPECT_GT(p.cover.bottom, kLevelLegendBar.top + 40);
      continue;
    }
    const SwaySectionLayout s = layoutSwaySection(swayRows, true);
    EXPECT_LE(s.cover.top, p.cover.bottom) << "the sway section reaches into the pressure table";
    EXPECT_GE(s.cover.bottom, kPageTwoFreeBottom);
    EXPECT_EQ(s.tableTexts.size(), 4 * swayRows.size()) << "every sway row fits";
    for (const PlacedText& t : s.tableTexts) EXPECT_TRUE(inside(t.y, s.tableTextSize, s.cover));
    for (const PlacedText& t : s.texts) EXPECT_TRUE(inside(t.y, 30, s.cover)) << t.text;
    for (const Rect& r : {s.plateOpen, s.plateClosed, s.stabilogramOpen, s.stabilogramClosed}) {
      EXPECT_GE(r.bottom, s.cover.bottom);
      EXPECT_LE(r.top, s.cover.top);
      // The table stands beside the plate traces and above the stabilograms.
      for (const PlacedText& t : s.tableTexts) {
        const bool overlaps = t.x < r.right && t.x + 100 > r.left &&
                              t.y - s.tableTextSize / 5 < r.top && t.y + s.tableTextSize > r.bottom;
        EXPECT_FALSE(overlaps) << t.text << " at " << t.x << "," << t.y;
      }
    }
  }
}

TEST(ReportNumbers, HostileValuesNeitherOverflowNorCrash) {
  EXPECT_EQ(truncateToInt(52.9), 52);
  EXPECT_EQ(truncateToInt(-3.7), -3);
  EXPECT_EQ(truncateToInt(1e300), INT_MAX);
  EXPECT_EQ(truncateToInt(-1e300), INT_MIN);
  EXPECT_EQ(truncateToInt(std::nan("")), 0);

  ReportValues v;
  v.leftLength = 1e300;  // narrowed to single precision: infinity, not a crash
  v.zones[0] = 1e40;
  auto texts = textsByPosition(layoutPageOne(v).texts);
  auto at = [&](int x, int y) { return texts[{x, y}]; };
  EXPECT_EQ(at(790, 1349), "inf mm");
  EXPECT_EQ(at(765, 1021), "2147483647%");
}
