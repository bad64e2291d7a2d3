#include "pedalyx/report/report_gait_gl.h"

#include <GL/glew.h>
// GLEW before the other GL headers.

#include "pedalyx/report/gait_page_layout.h"
#include "pedalyx/report/report_text_gl.h"

namespace {

using report::Rect;

void fill(const Rect& r, GaitColour c) {
  glColor3ub(c.red, c.green, c.blue);
  glRecti(r.left, r.bottom, r.right, r.top);
}

void outline(const Rect& r) {
  glColor3ub(90, 90, 90);
  glLineWidth(1);
  glBegin(GL_LINE_LOOP);
  glVertex2f(r.left + 0.5f, r.bottom + 0.5f);
  glVertex2f(r.right - 0.5f, r.bottom + 0.5f);
  glVertex2f(r.right - 0.5f, r.top - 0.5f);
  glVertex2f(r.left + 0.5f, r.top - 0.5f);
  glEnd();
}

// The picture's pixels over r, its dots and lines scaled with it.
void drawPicture(const GaitPicture& p, const Rect& r, unsigned int texture) {
  if (p.empty()) return;
  glBindTexture(GL_TEXTURE_2D, texture);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, p.width, p.height, 0, GL_RGB, GL_UNSIGNED_BYTE,
               p.rgb.data());
  glEnable(GL_TEXTURE_2D);
  glColor3f(1, 1, 1);
  glBegin(GL_QUADS);
  glTexCoord2f(0, 1);
  glVertex2i(r.left, r.bottom);
  glTexCoord2f(1, 1);
  glVertex2i(r.right, r.bottom);
  glTexCoord2f(1, 0);
  glVertex2i(r.right, r.top);
  glTexCoord2f(0, 0);
  glVertex2i(r.left, r.top);
  glEnd();
  glDisable(GL_TEXTURE_2D);
  const double sx = double(r.right - r.left) / p.width, sy = double(r.top - r.bottom) / p.height;
  auto vertex = [&](PicturePoint q) { glVertex2d(r.left + q.x * sx, r.top - q.y * sy); };
  for (const GaitPictureLine& line : p.lines) {
    const GaitColour c = gaitInkColour(line.ink);
    glColor3ub(c.red, c.green, c.blue);
    glLineWidth(2);
    glBegin(GL_LINES);
    vertex(line.from);
    vertex(line.to);
    glEnd();
  }
  glLineWidth(1);
  // Each frame's centre of pressure: a light dot with a dark rim, so it shows on every colour.
  glEnable(GL_POINT_SMOOTH);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  const GaitColour dot = gaitInkColour(GaitInk::GaitLine);
  for (int pass = 0; pass < 2; ++pass) {
    glPointSize(pass == 0 ? 7.0f : 4.5f);
    if (pass == 0)
      glColor3ub(0, 0, 0);
    else
      glColor3ub(dot.red, dot.green, dot.blue);
    glBegin(GL_POINTS);
    for (const PicturePoint& q : p.dots) vertex(q);
    glEnd();
  }
  glPointSize(1);
  glDisable(GL_POINT_SMOOTH);
  glDisable(GL_BLEND);
}

}  // namespace

void drawGaitPage(FTFont* font, const GaitResults& results, const GaitPressures& pressures,
                  const unsigned char* colourTable, unsigned int texture) {
  const report::GaitPageContent content = report::gaitPageContent(results, pressures, colourTable);
  const report::GaitPageLayout layout = report::layoutGaitPage(content);
  glDisable(GL_TEXTURE_2D);
  for (const report::FilledRect& f : layout.fills) fill(f.rect, f.colour);
  for (const Rect& r : layout.outlines) outline(r);
  for (int s = 0; s < 2; ++s) drawPicture(content.pictures[s], layout.pictures[s], texture);
  glColor3f(1, 1, 1);
  for (const report::PlacedText& t : layout.texts) report::writeText(font, t.x, t.y, t.text);
}
