// Draws the report's installation pictures into the folder given as argv[1]:
// "Origin_page1.png" and "Origin_page2.png" (the two A4 page templates, 1240 x 1754 at
// 150 dpi), "Origin_page3.png" (the walking page's template), "mark.png" (the selection mark),
// "save.png" and "next.png" (button pictures). Every value the report view writes lands in a
// labelled box of the templates; the boxes are placed from the same page coordinates the view uses
// (origin bottom-left, y upwards).
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>
#include <string>
#include <vector>

#include "pedalyx/report/pressure_section_layout.h"
#include "pedalyx/report/gait_page_layout.h"
#include "pedalyx/report/report_font.h"
#include "pedalyx/report/report_layout.h"

namespace {

using report::kPageHeight;
using report::kPageWidth;

const cv::Scalar kTeal(128, 128, 0);  // BGR; the report view clears to the same teal
const cv::Scalar kInk(60, 60, 60);
const cv::Scalar kLabelInk(90, 90, 90);
const cv::Scalar kRule(175, 175, 175);
const cv::Scalar kLabelFill(238, 240, 232);
const cv::Scalar kWhite(255, 255, 255);

// A FreeType face that letters UTF-8 text into BGR pictures.
class Lettering {
 public:
  explicit Lettering(bool bold) {
    report::FontFile file = report::findSystemCjkFont(bold);
    if (FT_Init_FreeType(&library_) != 0 || file.path.empty() ||
        FT_New_Face(library_, file.path.c_str(), file.faceIndex, &face_) != 0) {
      std::fprintf(stderr, "make_report_assets: no Chinese font found\n");
      face_ = nullptr;
    }
  }
  ~Lettering() {
    if (face_ != nullptr) FT_Done_Face(face_);
    FT_Done_FreeType(library_);
  }
  bool usable() const { return face_ != nullptr; }

  int width(const std::string& text, int size) { return render(nullptr, text, 0, 0, size, {}); }

  // Writes text with its base line at image row `baseline`, starting at column x.
  void write(cv::Mat& image, const std::string& text, int x, int baseline, int size,
             cv::Scalar colour) {
    render(&image, text, x, baseline, size, colour);
  }

 private:
  int render(cv::Mat* image, const std::string& text, int x, int baseline, int size,
             cv::Scalar colour) {
    if (face_ == nullptr) return 0;
    FT_Set_Pixel_Sizes(face_, 0, size);
    int pen = x;
    for (size_t i = 0; i < text.size();) {
      char32_t c = static_cast<unsigned char>(text[i]);
      int extra = c < 0x80 ? 0 : c < 0xE0 ? 1 : c < 0xF0 ? 2 : 3;
      if (extra > 0) c &= 0x3F >> extra;
      for (int k = 1; k <= extra && i + k < text.size(); ++k) c = (c << 6) | (text[i + k] & 0x3F);
      i += extra + 1;
      if (FT_Load_Char(face_, c, FT_LOAD_RENDER) != 0) continue;
      FT_GlyphSlot glyph = face_->glyph;
      if (image != nullptr)
        blend(*image, glyph->bitmap, pen + glyph->bitmap_left, baseline - glyph->bitmap_top,
              colour);
      pen += static_cast<int>(glyph->advance.x >> 6);
    }
    return pen - x;
  }

  static void blend(cv::Mat& image, const FT_Bitmap& bitmap, int left, int top, cv::Scalar colour) {
    for (unsigned row = 0; row < bitmap.rows; ++row)
      for (unsigned column = 0; column < bitmap.width; ++column) {
        int x = left + static_cast<int>(column), y = top + static_cast<int>(row);
        if (x < 0 || y < 0 || x >= image.cols || y >= image.rows) continue;
        double a = bitmap.buffer[row * bitmap.pitch + column] / 255.0;
        cv::Vec3b& pixel = image.at<cv::Vec3b>(y, x);
        for (int c = 0; c < 3; ++c)
          pixel[c] = static_cast<uchar>(std::lround(pixel[c] * (1 - a) + colour[c] * a));
      }
  }

  FT_Library library_ = nullptr;
  FT_Face face_ = nullptr;
};

// Drawing in page coordinates: origin at the bottom-left corner, y upwards.
class Page {
 public:
  Page(Lettering& regular, Lettering& bold)
      : image(kPageHeight, kPageWidth, CV_8UC3, kWhite), regular_(regular), bold_(bold) {}

  static int row(int y) { return kPageHeight - y; }

