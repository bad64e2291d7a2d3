// The pressure view's answer to the station's clock: is there anything new to draw? A live
// view draws when the camera has a frame ready; a held picture draws only when a setting, a
// request, a mark or the window changed, so a station nobody touches rests.
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Round_Button.H>
#include <FL/Fl_Value_Input.H>
#include <FL/Fl_Value_Slider.H>

#include <algorithm>

#include "pedalyx/imaging/camera_link_view.h"
#include "pedalyx/imaging/foot_zone_analyzer.h"
#include "pedalyx/imaging/frame_statistics_view.h"
#include "pedalyx/imaging/gait_frames_view.h"
#include "pedalyx/imaging/pressure_view.h"
#include "pedalyx/station/handles.h"

bool GL_Display_Pressure::PassInputs::operator!=(const PassInputs& other) const {
  return filters.noise != other.filters.noise || filters.gen != other.filters.gen ||
         autoCapture != other.autoCapture || ratio != other.ratio;
}

GL_Display_Pressure::PassInputs GL_Display_Pressure::passInputs() const {
  PassInputs inputs;
  inputs.filters = filterValues();
  // Balance captures happen in the passes; a moved target may catch the held picture.
  inputs.autoCapture = autoCaptureCheck != nullptr && autoCaptureCheck->value() != 0;
  inputs.ratio = ratioSlider != nullptr ? ratioSlider->value() : 0;
  return inputs;
}

GL_Display_Pressure::OverlayInputs GL_Display_Pressure::overlayInputs() const {
  const bool crosshair = crosshairButton != nullptr && crosshairButton->value() != 0;
  const int leftAxis = analyzer != nullptr ? analyzer->left.pointCount : 0;
  const int rightAxis = analyzer != nullptr ? analyzer->right.pointCount : 0;
  const int counts[] = {live,
                        reviewMode,
                        crosshair,
                        referencePointCount,
                        leftAxis,
                        rightAxis,
                        placedMeasureMarks(*this, true),
                        placedMeasureMarks(*this, false),
                        w(),
                        h(),
                        measureMode,
                        firstInit};
  OverlayInputs inputs;
  std::copy(std::begin(counts), std::end(counts), inputs.values.begin());
  inputs.values[12] = leftLengthInput != nullptr ? leftLengthInput->value() : 0;
  inputs.values[13] = rightLengthInput != nullptr ? rightLengthInput->value() : 0;
  return inputs;
}

bool GL_Display_Pressure::passesDue() const {
  // Live, the ring advances with every cycle, so cycles keep to the camera's frames: requests
  // and new settings are served with the next frame, at most one frame period later.
  if (live && frameSource != nullptr) return cameraFrameDue(*frameSource);
  return !passesRun_ || calibrationRequested || reportRequest || ringFrames < kRingSize ||
         passInputs() != lastPassInputs_;
}

void GL_Display_Pressure::redrawIfChanged() {
  if (!shown()) return;
  if (overlayInputs() != lastOverlayInputs_ || (!reviewMode && passesDue()) ||
      recordedFramesWaiting(*this))
    redraw();
}
