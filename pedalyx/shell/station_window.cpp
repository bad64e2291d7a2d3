#include <FL/Fl_Choice.H>
#include <FL/Fl_Double_Window.H>

#include "pedalyx/report/report_view.h"
#include "pedalyx/shell/labels_ui.h"
#include "pedalyx/shell/station_build_ui.h"
#include "pedalyx/shell/station_widgets_ui.h"
#include "pedalyx/station/handles.h"
#include "platform/chinese_fonts_ui.h"

void buildStation() {
  platform::useChineseCapableFonts();
  buildRemarksWindow();
  buildDataEntryWindow();
  reportView = styleView(new GL_Display_report(), FL_FLAT_BOX);
  buildCalibrationWindow();
  buildSettingsWindow();
  buildAnalysisWindow();
  buildMainWindow();
  buildSwayWindow();
  buildPressureWindow();
  buildWalkWindow();
  // The window scales its content when the operator resizes it.
  mainWindow->resizable(mainWindow);
  // The station always starts in Traditional characters; the stored choice is not read.
  languageChoice->value(0);
  applyTraditionalLabels();
}
