#include "pedalyx/report/report_layout.h"

#include <climits>
#include <cmath>
#include <cstdio>

#include "pedalyx/report/foot_type_classifier.h"

namespace report {
namespace {

std::string formatted(const char* format, double value) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

// Measurements are shown at single precision, as the measuring tools store them.
std::string millimetres(double value) {
  return formatted("%0.1f mm", static_cast<double>(static_cast<float>(value)));
}

std::string percent(double value) { return std::to_string(truncateToInt(value)) + "%"; }

}  // namespace

int truncateToInt(double value) {
  if (std::isnan(value)) return 0;
  if (value >= static_cast<double>(INT_MAX)) return INT_MAX;
  if (value <= static_cast<double>(INT_MIN)) return INT_MIN;
  return static_cast<int>(value);
}

std::vector<Point> shoeTypeDots(double leftArch, double rightArch) {
  // A flat foot asks for the control type, a high arch for the super-stable type.
  if (leftArch >= kNormalBelow || rightArch >= kNormalBelow) return {{316, 140}};
  if (leftArch < kHighArchedBelow || rightArch < kHighArchedBelow) return {{740, 211}};
  return {{316, 211}, {547, 211}};  // basic-function type
}

Rect footTypeMark(float column, bool leftFoot) {
  float left = leftFoot ? 101 * column + 175 : 101 * (column - 4) + 695;
  int x = static_cast<int>(left);
  return {x, 604, x + 65, 669};
}

Rect balanceMark(double shareLeft, double shareRight) {
  double difference = std::fabs(shareLeft - shareRight);
  int bottom = difference < 5 ? 1349 : difference < 10 ? 1249 : 1099;
  return {160, bottom, 220, bottom + 60};
}

std::vector<PlacedText> remarkLines(const std::string& remarks) {
  std::string text = cutAtCharacterBoundary(remarks, kMaxRemarkBytes);
  std::vector<PlacedText> lines;
  size_t start = 0;
  for (int y = 259;; y -= 35) {
    size_t end = text.find('\n', start);
    lines.push_back({165, y, text.substr(start, end == std::string::npos ? end : end - start)});
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return lines;
}

PageOneLayout layoutPageOne(const ReportValues& v) {
  PageOneLayout page;
  auto& t = page.texts;
  t.push_back({840, 1589, v.birthYear + "/" + v.birthMonth});
  if (v.genderItem == 0) t.push_back({615, 1589, "男"});
  if (v.genderItem == 1) t.push_back({615, 1589, "女"});
  t.push_back({235, 1589, v.phone});
  t.push_back({335, 1539, v.email});

  t.push_back({790, 1349, millimetres(v.leftLength)});
  t.push_back({790, 1299, millimetres(v.leftWidth)});
  t.push_back({952, 1349, millimetres(v.rightLength)});
  t.push_back({952, 1299, millimetres(v.rightWidth)});
  t.push_back({816, 1146, formatted("%0.2f", static_cast<float>(v.leftArch))});
  t.push_back({966, 1146, formatted("%0.2f", static_cast<float>(v.rightArch))});

  // Zones come in rows of two per foot: forefoot, middle, heel from the top.
  const int rowY[3] = {1021, 950, 882};
  const int columnX[4] = {765, 851, 937, 1023};
  for (int foot = 0; foot < 2; ++foot)
    for (int row = 0; row < 3; ++row)
      for (int side = 0; side < 2; ++side)
        t.push_back(
            {columnX[foot * 2 + side], rowY[row], percent(v.zones[foot * 6 + row * 2 + side])});

  t.push_back({800, 762, percent(v.shareLeft)});
  t.push_back({974, 762, percent(v.shareRight)});
  t.push_back({380, 274, v.shoeSize});

  page.pictureBackground = {118, 732, 678, 1212};
  page.picture = {158, 732, 638, 1212};
  page.leftFootTypeMark = footTypeMark(v.leftColumn, true);
  page.rightFootTypeMark = footTypeMark(v.rightColumn, false);
  page.shoeTypeDots = shoeTypeDots(v.leftArch, v.rightArch);
  return page;
}

namespace {

// Below the pressure section: heading, plate traces with the table beside them, stabilograms.
SwaySectionLayout compactSwaySection(const std::vector<std::array<std::string, 4>>& table) {
  SwaySectionLayout l;
  l.cover = {118, 372, 1122, kSwayBelowPressureTop};
  l.texts.push_back({140, 706, "重心搖擺：站立時足底壓力中心的晃動（睜眼 / 閉眼）"});
  l.plateOpen = {140, 500, 310, 690};
  l.plateClosed = {322, 500, 492, 690};
  l.texts.push_back({150, 657, "睜眼"});
  l.texts.push_back({332, 657, "閉眼"});
  l.stabilogramOpen = {140, 382, 612, 488};
  l.stabilogramClosed = {628, 382, 1100, 488};
  l.tableTextSize = kSwayLabelTextSize;
  const int columns[4] = {512, 722, 865, 1010};
  const int pitch = 24;
  int y = 675;
  for (const auto& row : table) {
    if (y - l.tableTextSize / 4 < l.plateOpen.bottom) break;
    for (int c = 0; c < 4; ++c) l.tableTexts.push_back({columns[c], y, row[c]});
    y -= pitch;
  }
  return l;
}

}  // namespace

SwaySectionLayout layoutSwaySection(const std::vector<std::array<std::string, 4>>& table,
                                    bool belowPressure) {
  if (belowPressure) return compactSwaySection(table);
  SwaySectionLayout l;
  l.cover = {118, 372, 1122, 1010};
  l.texts.push_back({140, 970, "重心搖擺：站立時足底壓力中心的晃動（睜眼 / 閉眼）"});
  l.plateOpen = {140, 640, 420, 940};
  l.plateClosed = {440, 640, 720, 940};
  l.stabilogramOpen = {740, 795, 1100, 940};
  l.stabilogramClosed = {740, 640, 1100, 785};
  l.texts.push_back({150, 905, "睜眼"});
  l.texts.push_back({450, 905, "閉眼"});
  // Four columns below the pictures, a row pitch of four thirds of a line, as many rows as the
  // section holds above its bottom edge.
  const int columns[4] = {150, 540, 760, 960};
  const int pitch = kSwayTableTextSize * 4 / 3;
  int y = 610;
  for (const auto& row : table) {
    if (y - kSwayTableTextSize / 4 < l.cover.bottom) break;
    for (int c = 0; c < 4; ++c) l.tableTexts.push_back({columns[c], y, row[c]});
    y -= pitch;
  }
  return l;
}

PageTwoLayout layoutPageTwo(const ReportValues& v) {
  return {balanceMark(v.shareLeft, v.shareRight), remarkLines(v.remarks)};
}

}  // namespace report
