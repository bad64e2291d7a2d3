#include "pedalyx/imaging/measure_marks.h"

#include <cmath>
#include <cstdio>

#include "pedalyx/imaging/canvas_geometry.h"

void MeasureMarks::resize(int viewWidthPixels, int viewHeightPixels) {
  viewWidth = static_cast<float>(viewWidthPixels);
  viewHeight = static_cast<float>(viewHeightPixels);
  scaleX = imageWidth / viewWidth;
  scaleY = imageHeight / viewHeight;
}

void MeasureMarks::reset() {
  lengthCount = widthCount = angleCount = 0;
  lengthResult = widthResult = 0;
  lengthArmed = widthArmed = angleArmed = true;
}

MeasurePoint MeasureMarks::toImage(int x, int y) const {
  // Single-precision products, truncated toward zero.
  float xi = scaleX * static_cast<float>(x);
  float yi = scaleY * static_cast<float>(y);
  return {static_cast<int>(xi), static_cast<int>(yi)};
}

int measureDistance(MeasurePoint p, MeasurePoint q) {
  int dx = p.x - q.x;
  int dy = p.y - q.y;
  float squared = static_cast<float>(dx * dx) + static_cast<float>(dy * dy);
  int pixels = static_cast<int>(std::sqrt(squared));
  return static_cast<int>(pixels * kMillimetresPerPixel);
}

static float sideLength(MeasurePoint p, MeasurePoint q) {
  int dx = p.x - q.x;
  int dy = p.y - q.y;
  return std::sqrt(static_cast<float>(dx * dx + dy * dy));
}

int measureAngle(MeasurePoint a, MeasurePoint vertex, MeasurePoint b) {
  float armA = sideLength(a, vertex);
  float across = sideLength(a, b);
  float armB = sideLength(vertex, b);
  if (armA == 0.0f || armB == 0.0f) return 0;
  float cosine = (armA * armA + armB * armB - across * across) / (2 * armA * armB);
  // Rounding can push a straight or folded angle just outside [-1, 1].
  if (cosine > 1.0f) cosine = 1.0f;
  if (cosine < -1.0f) cosine = -1.0f;
  float degrees = static_cast<float>(std::acos(cosine) * 180 / 3.1415926);
  return static_cast<int>(degrees);
}

// The length and width tools share their steps; they differ in the message, the fields and
// in whether the second press disarms the tool.
struct TwoPointTool {
  MeasurePoint* points;
  int& count;
  int& result;
  bool& armed;
  const char* message;
  FootSizeUpdate::Field leftField;
  FootSizeUpdate::Field rightField;
};

static void pressTwoPointTool(const MeasureMarks& marks, TwoPointTool tool, int x, int y,
                              bool disarmOnSecondPoint) {
  if (tool.count == 2) tool.armed = false;
  if (tool.count >= 2) return;
  tool.points[tool.count++] = marks.toImage(x, y);
  if (tool.count == 2) {
    tool.result = measureDistance(tool.points[0], tool.points[1]);
    std::printf(tool.message, tool.result);
    if (disarmOnSecondPoint) tool.armed = false;
  }
}

static std::optional<FootSizeUpdate> moveTwoPointTool(const MeasureMarks& marks, TwoPointTool tool,
                                                      int x, int y) {
  if (!tool.armed || (tool.count != 1 && tool.count != 2)) return std::nullopt;
  tool.points[1] = marks.toImage(x, y);
  tool.count = 2;
  tool.result = measureDistance(tool.points[0], tool.points[1]);
  std::printf(tool.message, tool.result);
  const bool firstPointLeft = isLeftFootColumn(tool.points[0].x);
  return FootSizeUpdate{firstPointLeft ? tool.leftField : tool.rightField, tool.result};
}

static TwoPointTool lengthTool(MeasureMarks& m) {
  return {m.lengthPoints,
          m.lengthCount,
          m.lengthResult,
          m.lengthArmed,
          "Length %d \n ",
          FootSizeUpdate::LeftLength,
          FootSizeUpdate::RightLength};
}

static TwoPointTool widthTool(MeasureMarks& m) {
  return {m.widthPoints,
          m.widthCount,
          m.widthResult,
          m.widthArmed,
          "Width %d \n ",
          FootSizeUpdate::LeftWidth,
          FootSizeUpdate::RightWidth};
}

void pressLength(MeasureMarks& marks, int x, int y) {
  pressTwoPointTool(marks, lengthTool(marks), x, y, true);
}

// The width tool stays armed after its second press: a width fixed without a mouse movement
// between the presses keeps following the mouse until a third press.
void pressWidth(MeasureMarks& marks, int x, int y) {
  pressTwoPointTool(marks, widthTool(marks), x, y, false);
}

std::optional<FootSizeUpdate> moveLength(MeasureMarks& marks, int x, int y) {
  return moveTwoPointTool(marks, lengthTool(marks), x, y);
}

std::optional<FootSizeUpdate> moveWidth(MeasureMarks& marks, int x, int y) {
  return moveTwoPointTool(marks, widthTool(marks), x, y);
}

static void computeAngle(MeasureMarks& marks) {
  marks.angleResult =
      measureAngle(marks.anglePoints[0], marks.anglePoints[1], marks.anglePoints[2]);
  std::printf("Angle %d\n", marks.angleResult);
}

void pressAngle(MeasureMarks& marks, int x, int y) {
  if (marks.angleCount == 3) marks.angleArmed = false;
  if (marks.angleCount >= 3) return;
  marks.anglePoints[marks.angleCount++] = marks.toImage(x, y);
  if (marks.angleCount == 3) computeAngle(marks);
}

// Only the third point follows the mouse.
void moveAngle(MeasureMarks& marks, int x, int y) {
  if (!marks.angleArmed) return;
  if (marks.angleCount == 3) marks.angleCount = 2;
  if (marks.angleCount != 2) return;
  marks.anglePoints[2] = marks.toImage(x, y);
  marks.angleCount = 3;
  computeAngle(marks);
}
