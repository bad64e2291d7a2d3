// Manual measuring record of one half of the pressure view: a two-click length, a two-click
// width and a three-click angle, in image pixels of the 320 x 335 pressure image. Plain logic:
// the pressure view routes presses and moves here, writes the returned foot-size values into
// the main window and draws the marks (measure_marks_gl.cpp).
#pragma once
#include <optional>

struct MeasurePoint {
  int x;
  int y;
};

struct MeasureMarks {
  MeasurePoint lengthPoints[2] = {};
  MeasurePoint widthPoints[2] = {};
  MeasurePoint anglePoints[3] = {};  // first arm end, vertex, second arm end
  int lengthCount = 0;
  int widthCount = 0;
  int angleCount = 0;
  int lengthResult = 0;  // mm
  int widthResult = 0;   // mm
  int angleResult = 0;   // whole degrees
  float scaleX;          // imageWidth / viewWidth
  float scaleY;          // imageHeight / viewHeight
  float viewWidth;
  float viewHeight;
  float imageWidth = 320;
  float imageHeight = 335;
  bool lengthArmed = true;  // the tool still follows the mouse
  bool widthArmed = true;
  bool angleArmed = true;

  MeasureMarks(int viewWidthPixels, int viewHeightPixels) {
    resize(viewWidthPixels, viewHeightPixels);
  }

  // The view's new size; points and counts stay.
  void resize(int viewWidthPixels, int viewHeightPixels);
  // Back to three empty, armed tools. Points and the angle result stay (they are no longer
  // drawn because the counts are 0).
  void reset();
  // View pixels (origin bottom left) to image pixels, truncated toward zero.
  MeasurePoint toImage(int x, int y) const;
};

// One image pixel of the pressure image in millimetres.
constexpr double kMillimetresPerPixel = 1.07;

// Length or width between two image points in whole millimetres.
int measureDistance(MeasurePoint p, MeasurePoint q);
// Angle at `vertex` between the arms to `a` and `b` in whole degrees; 0 when the vertex
// coincides with an arm end (the angle has no meaning there).
int measureAngle(MeasurePoint a, MeasurePoint vertex, MeasurePoint b);

// A foot-size field of the main window that a mouse move asks to update.
struct FootSizeUpdate {
  enum Field { LeftLength, RightLength, LeftWidth, RightWidth } field;
  int millimetres;
};

// Presses and moves take view pixels with origin bottom left. A move of the length or width
// rubber band returns the field it changes, chosen by the half of the image that holds the
// first point; presses never change a field.
void pressLength(MeasureMarks& marks, int x, int y);
void pressWidth(MeasureMarks& marks, int x, int y);
void pressAngle(MeasureMarks& marks, int x, int y);
std::optional<FootSizeUpdate> moveLength(MeasureMarks& marks, int x, int y);
std::optional<FootSizeUpdate> moveWidth(MeasureMarks& marks, int x, int y);
void moveAngle(MeasureMarks& marks, int x, int y);
