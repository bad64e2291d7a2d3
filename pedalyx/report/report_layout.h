// Where every value of the customer report lands on the two A4 pages, as plain data.
// Coordinates are page pixels (1240 x 1754 at 150 dpi), origin at the bottom-left corner,
// y upwards; a text position is the start of its base line.
#pragma once
#include <array>
#include <string>
#include <vector>

#include "platform/text_encoding.h"

namespace report {

constexpr int kPageWidth = 1240;
constexpr int kPageHeight = 1754;
// Size of the pressure pictures taken for the report (pixels).
constexpr int kPictureWidth = 320;
constexpr int kPictureHeight = 335;
// The remark area takes at most this many bytes of the remark text.
constexpr size_t kMaxRemarkBytes = 199;

// The values one report shows, read from the controls at the moment of the capture.
struct ReportValues {
  std::string birthYear, birthMonth, phone, email;
  int genderItem = 0;  // 0 male, 1 female, anything else: no gender chosen
  double leftLength = 0, leftWidth = 0, rightLength = 0, rightWidth = 0;
  double leftArch = 0, rightArch = 0;
  std::array<double, 12> zones{};  // forefoot, middle, heel rows; left foot 0..5, right 6..11
  double shareLeft = 0, shareRight = 0;
  std::string shoeSize;
  float leftColumn = 0, rightColumn = 4;  // foot-type columns: left 0..3, right 4..7
  std::string remarks;
};

struct PlacedText {
  int x, y;
  std::string text;
};

struct Rect {
  int left, bottom, right, top;
};

struct Point {
  int x, y;
};

struct PageOneLayout {
  std::vector<PlacedText> texts;
  Rect pictureBackground;  // blue behind the square-scaled pressure picture
  Rect picture;            // the marked pressure picture, 480 x 480
  Rect leftFootTypeMark, rightFootTypeMark;
  std::vector<Point> shoeTypeDots;
};

struct PageTwoLayout {
  Rect balanceMark;
  std::vector<PlacedText> remarkLines;
};

// Text sizes (em, page pixels) of the sway section: its heading and captions are in the
// report's 30-pixel text, the figures table and the pictures' labels smaller.
constexpr int kSwayTableTextSize = 24;
constexpr int kSwayLabelTextSize = 20;

// The sway section of page 2, over the notes and the level legend when a stance was recorded:
// the eyes-open and eyes-closed plate traces side by side, their stabilograms (titled with
// their stance) to the right and the figures table below. Below the pressure section
// (`belowPressure`) it is shorter: smaller plate traces with the table beside them and the
// stabilograms side by side under both.
struct SwaySectionLayout {
  Rect cover;                          // painted white first
  std::vector<PlacedText> texts;       // heading and captions, in the report's text
  std::vector<PlacedText> tableTexts;  // the figures table, tableTextSize
  int tableTextSize = kSwayTableTextSize;
  Rect plateOpen, plateClosed;
  Rect stabilogramOpen, stabilogramClosed;
};
// `table`: rows of four cells (figure, eyes open, eyes closed, Romberg quotient).
SwaySectionLayout layoutSwaySection(const std::vector<std::array<std::string, 4>>& table,
                                    bool belowPressure = false);

// Page 2 between the balance section and the remarks: what its sections may cover. With both
// sections the pressure section lies above kSwayBelowPressureTop, the sway section below it.
constexpr int kPageTwoFreeTop = 1082;    // below the lowest balance frame
constexpr int kPageTwoFreeBottom = 368;  // above the remarks' bar
constexpr int kSwayBelowPressureTop = 745;

PageOneLayout layoutPageOne(const ReportValues& values);
PageTwoLayout layoutPageTwo(const ReportValues& values);

// Rules exposed for tests and for the pages' legends.
std::vector<Point> shoeTypeDots(double leftArch, double rightArch);
Rect footTypeMark(float column, bool leftFoot);
Rect balanceMark(double shareLeft, double shareRight);
std::vector<PlacedText> remarkLines(const std::string& remarks);

// Truncates toward zero like a cast to int, but maps NaN to 0 and clamps out-of-range values
// instead of overflowing (the value fields accept any number the operator types).
int truncateToInt(double value);

using platform::cutAtCharacterBoundary;

}  // namespace report
