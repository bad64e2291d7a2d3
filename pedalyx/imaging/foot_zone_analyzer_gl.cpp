#include "pedalyx/imaging/foot_zone_analyzer_gl.h"

#include <FL/gl.h>

#include <cmath>
#include <initializer_list>

#include "pedalyx/imaging/foot_zone_analyzer.h"

namespace {

constexpr double kDegree = 3.14159265358979323846 / 180;

void drawCentreMarker(float cx, float cy, float r, bool diagonalCross) {
  glColor3f(1, 1, 1);
  glLineWidth(2);
  glBegin(GL_LINE_LOOP);
  for (int a = 0; a < 360; ++a) {
    glVertex2f(cx + r * static_cast<float>(std::sin(a * kDegree)),
               cy + r * static_cast<float>(std::cos(a * kDegree)));
  }
  glEnd();
  glBegin(GL_LINES);
  if (diagonalCross) {
    const float d = r * static_cast<float>(std::sin(45 * kDegree));
    glVertex2f(cx + d, cy + d);
    glVertex2f(cx - d, cy - d);
    glVertex2f(cx - d, cy + d);
    glVertex2f(cx + d, cy - d);
  } else {
    glVertex2f(cx + r, cy);
    glVertex2f(cx - r, cy);
    glVertex2f(cx, cy + r);
    glVertex2f(cx, cy - r);
  }
  glEnd();
  glLineWidth(1);
}

void drawAxis(const FootAxis& axis, int viewWidth) {
  if (axis.pointCount == 2 && axis.toeViewY != axis.heelViewY) {
    glColor3f(1, 1, 1);
    glBegin(GL_LINES);
    glVertex2i(axis.heelViewX, axis.heelViewY);
    glVertex2i(axis.toeViewX, axis.toeViewY);
    // Across the half of the view that holds the axis's foot.
    const int half = viewWidth / 2;
    const bool leftFoot = isLeftFootColumn(axis.heelX);
    const float xa = leftFoot ? 0 : half;
    const float xb = leftFoot ? half : viewWidth;
    // Lines across the axis through the heel, the toe and the thirds between them.
    const float tv = static_cast<float>(axis.heelViewX - axis.toeViewX) /
                     static_cast<float>(axis.toeViewY - axis.heelViewY);
    const float ua = axis.heelViewY + tv * (xa - axis.heelViewX);
    const float ub = axis.heelViewY + tv * (xb - axis.heelViewX);
    const float d = (axis.toeViewY + (xa - axis.toeViewX) * tv) - ua;
    for (float shift : {0.0f, d, d / 3, 2 * d / 3}) {
      glVertex2i(static_cast<int>(xa), static_cast<int>(ua + shift));
      glVertex2i(static_cast<int>(xb), static_cast<int>(ub + shift));
    }
    glEnd();
  }
  if (axis.pointCount >= 1) {
    glColor3f(1, 0, 0);
    glPointSize(5);
    glBegin(GL_POINTS);
    glVertex2i(axis.heelViewX, axis.heelViewY);
    if (axis.pointCount == 2) glVertex2i(axis.toeViewX, axis.toeViewY);
    glEnd();
    glPointSize(1);
    glColor3f(1, 1, 1);
  }
}

}  // namespace

void drawPressureCentres(const FootZoneAnalyzer& analyzer) {
  const float sx = analyzer.scaleX, sy = analyzer.scaleY;
  drawCentreMarker(analyzer.left.centroidX / sx, analyzer.left.centroidY / sy, 10, true);
  drawCentreMarker(analyzer.right.centroidX / sx, analyzer.right.centroidY / sy, 10, true);
  drawCentreMarker(analyzer.centreX / sx, analyzer.centreY / sy, 14, false);
}

void drawFootAxes(const FootZoneAnalyzer& analyzer) {
  drawAxis(analyzer.left, analyzer.viewWidth);
  drawAxis(analyzer.right, analyzer.viewWidth);
}
