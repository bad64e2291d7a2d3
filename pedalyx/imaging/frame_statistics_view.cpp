// The pressure view's frame cycle joined to the foot statistics and the measuring tools.
#include "pedalyx/imaging/frame_statistics_view.h"

#include <FL/Fl_Value_Input.H>

#include "pedalyx/capture/camera_frame_source.h"
#include "pedalyx/imaging/foot_zone_analyzer.h"
#include "pedalyx/imaging/foot_zone_analyzer_gl.h"
#include "pedalyx/imaging/measure_marks.h"
#include "pedalyx/imaging/measure_marks_gl.h"
#include "pedalyx/imaging/pressure_view.h"
#include "pedalyx/imaging/zone_results_ui.h"
#include "pedalyx/station/handles.h"

void createAnalysisRecords(GL_Display_Pressure& view) {
  view.analyzer = std::make_unique<FootZoneAnalyzer>(view.levelImage, view.w(), view.h());
  view.measureLeft = std::make_unique<MeasureMarks>(view.w(), view.h());
  view.measureRight = std::make_unique<MeasureMarks>(view.w(), view.h());
}

void resizeAnalysisRecords(GL_Display_Pressure& view, int width, int height) {
  view.analyzer->rescale(width, height);
  view.measureLeft->resize(width, height);
  view.measureRight->resize(width, height);
}

void rescaleAnalyzer(GL_Display_Pressure& view, int width, int height) {
  view.analyzer->rescale(width, height);
}

void computeFootZonesOfLevels(GL_Display_Pressure& view) {
  view.analyzer->computeFootZones(view.analyzer->left);
  view.analyzer->computeFootZones(view.analyzer->right);
}

void runFrameStatistics(GL_Display_Pressure& view) {
  view.analyzer->computeLevelStatistics();
  drawPressureCentres(*view.analyzer);
  drawFootAxes(*view.analyzer);
}

void recordSwayFrame(GL_Display_Pressure& view) {
  SwayRecorder& recorder = view.swayRecorder;
  if (!recorder.isRecording()) return;
  if (!view.live || view.reviewMode) return recorder.stop(SwayStop::PictureHeld);
  // While the background is retaken the level image stands still: no samples.
  if (view.frameSource == nullptr || view.calibrationRequested) return;
  recorder.addFrame(view.frameSource->framesRead, view.frameSource->frameSeconds,
                    view.analyzer->momentsLeft, view.analyzer->momentsRight, view.levelImage);
}

void drawMeasureMarks(GL_Display_Pressure& view) {
  drawMarks(*view.measureLeft);
  drawMarks(*view.measureRight);
}

int placedMeasureMarks(const GL_Display_Pressure& view, bool left) {
  const MeasureMarks* marks = left ? view.measureLeft.get() : view.measureRight.get();
  return marks != nullptr ? marks->lengthCount + marks->widthCount + marks->angleCount : 0;
}

void publishFrameResults(GL_Display_Pressure& view) {
  publishResults(*view.analyzer, view.publishedResults, view.shoeSizeText,
                 sizeof view.shoeSizeText);
}

static MeasureMarks& marksUnder(GL_Display_Pressure& view, int x) {
  return isLeftFootColumn(view.measureLeft->toImage(x, 0).x) ? *view.measureLeft
                                                             : *view.measureRight;
}

void pressAnalysisTool(GL_Display_Pressure& view, bool rightButton, int x, int y) {
  if (view.measureMode == kArchIndexTool) {
    if (rightButton) {
      view.analyzer->removeAxis(x);
    } else {
      view.analyzer->placeAxisPoint(x, y);
    }
    return;
  }
  if (rightButton) return;
  MeasureMarks& marks = marksUnder(view, x);
  const int yUp = view.h() - y - 1;
  if (view.measureMode == kLengthTool) pressLength(marks, x, yUp);
  if (view.measureMode == kWidthTool) pressWidth(marks, x, yUp);
  if (view.measureMode == kAngleTool) pressAngle(marks, x, yUp);
}

static Fl_Value_Input* footSizeField(FootSizeUpdate::Field field) {
  switch (field) {
    case FootSizeUpdate::LeftLength:
      return leftLengthInput;
    case FootSizeUpdate::RightLength:
      return rightLengthInput;
    case FootSizeUpdate::LeftWidth:
      return leftWidthInput;
    case FootSizeUpdate::RightWidth:
      return rightWidthInput;
  }
  return nullptr;
}

void moveAnalysisTool(GL_Display_Pressure& view, int x, int y) {
  MeasureMarks& marks = marksUnder(view, x);
  const int yUp = view.h() - y - 1;
  std::optional<FootSizeUpdate> update;
  if (view.measureMode == kLengthTool) update = moveLength(marks, x, yUp);
  if (view.measureMode == kWidthTool) update = moveWidth(marks, x, yUp);
  if (view.measureMode == kAngleTool) moveAngle(marks, x, yUp);
  if (update) {
    Fl_Value_Input* field = footSizeField(update->field);
    if (field != nullptr) field->value(update->millimetres);
  }
}
