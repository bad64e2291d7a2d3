// The main window: pressure view, result panels, tool bar, reference view and the bottom row.
// Its labelled controls are made without a text: their texts are in station/labelled_controls.h.
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Light_Button.H>
#include <FL/Fl_RGB_Image.H>
#include <FL/Fl_Round_Button.H>

#include "pedalyx/imaging/pressure_view.h"
#include "pedalyx/report/reference_view.h"
#include "pedalyx/report/report_gate_ui.h"
#include "pedalyx/shell/callbacks.h"
#include "pedalyx/shell/legend_image.h"
#include "pedalyx/shell/station_build_ui.h"
#include "pedalyx/shell/station_widgets_ui.h"
#include "pedalyx/station/handles.h"
#include "pedalyx/station/window_layout.h"

namespace {

void* modeData(MeasureModeValue mode) { return reinterpret_cast<void*>(static_cast<long>(mode)); }

Fl_Group* makePanel(int x, int y, int w, int h) {
  auto* panel = new Fl_Group(x, y, w, h);
  panel->box(FL_THIN_DOWN_BOX);
  return panel;
}

void buildZonePanel() {
  static const int kZoneCorners[12][2] = {{680, 617}, {732, 617}, {680, 646}, {732, 646},
                                          {680, 677}, {732, 677}, {803, 619}, {855, 619},
                                          {803, 648}, {855, 648}, {803, 679}, {855, 679}};
  Fl_Group* panel = makePanel(655, 562, 265, 148);
  for (int i = 0; i < 12; ++i) {
    zoneInputs[i] = makeValueInput(kZoneCorners[i][0], kZoneCorners[i][1], 30, 24, "%", 1);
    zoneInputs[i]->align(FL_ALIGN_RIGHT);
  }
  zoneLeftTag = makeOutputCaption(741, 590, 15, 24, nullptr);
  zoneRightTag = makeOutputCaption(863, 589, 15, 27, nullptr);
  zonePanelTitle = makePanelTitle(762, 571);
  panel->end();
}

void buildSizePanel() {
  Fl_Group* panel = makePanel(655, 12, 265, 89);
  leftLengthInput = makeValueInput(709, 41, 55, 24, nullptr, 1, 330);
  leftWidthInput = makeValueInput(710, 65, 55, 24, nullptr, 1, 150);
  rightLengthInput = makeValueInput(836, 41, 55, 24, nullptr, 1, 330);
  rightWidthInput = makeValueInput(836, 65, 55, 24, nullptr, 1, 150);
  sizePanelTitle = makePanelTitle(754, 21);
  panel->end();
}

void buildArchPanel() {
  Fl_Group* panel = makePanel(655, 105, 265, 85);
  leftArchInput = makeValueInput(707, 132, 55, 24, nullptr, 0.01);
  rightArchInput = makeValueInput(828, 131, 55, 24, nullptr, 0.01);
  archPanelTitle = makePanelTitle(720, 113);
  leftFootTypeOutput = new Fl_Output(707, 157, 65, 28);
  leftFootTypeOutput->color(FL_BACKGROUND_COLOR);
  rightFootTypeOutput = new Fl_Output(828, 157, 65, 28);
  rightFootTypeOutput->color(FL_BACKGROUND_COLOR);
  panel->end();
}

// One column of five ratio fields; the first `limited` fields are capped at 100.
Fl_Group* buildRatioColumn(int x, Fl_Value_Input** inputs, int limited) {
  static const int kRows[5] = {417, 441, 464, 488, 511};
  auto* column = new Fl_Group(x, 401, 60, 150);
  column->box(FL_THIN_DOWN_BOX);
  for (int i = 0; i < 5; ++i) {
    inputs[i] = makeValueInput(x + 9, kRows[i], 30, 24, "%", 1, i < limited ? 100 : 0);
    inputs[i]->align(FL_ALIGN_RIGHT);
  }
  column->end();
  return column;
}

void buildRatioPanel() {
  Fl_Group* panel = makePanel(655, 368, 265, 192);
  panel->labelfont(FL_BOLD);
  panel->labelsize(18);
  ratioLeftGroup = buildRatioColumn(714, ratioLeftInputs, 1);
  ratioRightGroup = buildRatioColumn(776, ratioRightInputs, 1);
  ratioTotalGroup = buildRatioColumn(837, ratioTotalInputs, 3);
  auto* legend = new Fl_Group(674, 466, 21, 21);
  legend->image(embeddedLegendImage());
  legend->align(FL_ALIGN_CENTER);
  legend->end();
  ratioPanelTitle = makePanelTitle(748, 376);
  panel->end();
}

void buildSharePanel() {
  Fl_Group* panel = makePanel(655, 252, 265, 113);
  panel->labelfont(FL_BOLD);
  panel->labelsize(18);
  auto share = [](int x, int y, Fl_Align align) {
    Fl_Value_Input* input = makeValueInput(x, y, 40, 24, nullptr, 0.1);
    input->align(align);
    return input;
  };
  shareUpperLeftInput = share(666, 294, FL_ALIGN_TOP);
  shareLowerLeftInput = share(666, 318, FL_ALIGN_BOTTOM);
  shareLeftInput = share(724, 309, FL_ALIGN_TOP);
  shareRightInput = share(792, 309, FL_ALIGN_TOP);
  shareUpperRightInput = share(847, 294, FL_ALIGN_TOP);
  shareLowerRightInput = share(847, 318, FL_ALIGN_BOTTOM);
  static const int kPercentSigns[6][2] = {{705, 314}, {707, 340}, {886, 314},
                                          {888, 340}, {762, 330}, {831, 330}};
  for (const auto& at : kPercentSigns) makeCaption(at[0], at[1], 15, 19, "%");
  sharePanelTitle = makePanelTitle(732, 260);
  panel->end();
}

Fl_Button* toolButton(int x, int y, int w, int h, Fl_Callback* callback, void* data = nullptr) {
  auto* button = new Fl_Button(x, y, w, h);
  button->callback(callback, data);
  return button;
}

void buildToolBar() {
  Fl_Group* bar = makePanel(5, 14, 630, 67);
  takePictureButton = toolButton(9, 27, 50, 45, takePictureCallback);
  angleToolButton = toolButton(359, 26, 50, 45, modeButtonCallback, modeData(kModeAngle));
  archToolButton = toolButton(179, 26, 64, 45, modeButtonCallback, modeData(kModeArchIndex));
  archToolButton->color(kLightGrey);
  lengthToolButton = toolButton(260, 26, 50, 45, modeButtonCallback, modeData(kModeLength));
  widthToolButton = toolButton(310, 26, 50, 45, modeButtonCallback, modeData(kModeWidth));
  reportButton = toolButton(581, 26, 50, 45, reportButtonCallback);
  clearButton = toolButton(459, 26, 64, 45, clearMeasurementCallback);
  calibrateButton = toolButton(84, 47, 50, 24, calibrateCallback);
  remarksButton = toolButton(531, 26, 50, 45, remarksButtonCallback);
  referenceLineButton =
      toolButton(409, 26, 50, 45, modeButtonCallback, modeData(kModeReferenceLine));
  bar->end();
}

Fl_Output* makeLargeOutput(int x, int y, int w, int h) {
  auto* output = new Fl_Output(x, y, w, h);
  output->color(FL_BACKGROUND_COLOR);
  output->labelsize(20);
  output->textsize(20);
  return output;
}

void buildBottomRow() {
  // Below the shoe size, clear of the analysis-area group, so the advice can be read.
  shoeTypeOutput = makeLargeOutput(223, 716, 130, 33);
  shoeSizeOutput = makeLargeOutput(223, 672, 60, 33);
  makeOutputCaption(318, 680, 15, 24, "mm")->box(FL_NO_BOX);
  crosshairButton = new Fl_Round_Button(6, 679, 67, 23);
  crosshairButton->down_box(FL_ROUND_DOWN_BOX);
  Fl_Group* area = makePanel(355, 706, 280, 60);
  analysisAreaButton = new Fl_Button(390, 716, 157, 40, "足壓分析專區");
  analysisAreaButton->color(FL_BLACK);
  analysisAreaButton->labelfont(FL_HELVETICA_BOLD_ITALIC);
  analysisAreaButton->labelcolor(FL_YELLOW);
  analysisAreaButton->labelsize(21);
  analysisAreaButton->callback(analysisAreaButtonCallback);
  area->end();
  // In the strip between the pressure view and the shoe size; shown with the arch-index tool.
  archToolHint = new Fl_Box(8, 646, 560, 24);
  archToolHint->align(FL_ALIGN_INSIDE | FL_ALIGN_LEFT);
  archToolHint->labelsize(15);
  archToolHint->labelcolor(FL_DARK_BLUE);
  archToolHint->hide();
  // Right of the analysis-area button; empty while no central database is configured.
  centralStatusBox = new Fl_Box(640, 740, 315, 28);
  centralStatusBox->align(FL_ALIGN_INSIDE | FL_ALIGN_LEFT | FL_ALIGN_CLIP);
  centralStatusBox->labelsize(15);
  centralStatusBox->hide();
  auto* loadButton = new Fl_Light_Button(575, 645, 60, 45, "LOAD");
  loadButton->callback(loadButtonCallback);
}

}  // namespace

void buildMainWindow() {
  mainWindow = new Fl_Double_Window(kMainWindowWidth, kMainWindowHeight);
  mainWindow->callback(mainWindowCloseCallback);
  // The pressure view opens the camera and loads the filter settings into the settings
  // window's sliders, so the settings window is built before this point.
  pressureView = styleView(new GL_Display_Pressure(), FL_THIN_DOWN_BOX);
  pressureView->reportSnapshotReady = checkReportData;
  buildZonePanel();
  buildSizePanel();
  buildArchPanel();
  buildRatioPanel();
  buildSharePanel();
  buildToolBar();
  referenceView = styleView(new GL_Display_reference(), FL_THIN_DOWN_BOX);
  buildBottomRow();
  mainWindow->end();
}
