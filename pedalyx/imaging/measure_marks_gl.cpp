#include "pedalyx/imaging/measure_marks_gl.h"

#include <GL/freeglut.h>

#include <cstdio>

#include "pedalyx/imaging/measure_marks.h"

namespace {

// The bitmap fonts need the font library set up once; no window of its own is opened.
void ensureBitmapFonts() {
  static bool ready = false;
  if (ready) return;
  int argc = 1;
  char name[] = "Pedalyx";
  char* argv[] = {name, nullptr};
  glutInit(&argc, argv);
  ready = true;
}

void vertexOf(const MeasureMarks& marks, MeasurePoint p) {
  glVertex2i(static_cast<int>(p.x / marks.scaleX), static_cast<int>(p.y / marks.scaleY));
}

void drawNumber(const MeasureMarks& marks, int value, MeasurePoint at) {
  char text[16];
  std::snprintf(text, sizeof text, "%d", value);
  glRasterPos2i(static_cast<int>(at.x / marks.scaleX) + 1,
                static_cast<int>(at.y / marks.scaleY) - 1);
  ensureBitmapFonts();
  for (const char* c = text; *c != '\0'; ++c) glutBitmapCharacter(GLUT_BITMAP_HELVETICA_18, *c);
}

MeasurePoint middleOf(const MeasurePoint* points) {
  return {(points[0].x + points[1].x) / 2, (points[0].y + points[1].y) / 2};
}

}  // namespace

void drawMarks(const MeasureMarks& marks) {
  glColor3f(1, 0, 0);
  glPointSize(5);
  glBegin(GL_POINTS);
  for (int i = 0; i < marks.angleCount; ++i) vertexOf(marks, marks.anglePoints[i]);
  for (int i = 0; i < marks.widthCount; ++i) vertexOf(marks, marks.widthPoints[i]);
  for (int i = 0; i < marks.lengthCount; ++i) vertexOf(marks, marks.lengthPoints[i]);
  glEnd();
  glPointSize(1);
  glBegin(GL_LINE_STRIP);
  for (int i = 0; i < marks.angleCount; ++i) vertexOf(marks, marks.anglePoints[i]);
  glEnd();
  // Separate blocks: a lone length point must not pair up with a width point.
  glBegin(GL_LINES);
  for (int i = 0; i < marks.lengthCount; ++i) vertexOf(marks, marks.lengthPoints[i]);
  glEnd();
  glBegin(GL_LINES);
  for (int i = 0; i < marks.widthCount; ++i) vertexOf(marks, marks.widthPoints[i]);
  glEnd();
  glColor3f(1, 1, 1);
  if (marks.lengthCount == 2) drawNumber(marks, marks.lengthResult, middleOf(marks.lengthPoints));
  if (marks.widthCount == 2) drawNumber(marks, marks.widthResult, middleOf(marks.widthPoints));
  if (marks.angleCount == 3) drawNumber(marks, marks.angleResult, marks.anglePoints[1]);
}
