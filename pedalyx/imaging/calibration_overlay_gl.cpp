#include "pedalyx/imaging/calibration_overlay_gl.h"

#include <GL/glew.h>
// GLEW before the other GL headers.
#include <GL/freeglut.h>

#include <cstdio>

#include "pedalyx/imaging/calibration_grid.h"

namespace {

// The bitmap font needs the font library initialised once per process.
void ensureBitmapFontReady() {
  if (glutGet(GLUT_INIT_STATE)) return;
  int argc = 1;
  char name[] = "Pedalyx";
  char* argv[] = {name, nullptr};
  glutInit(&argc, argv);
}

}  // namespace

void drawCalibrationOverlay(CalibrationGrid& grid) {
  ensureBitmapFontReady();
  const int height = grid.imageHeight;
  glPointSize(5);
  glBegin(GL_POINTS);
  for (const CalibrationPoint& p : grid.reference) glVertex2f(p.x, height - p.y);
  glEnd();
  if (grid.referenceSelected) {
    const CalibrationPoint& p = grid.reference[grid.selectedReference];
    glPointSize(7);
    glColor3f(1, 0, 0);
    glBegin(GL_POINTS);
    glVertex2f(p.x, height - p.y);
    glEnd();
    glPointSize(3);
    glColor3f(1, 1, 0);
    glBegin(GL_POINTS);
    glVertex2f(p.x, height - p.y);
    glEnd();
  }
  glColor3f(1.0f, 0.3f, 0.3f);
  for (int i = 0; i < CalibrationGrid::kReferenceCount; ++i) {
    std::snprintf(grid.labelText, sizeof grid.labelText, "%d", i);
    glRasterPos2f(grid.reference[i].x + 1, height - grid.reference[i].y - 1);
    for (const char* c = grid.labelText; *c != '\0'; ++c)
      glutBitmapCharacter(GLUT_BITMAP_HELVETICA_18, *c);
  }
  glColor3f(1, 1, 1);
  glPointSize(1);
}