  void fill(int left, int bottom, int right, int top, cv::Scalar colour) {
    cv::rectangle(image, {left, row(top)}, {right - 1, row(bottom) - 1}, colour, cv::FILLED);
  }
  void frame(int left, int bottom, int right, int top, cv::Scalar colour, int thickness = 2) {
    cv::rectangle(image, {left, row(top)}, {right - 1, row(bottom) - 1}, colour, thickness);
  }
  void line(int x0, int y0, int x1, int y1, cv::Scalar colour, int thickness = 1) {
    cv::line(image, {x0, row(y0)}, {x1, row(y1)}, colour, thickness, cv::LINE_AA);
  }
  void ring(int x, int y, int radius, cv::Scalar colour, int thickness = 2) {
    cv::circle(image, {x, row(y)}, radius, colour, thickness, cv::LINE_AA);
  }
  void text(const std::string& s, int x, int baseline, int size, cv::Scalar colour,
            bool heavy = false) {
    (heavy ? bold_ : regular_).write(image, s, x, row(baseline), size, colour);
  }
  void centred(const std::string& s, int left, int right, int baseline, int size, cv::Scalar colour,
               bool heavy = false) {
    int w = (heavy ? bold_ : regular_).width(s, size);
    text(s, (left + right - w) / 2, baseline, size, colour, heavy);
  }
  // A labelled table cell: shaded label on the left, white value area on the right.
  void labelCell(const std::string& label, int left, int labelRight, int right, int bottom, int top,
                 int size = 24) {
    fill(left, bottom, labelRight, top, kLabelFill);
    frame(left, bottom, right, top, kRule, 1);
    line(labelRight, bottom, labelRight, top, kRule);
    centred(label, left, labelRight, (bottom + top) / 2 - size / 3, size, kLabelInk);
  }
  // A section title: teal bar with white heading.
  void sectionBar(const std::string& title, int left, int right, int bottom, int top) {
    fill(left, bottom, right, top, kTeal);
    text(title, left + 14, (bottom + top) / 2 - 9, 26, kWhite, true);
  }

  cv::Mat image;

