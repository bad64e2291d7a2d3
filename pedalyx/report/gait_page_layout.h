// Where the report's walking page puts its parts, as plain data (page pixels, origin at the
// bottom-left corner, y upwards, a text position the start of its base line): under the
// template's header the recording's line, each foot's mean peak picture with its gait lines,
// the bars of the four phases with their legend, the colour legend, and the figures table with
// left, right and the difference below.
#pragma once
#include <string>
#include <vector>

#include "pedalyx/imaging/gait_pictures.h"
#include "pedalyx/imaging/gait_tables.h"
#include "pedalyx/report/report_layout.h"

namespace report {

// The page's smaller text: the recording's line, captions, legends and the table.
constexpr int kGaitTextSize = 20;

// The template's section bars ("Origin_page3.png", drawn by tools/make_report_assets.cpp under
// the page's header), over the pictures and over the table.
struct GaitPageSection {
  Rect bar;
  const char* title;
};
inline constexpr GaitPageSection kGaitPageSections[2] = {
    {{118, 1536, 1122, 1580}, "平均峰值壓力與步態線"},
    {{118, 990, 1122, 1034}, "步態數據（每足各步的平均 ± 標準差）"},
};

struct FilledRect {
  Rect rect;
  GaitColour colour;
};

// What the page shows, as words and numbers.
struct GaitPageContent {
  std::string recordingLine;            // frames, rate, contacts, where the kPa come from
  std::vector<PhaseSegment> phases[2];  // the mean phases of the left and right foot
  std::vector<LegendEntry> legend;      // level classes from the lowest
  std::string legendHeading;            // "峰值壓力色階 (kPa)" or in levels
  std::vector<GaitTableRow> table;      // heading row first
  GaitPicture pictures[2];              // each foot's mean; empty without a contact
};

// The page's content for a recording: the table in Traditional characters, as the report is.
GaitPageContent gaitPageContent(const GaitResults& results, const GaitPressures& pressures,
                                const unsigned char* colourTable);

struct GaitPageLayout {
  std::vector<PlacedText> texts;  // kGaitTextSize
  Rect pictures[2];               // left foot, right foot
  std::vector<FilledRect> fills;  // picture frames, phase segments, swatches, table stripes
  std::vector<Rect> outlines;     // drawn as thin lines: bars and swatches
};

GaitPageLayout layoutGaitPage(const GaitPageContent& content);

}  // namespace report
