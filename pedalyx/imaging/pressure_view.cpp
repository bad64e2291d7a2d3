#include "pedalyx/imaging/pressure_view.h"

#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Value_Slider.H>

#include <cstdio>
#include <cstdlib>

#include "pedalyx/capture/camera_frame_source.h"
#include "pedalyx/imaging/calibration_store.h"
#include "pedalyx/imaging/camera_link_view.h"
#include "pedalyx/imaging/filter_settings.h"
#include "pedalyx/imaging/foot_zone_analyzer.h"
#include "pedalyx/imaging/frame_statistics_view.h"
#include "pedalyx/imaging/measure_marks.h"
#include "pedalyx/imaging/pressure_calibration_file.h"
#include "pedalyx/station/handles.h"
#include "platform/files.h"
#include "platform/message_box_ui.h"
#include "platform/text_encoding.h"

namespace {

// Puts settings-file values into sliders; sliders keep their defaults when the file is missing.
void loadSliderSettings(const char* path, Fl_Value_Slider* const* sliders, int count) {
  const std::optional<std::vector<float>> values = readSettingValues(path, count);
  if (!values) return;
  for (int i = 0; i < count; ++i)
    if (sliders[i] != nullptr) sliders[i]->value((*values)[i]);
}

}  // namespace

GL_Display_Pressure::GL_Display_Pressure() : Fl_Gl_Window(5, 86, 630, 540) {
  end();  // widgets built after the view belong to its parent, not into the view
  mode(FL_RGB | FL_DOUBLE | FL_DEPTH);
  frameSource = openCameraForView();
  Fl_Value_Slider* noiseSliders[2] = {noiseFilterSlider, toneDensitySlider};
  loadSliderSettings(kNoiseSettingsFile, noiseSliders, 2);
  loadSliderSettings(kBlueBlockSettingsFile, blockSliders, 6);
  gridLeft = std::make_unique<CalibrationGrid>();
  gridRight = std::make_unique<CalibrationGrid>();
  loadCalibrationPoints(*this);
  pressureCalibration = loadPressureCalibration(kPressureCalibrationFile);
  calibrationRequested = false;
  pipeline.shaderState = 0;
  createAnalysisRecords(*this);
  // The remaining state starts as declared: ring empty, live, no background frames yet.
  startDirectory = platform::utf8ToSystemCodePage(platform::currentDirectory());
}

// GL names die with the context; the context may already be gone here.
GL_Display_Pressure::~GL_Display_Pressure() { releaseCamera(); }

void GL_Display_Pressure::releaseCamera() {
  // A walking recording's thread reads the camera: it ends first.
  gaitRecorder.clear();
  releaseCameraForView(frameSource);
}

FilterValues GL_Display_Pressure::filterValues() const {
  FilterValues values;
  if (noiseFilterSlider != nullptr) values.noise = static_cast<float>(noiseFilterSlider->value());
  if (toneDensitySlider != nullptr) values.gen = static_cast<float>(toneDensitySlider->value());
  return values;
}

void GL_Display_Pressure::drawColourPicture(int width, int height) {
  colourPass(pipeline, filterValues(), width, height);
}

void loadCalibrationPoints(GL_Display_Pressure& view) {
  loadCalibrationStore(kCalibrationStoreFile, *view.gridLeft, *view.gridRight);
}

void saveCalibrationPoints(GL_Display_Pressure& view) {
  if (!saveCalibrationStore(kCalibrationStoreFile, *view.gridLeft, *view.gridRight)) {
    std::fprintf(stderr, "calibration points could not be saved to %s\n", kCalibrationStoreFile);
    platform::showMessageBox("校正點未能儲存，原有的校正點不變。", "儲存校正點");
  }
}

void loadReferencePointFile(GL_Display_Pressure& view) {
  if (readReferencePointFile("point_reference_0.txt", *view.gridLeft) ==
      ReferenceFileResult::Refused) {
    platform::showMessageBox("point_reference_0.txt 的校正點有誤(不是數字或超出畫面)，校正點不變。",
                             "載入校正點");
  }
}

int GL_Display_Pressure::handle(int event) {
  const int x = Fl::event_x();
  const int y = Fl::event_y();
  const int yUp = h() - y - 1;  // drawing coordinates have their origin bottom-left
  switch (event) {
    case FL_PUSH:
      if (Fl::event_button() == FL_LEFT_MOUSE) {
        if (measureMode >= kArchIndexTool && measureMode <= kAngleTool) {
          pressAnalysisTool(*this, false, x, y);
        } else if (measureMode == kReferenceLineTool &&
                   referencePointCount < kReferenceLineCapacity) {
          referenceLines[referencePointCount] = {x, yUp};
          ++referencePointCount;
        }
      } else if (Fl::event_button() == FL_RIGHT_MOUSE && measureMode == kArchIndexTool) {
        pressAnalysisTool(*this, true, x, y);
      }
      redraw();  // marks and lines change without a new frame
      return 1;
    case FL_MOVE:
      cursorX = x;
      cursorY = yUp;
      if (measureMode >= kLengthTool && measureMode <= kAngleTool) {
        moveAnalysisTool(*this, x, y);
      } else if (measureMode == kReferenceLineTool && referencePointCount % 2 == 1 &&
                 referencePointCount < kReferenceLineCapacity) {
        // The open segment's end follows the mouse until the next click fixes it.
        referenceLines[referencePointCount] = {cursorX, cursorY};
      }
      redraw();  // the crosshair and the open tools follow the mouse
      return 1;
    case FL_DRAG:
    case FL_RELEASE:
    case FL_MOUSEWHEEL:
      return 1;
    default:
      return Fl_Gl_Window::handle(event);
  }
}
