#include "pedalyx/report/report_sway_gl.h"

#include <GL/glew.h>
// GLEW before the other GL headers.

#include "pedalyx/imaging/sway_plot.h"
#include "pedalyx/report/report_layout.h"
#include "pedalyx/report/report_text_gl.h"

namespace {

PlotArea areaOf(const report::Rect& r) {
  return {double(r.left), double(r.bottom), double(r.right - r.left), double(r.top - r.bottom)};
}

void drawPicture(FTFont* font, const SwayPicture& picture) {
  glDisable(GL_TEXTURE_2D);
  const InkColour outline = inkColour(SwayInk::Outline);
  glColor3ub(outline.red, outline.green, outline.blue);
  glPointSize(2);
  glBegin(GL_POINTS);
  for (const PlatePoint& p : picture.outlineDots) glVertex2d(p.x, p.y);
  glEnd();
  glPointSize(1);
  for (const PlotLine& line : picture.lines) {
    const InkColour c = inkColour(line.ink);
    glColor3ub(c.red, c.green, c.blue);
    glLineWidth(line.ink == SwayInk::Frame || line.ink == SwayInk::ZeroLine ? 1.0f : 2.0f);
    glBegin(GL_LINE_STRIP);
    for (const PlatePoint& p : line.points) glVertex2d(p.x, p.y);
    glEnd();
  }
  glLineWidth(1);
  glColor3f(1, 1, 1);
  for (const PlotLabel& label : picture.labels)
    report::writeText(font, static_cast<int>(label.x), static_cast<int>(label.y), label.text);
}

}  // namespace

bool swaySectionShown(const SwayRecorder* sway) {
  return sway != nullptr && (sway->result(SwayCondition::EyesOpen).recorded() ||
                             sway->result(SwayCondition::EyesClosed).recorded());
}

void drawSwaySection(const SwaySectionFonts& fonts, const SwayRecorder& sway, bool belowPressure) {
  if (!swaySectionShown(&sway)) return;
  const SwayRecording& open = sway.result(SwayCondition::EyesOpen);
  const SwayRecording& closed = sway.result(SwayCondition::EyesClosed);
  report::SwaySectionLayout layout =
      report::layoutSwaySection(swayFigureTable(open, closed), belowPressure);
  glDisable(GL_TEXTURE_2D);
  glColor3f(1, 1, 1);
  glRecti(layout.cover.left, layout.cover.bottom, layout.cover.right, layout.cover.top);
  drawPicture(fonts.labels, plateTracePicture(open, areaOf(layout.plateOpen)));
  drawPicture(fonts.labels, plateTracePicture(closed, areaOf(layout.plateClosed)));
  const double labelSize = report::kSwayLabelTextSize;
  drawPicture(fonts.labels,
              stabilogramPicture(open, areaOf(layout.stabilogramOpen), labelSize, "睜眼"));
  drawPicture(fonts.labels,
              stabilogramPicture(closed, areaOf(layout.stabilogramClosed), labelSize, "閉眼"));
  for (const report::PlacedText& t : layout.texts) report::writeText(fonts.text, t.x, t.y, t.text);
  FTFont* table = layout.tableTextSize == report::kSwayTableTextSize ? fonts.table : fonts.labels;
  for (const report::PlacedText& t : layout.tableTexts) report::writeText(table, t.x, t.y, t.text);
}
