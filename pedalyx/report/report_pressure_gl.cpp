#include "pedalyx/report/report_pressure_gl.h"

#include <GL/glew.h>
// GLEW before the other GL headers.
#include <FTGL/ftgl.h>

#include "pedalyx/report/pressure_section_layout.h"
#include "pedalyx/report/report_text_gl.h"

namespace {

void writeAnchored(FTFont* font, const report::AnchoredText& t) {
  if (font == nullptr) return;
  int x = t.x;
  if (t.anchor != report::Anchor::Start) {
    const int width = static_cast<int>(font->Advance(t.text.c_str()) + 0.5f);
    x -= t.anchor == report::Anchor::End ? width : width / 2;
  }
  report::writeText(font, x, t.y, t.text);
}

}  // namespace

void drawPressureSection(const PressureSectionFonts& fonts, const PressureFigures& figures,
                         const PressureScale& scale, bool withSway) {
  if (figures.source == PressureSource::LevelsOnly) return;
  const report::PressureSectionLayout layout =
      report::layoutPressureSection(pressureTable(figures), pressureSourceLabel(figures.source),
                                    bodyWeightLine(figures), withSway);
  glDisable(GL_TEXTURE_2D);
  glColor3f(1, 1, 1);
  glRecti(layout.cover.left, layout.cover.bottom, layout.cover.right, layout.cover.top);
  glColor3f(0.7f, 0.7f, 0.7f);
  for (const report::Rect& r : layout.rules) glRecti(r.left, r.bottom, r.right, r.top);
  glColor3f(1, 1, 1);
  for (const report::PlacedText& t : layout.texts) report::writeText(fonts.text, t.x, t.y, t.text);
  for (const report::AnchoredText& t : layout.tableTexts) writeAnchored(fonts.table, t);
  if (!withSway)
    for (const report::AnchoredText& t : report::layoutLegendPressures(legendBoundPressures(scale)))
      writeAnchored(fonts.table, t);
}
