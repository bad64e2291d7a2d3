// Report page 2's pressure section and the pressures of its level legend, as plain data in page
// pixels (origin bottom left). Without a recorded stance the section takes the place of the
// template's notes and the legend below it shows kPa at its class bounds; with one it lies
// above the (then shorter) sway section, which covers the legend.
#pragma once
#include <array>
#include <string>
#include <vector>

#include "pedalyx/imaging/pressure_table.h"
#include "pedalyx/report/report_layout.h"

namespace report {

constexpr int kPressureTableTextSize = kSwayLabelTextSize;
constexpr int kLegendPressureTextSize = kSwayLabelTextSize;

enum class Anchor { Start, End, Centre };

// A text placed by its base line's start, end or centre.
struct AnchoredText {
  int x, y;
  std::string text;
  Anchor anchor = Anchor::Start;
};

struct PressureSectionLayout {
  Rect cover;                            // painted white first
  std::vector<PlacedText> texts;         // the heading, in the report's text
  std::vector<AnchoredText> tableTexts;  // source, weight line and table, kPressureTableTextSize
  std::vector<Rect> rules;               // thin lines under the headings and the whole foot
};

PressureSectionLayout layoutPressureSection(const PressureTable& table, const std::string& source,
                                            const std::string& weightLine, bool aboveSway);

// The legend's colour bar on page 2's template and the levels its ticks stand at.
constexpr Rect kLevelLegendBar{140, 480, 1100, 530};
constexpr std::array<int, 6> kLevelLegendTicks = {0, 64, 112, 192, 224, 255};
int levelLegendX(int level);

// The six bounds' pressures above the legend's ticks, the last with its unit (kLegendPressure-
// TextSize); nothing when `bounds` are empty (levels only).
std::vector<AnchoredText> layoutLegendPressures(const std::array<std::string, 6>& bounds);

}  // namespace report