 private:
  Lettering& regular_;
  Lettering& bold_;
};

// The 256 colours of the pressure scale: the station's colour table when it is already in the
// folder, otherwise a blue-to-red ramp of the same character.
std::vector<cv::Scalar> pressureScale(const std::string& folder) {
  std::vector<cv::Scalar> scale;
  std::ifstream table(folder + "/lut_ancestor.txt");
  int r, g, b;
  while (scale.size() < 256 && table >> r >> g >> b) scale.emplace_back(b & 255, g & 255, r & 255);
  if (scale.size() == 256) return scale;
  scale.clear();
  for (int i = 0; i < 256; ++i) {
    double t = i / 255.0;
    double red = std::clamp(1.5 - std::fabs(4 * t - 3), 0.0, 1.0);
    double green = std::clamp(1.5 - std::fabs(4 * t - 2), 0.0, 1.0);
    double blue = std::clamp(1.5 - std::fabs(4 * t - 1), 0.0, 1.0);
    scale.emplace_back(255 * blue, 255 * green, 255 * red);
  }
  return scale;
}

void header(Page& page, const std::string& subtitle) {
  page.fill(0, 1664, kPageWidth, kPageHeight, kTeal);
  page.text("Pedalyx 足壓量測站", 118, 1694, 44, kWhite, true);
  page.text(subtitle, 760, 1696, 34, kWhite, true);
  page.line(118, 1672, 1122, 1672, kWhite, 2);
}

// A footprint of the given arch type (0 severe flat .. 3 high arch) in the box whose
// bottom-left corner is (x, y), for the left foot or mirrored for the right.
void footprint(Page& page, int x, int y, int archType, bool leftFoot, cv::Scalar colour) {
  const int w = 70;
  auto at = [&](double u, double v) {  // u across from the outer edge, v up from the heel
    double across = leftFoot ? u : w - u;
    return cv::Point(x + static_cast<int>(across), Page::row(y + static_cast<int>(v)));
  };
  cv::Mat& img = page.image;
  cv::ellipse(img, at(30, 24), {19, 24}, 0, 0, 360, colour, cv::FILLED, cv::LINE_AA);
  cv::ellipse(img, at(36, 84), {28, 22}, leftFoot ? 8 : -8, 0, 360, colour, cv::FILLED,
              cv::LINE_AA);
  const double midWidth[4] = {40, 30, 18, 7};  // how much of the middle foot touches the plate
  std::vector<cv::Point> middle = {at(12, 26), at(12 + midWidth[archType], 30),
                                   at(10 + midWidth[archType] + 6, 76), at(9, 80)};
  cv::fillConvexPoly(img, middle, colour, cv::LINE_AA);
  const double toes[5][3] = {
      {55, 116, 8.5}, {42, 118, 6}, {32, 115, 5.5}, {23, 111, 5}, {15, 105, 4.5}};
  for (const auto& toe : toes)
    cv::circle(img, at(toe[0], toe[1]), static_cast<int>(toe[2]), colour, cv::FILLED, cv::LINE_AA);
}

const char* kFootTypeNames[4] = {"重度扁平", "輕度扁平", "正常足", "高弓足"};

cv::Mat pageOne(Lettering& regular, Lettering& bold, const std::vector<cv::Scalar>& scale) {
  Page page(regular, bold);
  header(page, "足底壓力分析報告");

  // Personal data: phone, gender and birth on one row, e-mail below.
  page.text("個人資料", 118, 1634, 26, kTeal, true);
  page.labelCell("電話", 118, 225, 520, 1574, 1624);
  page.labelCell("性別", 520, 605, 700, 1574, 1624);
  page.labelCell("出生年/月", 700, 830, 1122, 1574, 1624);
  page.labelCell("E-mail", 118, 325, 1122, 1524, 1574);

  page.sectionBar("足部尺寸與壓力分析", 118, 1122, 1448, 1492);

  // Pressure picture with its colour scale; the view draws the picture into the frame.
  page.text("足底壓力分佈圖", 118, 1404, 26, kInk, true);
  for (int i = 0; i < 480; ++i) page.fill(158 + i, 1326, 159 + i, 1360, scale[1 + i * 254 / 479]);
  page.frame(157, 1325, 639, 1361, kRule, 1);
  page.text("低壓", 158, 1294, 22, kLabelInk);
  page.text("高壓", 594, 1294, 22, kLabelInk);
  page.centred("壓力色階", 158, 638, 1294, 22, kLabelInk);
  page.centred("左腳 L", 158, 398, 1226, 24, kLabelInk);
  page.centred("右腳 R", 398, 638, 1226, 24, kLabelInk);
  page.frame(112, 726, 684, 1218, kRule, 2);
  page.fill(118, 732, 678, 1212, cv::Scalar(200, 200, 200));

  // Foot size table: length and width of each foot.
  page.fill(690, 1392, 1110, 1436, kTeal);
  page.centred("左腳", 778, 942, 1405, 24, kWhite, true);
  page.centred("右腳", 942, 1110, 1405, 24, kWhite, true);
  page.labelCell("腳長", 690, 778, 1110, 1335, 1392);
  page.labelCell("腳寬", 690, 778, 1110, 1285, 1335);
  page.line(942, 1285, 942, 1392, kRule);

  // Arch index row.
  page.fill(690, 1184, 1110, 1228, kTeal);
  page.centred("左腳", 785, 947, 1197, 24, kWhite, true);
  page.centred("右腳", 947, 1110, 1197, 24, kWhite, true);
  page.labelCell("足弓指標", 690, 785, 1110, 1132, 1184, 22);
  page.line(947, 1132, 947, 1184, kRule);
  page.text("足弓指標：< 0.21 高弓   0.21–0.26 正常   ≥ 0.26 扁平", 690, 1250, 18, kLabelInk);

  // Six-zone table: forefoot, middle foot and heel rows, two columns per foot.
  page.fill(690, 1060, 1110, 1104, kTeal);
  page.centred("六區", 690, 753, 1073, 22, kWhite, true);
  page.centred("左腳", 753, 927, 1073, 24, kWhite, true);
  page.centred("右腳", 927, 1110, 1073, 24, kWhite, true);
  const char* zoneRows[3] = {"前足", "中足", "後跟"};
  const int zoneBands[4] = {1060, 1003, 935, 867};
  for (int r = 0; r < 3; ++r)
    page.labelCell(zoneRows[r], 690, 753, 1110, zoneBands[r + 1], zoneBands[r], 22);
  for (int x : {841, 927, 1013}) page.line(x, 867, x, 1060, kRule, x == 927 ? 2 : 1);

  // Left and right shares of the whole load.
  page.fill(690, 800, 1110, 844, kTeal);
  page.centred("左腳", 785, 962, 813, 24, kWhite, true);
  page.centred("右腳", 962, 1110, 813, 24, kWhite, true);
  page.labelCell("壓力比例", 690, 785, 1110, 745, 800, 22);
  page.line(962, 745, 962, 800, kRule);

  // Foot types: four prints per foot, each under the place of its mark.
  page.sectionBar("足型分析", 118, 1122, 680, 724);
  page.centred("左腳足型", 175, 543, 692, 22, kWhite, true);
  page.centred("右腳足型", 695, 1063, 692, 22, kWhite, true);
  const cv::Scalar footColour(170, 120, 40);
  for (int i = 0; i < 8; ++i) {
    bool left = i < 4;
    report::Rect mark = report::footTypeMark(static_cast<float>(i), left);
    int type = left ? i : 7 - i;
    int centre = (mark.left + mark.right) / 2;
    page.frame(centre - 46, 416, centre + 47, 672, kRule, 1);
    page.ring(centre, (mark.bottom + mark.top) / 2, 22, kRule, 2);
    footprint(page, centre - 35, 462, type, left, footColour);
    page.centred(kFootTypeNames[type], centre - 46, centre + 47, 428, 20, kInk);
  }

  // Shoe advice: suggested size, then the three shoe types beside their dots.
  page.sectionBar("鞋款建議", 118, 1122, 318, 362);
  page.labelCell("建議鞋碼", 175, 365, 600, 258, 306);
  const cv::Scalar dotRing(150, 150, 150);
  auto rightAligned = [&](const std::string& name, int baseline) {
    page.text(name, 280 - bold.width(name, 24), baseline, 24, kInk, true);
  };
  page.frame(290, 184, 700, 240, kRule, 1);
  rightAligned("基礎功能型", 200);
  page.ring(316, 211, 13, dotRing);
  page.text("支撐款", 340, 200, 22, kLabelInk);
  page.ring(547, 211, 13, dotRing);
  page.text("緩衝款", 571, 200, 22, kLabelInk);
  page.frame(715, 184, 1000, 240, kRule, 1);
  page.ring(740, 211, 13, dotRing);
  page.text("超級穩定型", 764, 200, 24, kInk, true);
  page.frame(290, 113, 700, 169, kRule, 1);
  rightAligned("控制型", 129);
  page.ring(316, 140, 13, dotRing);
  page.text("動作控制款", 340, 129, 22, kLabelInk);
  page.text("紅點為建議鞋型", 175, 80, 18, kLabelInk);

  page.line(118, 56, 1122, 56, kRule);
  page.text("本報告依足底壓力量測結果提供選鞋與鞋墊參考，不作醫療診斷之用。", 118, 28, 18,
            kLabelInk);
  return page.image;
}

// The five load classes of the pressure picture with their colours.
void levelLegend(Page& page, const std::vector<cv::Scalar>& scale) {
  page.sectionBar("壓力色階", 118, 1122, 580, 624);
  // The report writes the bounds' pressures above these ticks (pressure_section_layout.h).
  const auto& ticks = report::kLevelLegendTicks;
  const char* names[5] = {"極低壓", "低壓", "中壓", "高壓", "極高壓"};
  const report::Rect bar = report::kLevelLegendBar;
  const int left = bar.left, width = bar.right - bar.left;
  for (int x = 0; x < width; ++x)
    page.fill(left + x, bar.bottom, left + x + 1, bar.top, scale[1 + x * 254 / (width - 1)]);
  page.frame(left - 1, bar.bottom - 1, left + width + 1, bar.top + 1, kRule, 1);
  for (int c = 0; c < 5; ++c) {
    int from = report::levelLegendX(ticks[c]), to = report::levelLegendX(ticks[c + 1]);
    if (c > 0) page.line(from, 470, from, 540, kInk, 2);
    page.centred(names[c], from, to, 440, 22, kInk);
  }
  page.text(
      "壓力分為 255 級：1–64 極低壓、65–112 低壓、113–192 中壓、193–224 高壓、225–255 極高壓。",
      140, 400, 20, kLabelInk);
}

cv::Mat pageTwo(Lettering& regular, Lettering& bold, const std::vector<cv::Scalar>& scale) {
  Page page(regular, bold);
  header(page, "平衡評估與備註");

  page.text("本頁說明站立時左右腳的壓力平衡，並附上量測人員的備註。", 118, 1610, 24, kLabelInk);
  page.sectionBar("左右平衡評估", 118, 1122, 1520, 1564);
  page.text("依左右腳壓力比例的差距判定站姿平衡，紅色記號為本次結果：", 140, 1470, 22, kLabelInk);
  struct Category {
    double left, right;
    const char* title;
    const char* detail;
  };
  const Category categories[3] = {{50, 50, "平衡良好", "左右壓力差小於 5%"},
                                  {46, 54, "輕度偏移", "左右壓力差 5% 至 10%，留意站姿習慣"},
                                  {40, 60, "明顯偏移", "左右壓力差 10% 以上，建議進一步評估"}};
  for (const Category& c : categories) {
    report::Rect mark = report::balanceMark(c.left, c.right);
    page.frame(140, mark.bottom - 12, 1100, mark.top + 12, kRule, 1);
    page.ring((mark.left + mark.right) / 2, (mark.bottom + mark.top) / 2, 22, kRule, 2);
    page.text(c.title, 250, mark.bottom + 18, 30, kInk, true);
    page.text(c.detail, 420, mark.bottom + 18, 24, kLabelInk);
  }

  page.sectionBar("報告說明", 118, 1122, 960, 1004);
  const char* notes[] = {"‧ 足底壓力分佈圖以色階表示壓力，藍色為低壓，紅色為高壓。",
                         "‧ 六區壓力為單腳前足、中足與後跟內外兩側各自所占的百分比。",
                         "‧ 足弓指標為中足接觸面積占足印面積的比例，數值愈大足弓愈低。",
                         "‧ 鞋款建議依足弓指標判定：扁平足宜選控制型，高弓足宜選超級穩定型，",
                         "   正常足可選基礎功能型的緩衝款或支撐款。",
                         "‧ 訂製鞋墊依本次量測的腳長與足弓指標製作。"};
  int y = 920;
  for (const char* note : notes) {
    page.text(note, 140, y, 24, kInk);
    y -= 44;
  }

  levelLegend(page, scale);

  page.sectionBar("備註", 118, 1122, 318, 362);
  page.frame(140, 30, 1100, 300, kRule, 1);
  for (int base = 259; base > 30; base -= 35)
    page.line(160, base - 9, 1080, base - 9, cv::Scalar(225, 225, 225));
  return page.image;
}

// The walking page: the header and the bars over its two sections, where the layout puts them.
cv::Mat pageThree(Lettering& regular, Lettering& bold) {
  Page page(regular, bold);
  header(page, "步態分析");
  for (const report::GaitPageSection& section : report::kGaitPageSections)
    page.sectionBar(section.title, section.bar.left, section.bar.right, section.bar.bottom,
                    section.bar.top);
  return page.image;
}

// The selection mark: a red disc with a white tick, on white.
cv::Mat markPicture() {
  cv::Mat mark(260, 260, CV_8UC3, kWhite);
  cv::circle(mark, {130, 130}, 118, cv::Scalar(40, 40, 220), cv::FILLED, cv::LINE_AA);
  std::vector<cv::Point> tick = {{70, 135}, {112, 180}, {192, 88}};
  cv::polylines(mark, tick, false, kWhite, 26, cv::LINE_AA);
  cv::Mat small;
  cv::resize(mark, small, {65, 65}, 0, 0, cv::INTER_AREA);
  return small;
}

cv::Mat buttonPicture(bool save) {
  cv::Mat button(48, 120, CV_8UC3, kTeal);
  cv::rectangle(button, {0, 0}, {119, 47}, cv::Scalar(90, 90, 0), 2);
  if (save) {  // a document with a down arrow
    cv::rectangle(button, {44, 8}, {76, 40}, kWhite, 2);
    cv::arrowedLine(button, {60, 12}, {60, 34}, kWhite, 3, cv::LINE_AA, 0, 0.4);
  } else {  // an arrow to the right
    cv::arrowedLine(button, {36, 24}, {84, 24}, kWhite, 4, cv::LINE_AA, 0, 0.4);
  }
  return button;
}

bool save(const std::string& folder, const char* name, const cv::Mat& picture) {
  std::string path = folder + "/" + name;
  if (cv::imwrite(path, picture)) return true;
  std::fprintf(stderr, "make_report_assets: cannot write %s\n", path.c_str());
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: make_report_assets <folder>\n");
    return 2;
  }
  std::string folder = argv[1];
  Lettering regular(false), bold(true);
  if (!regular.usable() || !bold.usable()) return 1;
  std::vector<cv::Scalar> scale = pressureScale(folder);
  bool ok = save(folder, "Origin_page1.png", pageOne(regular, bold, scale)) &&
            save(folder, "Origin_page2.png", pageTwo(regular, bold, scale)) &&
            save(folder, "Origin_page3.png", pageThree(regular, bold)) &&
            save(folder, "mark.png", markPicture()) &&
            save(folder, "save.png", buttonPicture(true)) &&
            save(folder, "next.png", buttonPicture(false));
  return ok ? 0 : 1;
}
