// Callbacks of the measuring tool bar, the picture hold, the background calibration and the
// hand-overs to the archive and the calibration grids. They only set the pressure view's modes
// and flags and reset records; the next draw of the view does the work.
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Multiline_Input.H>
#include <FL/Fl_Value_Input.H>

#include <cstdio>

#include "pedalyx/imaging/foot_zone_analyzer.h"
#include "pedalyx/imaging/measure_marks.h"
#include "pedalyx/imaging/pressure_view.h"
#include "pedalyx/report/examination_keeping.h"
#include "pedalyx/report/measurement_database.h"
#include "pedalyx/report/pressure_image_loader.h"
#include "pedalyx/report/report_view.h"
#include "pedalyx/shell/callbacks.h"
#include "pedalyx/shell/station_widgets_ui.h"
#include "pedalyx/station/handles.h"

namespace {

constexpr Fl_Color kActiveYellow = 3;

// The pressed mode button yellow, the others light grey; nullptr greys all five.
void highlightModeButton(Fl_Widget* active) {
  Fl_Button* const buttons[5] = {archToolButton, lengthToolButton, widthToolButton, angleToolButton,
                                 referenceLineButton};
  for (int i = 0; i < 5; ++i) buttons[i]->color(buttons[i] == active ? kActiveYellow : kLightGrey);
  for (int i = 0; i < 5; ++i) buttons[i]->redraw();
  if (active == archToolButton)
    archToolHint->show();
  else
    archToolHint->hide();
}

void clearResultFields() {
  Fl_Value_Input* fields[] = {leftLengthInput,      rightLengthInput,     leftWidthInput,
                              rightWidthInput,      leftArchInput,        rightArchInput,
                              shareUpperLeftInput,  shareLowerLeftInput,  shareLeftInput,
                              shareUpperRightInput, shareLowerRightInput, shareRightInput};
  for (Fl_Value_Input* field : fields) field->value(0);
  for (Fl_Value_Input* zone : zoneInputs) zone->value(0);
  // The analyzer's current results go into the cleared fields again at the next draw.
  pressureView->publishedResults.valid = false;
}

void resetMeasureMarks() {
  pressureView->measureLeft->reset();
  pressureView->measureRight->reset();
}

// Back to the live view: the next subject starts with empty personal data and no marks, and
// the last customer's examination record is closed.
void prepareNextSubject() {
  closeExamination();
  remarksInput->value("");
  phoneInput->value("");
  emailInput->value("");
  birthYearInput->value("");
  birthMonthInput->value("");
  entryGenderChoice->value(0);
  pressureView->referencePointCount = 0;
  takePictureButton->color(kLightGrey);
  // Nothing measured on this customer may reach the next one's fields, pages or files.
  pressureView->analyzer->removeBothAxes();
  pressureView->swayRecorder.clear();
  pressureView->gaitRecorder.clear();
  resetMeasureMarks();
  pressureView->measureMode = kNoTool;
  reportView->hide();
  dataEntryWindow->hide();
  highlightModeButton(nullptr);
  takePictureButton->redraw();
}

}  // namespace

void takePictureCallback(Fl_Widget*, void*) {
  std::printf("Take a Picture \n");
  clearResultFields();
  pressureView->live = !pressureView->live;
  if (!pressureView->live) {
    takePictureButton->color(kActiveYellow);
    takePictureButton->redraw();
    return;
  }
  prepareNextSubject();
}

void modeButtonCallback(Fl_Widget* widget, void* data) {
  // Switching tools keeps every record: a tool continues where it stopped.
  pressureView->measureMode = static_cast<int>(reinterpret_cast<long>(data));
  highlightModeButton(widget);
}

void clearMeasurementCallback(Fl_Widget*, void*) {
  pressureView->measureMode = kNoTool;
  resetMeasureMarks();
  pressureView->referencePointCount = 0;
  reportView->hide();
  dataEntryWindow->hide();
  highlightModeButton(nullptr);
}

void calibrateCallback(Fl_Widget*, void*) {
  pressureView->calibrationRequested = true;
  reportView->hide();
  dataEntryWindow->hide();
}

// The button's light toggles by itself on each press; the load does not depend on it.
void loadButtonCallback(Fl_Widget*, void*) { loadPressureImage(); }

void databaseSaveCallback(Fl_Widget*, void*) { appendMeasurementRecord(); }

void savePointsCallback(Fl_Widget*, void*) { saveCalibrationPoints(*pressureView); }

void loadPointsCallback(Fl_Widget*, void*) { loadCalibrationPoints(*pressureView); }

void loadPointsFileCallback(Fl_Widget*, void*) { loadReferencePointFile(*pressureView); }
