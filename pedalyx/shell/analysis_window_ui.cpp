// The analysis window: three balance views, their arch indexes, the subject's body data and
// condition cases for the measurement database, and the balance ratio slider. "歷史",
// "重心搖擺", "足底壓力" and "步態分析" are labelled controls: their texts are in
// station/labelled_controls.h.
#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Value_Output.H>
#include <FL/Fl_Value_Slider.H>

#include "pedalyx/imaging/balance_view.h"
#include "pedalyx/shell/callbacks.h"
#include "pedalyx/shell/settings_ui.h"
#include "pedalyx/shell/station_build_ui.h"
#include "pedalyx/shell/station_widgets_ui.h"
#include "pedalyx/station/handles.h"
#include "pedalyx/station/window_layout.h"

namespace {

Fl_Value_Output* makeArchOutput(int x, const char* label) {
  auto* output = new Fl_Value_Output(x, 454, 58, 26, label);
  output->step(0.01);
  output->labelsize(18);
  output->textsize(18);
  return output;
}

Fl_Text_Display* makeBalanceCaption(int x, const char* label) {
  Fl_Text_Display* caption = makeCaption(x, 85, 50, 30, label);
  caption->labelsize(18);
  caption->align(FL_ALIGN_LEFT);
  return caption;
}

Fl_Value_Input* makeBodyInput(int y, const char* label, double maximum, double step) {
  Fl_Value_Input* input = makeValueInput(62, y, 61, 28, label, step, maximum);
  input->labelsize(20);
  input->textsize(20);
  return input;
}

// A sunken group holding one left and one right value for the database.
void buildPairGroup(int y, const char* label, Fl_Value_Input** pair, double maximum) {
  auto* group = new Fl_Group(420, y, 240, 42, label);
  group->box(FL_DOWN_BOX);
  group->labelsize(20);
  group->align(FL_ALIGN_LEFT);
  pair[0] = makeValueInput(434, y + 4, 80, 34, nullptr, 1, maximum);
  pair[1] = makeValueInput(545, y + 4, 94, 34, nullptr, 1, maximum);
  pair[0]->textsize(20);
  pair[1]->textsize(20);
  group->end();
}

Fl_Check_Button* makeCaseCheck(int x, int y, int w, const char* label) {
  auto* check = new Fl_Check_Button(x, y, w, 24, label);
  check->down_box(FL_DOWN_BOX);
  check->labelsize(18);
  return check;
}

void buildCaseGroup() {
  static const char* const kCaseLabels[6] = {"C1", "C2", "C3", "C4", "C5", "C6"};
  auto* group = new Fl_Group(736, 534, 319, 194, "病症 Case L / R");
  group->box(FL_DOWN_BOX);
  group->labelsize(20);
  for (int row = 0; row < 6; ++row) {
    caseLeftChecks[row] = makeCaseCheck(958, 545 + 30 * row, 40, "L");
    caseRightChecks[row] = makeCaseCheck(1002, 545 + 30 * row, 45, "R");
    caseInputs[row] = new Fl_Input(767, 544 + 30 * row, 187, 26, kCaseLabels[row]);
    caseInputs[row]->labelsize(16);
    caseInputs[row]->textsize(16);
    caseInputs[row]->callback(caseInputCallback, reinterpret_cast<void*>(static_cast<long>(row)));
    loadCaseInput(row);
  }
  group->end();
}

Fl_Text_Display* makeUnitCaption(int x, int y, const char* label) {
  Fl_Text_Display* caption = makeCaption(x, y, 25, 30, label);
  caption->labelsize(16);
  caption->align(FL_ALIGN_LEFT);
  return caption;
}

void buildGenderChoice() {
  static Fl_Menu_Item items[] = {{"男", 0, nullptr, nullptr, 0, FL_NORMAL_LABEL, 0, 20, 0},
                                 {"女", 0, nullptr, nullptr, 0, FL_NORMAL_LABEL, 0, 20, 0},
                                 {"中立", 0, nullptr, nullptr, 0, FL_NORMAL_LABEL, 0, 20, 0},
                                 {nullptr, 0, nullptr, nullptr, 0, 0, 0, 0, 0}};
  genderChoice = new Fl_Choice(62, 572, 85, 30, "性別");
  genderChoice->down_box(FL_DOWN_BOX);
  genderChoice->labelsize(20);
  genderChoice->textsize(20);
  genderChoice->menu(items);
  genderChoice->value(0);
}

}  // namespace

void buildAnalysisWindow() {
  analysisWindow = new Fl_Double_Window(kAnalysisWindowWidth, kAnalysisWindowHeight);
  balanceView2080 = styleView(new BalanceView(40, 116, BalanceSlot::kLow), FL_THIN_UP_BOX);
  balanceView5050 = styleView(new BalanceView(405, 116, BalanceSlot::kEven), FL_THIN_UP_BOX);
  balanceView8020 = styleView(new BalanceView(770, 116, BalanceSlot::kHigh), FL_THIN_UP_BOX);
  autoCaptureCheck = new Fl_Check_Button(45, 18, 103, 25, "自動截圖");
  autoCaptureCheck->down_box(FL_DOWN_BOX);
  autoCaptureCheck->labelsize(18);
  balanceCaption2080 = makeBalanceCaption(221, "20/80");
  balanceCaption5050 = makeBalanceCaption(582, "50/50");
  balanceCaption8020 = makeBalanceCaption(947, "80/20");
  archOutput2080L = makeArchOutput(115, "左足弓指標:");
  archOutput2080R = makeArchOutput(302, "右足弓指標:");
  idInput = new Fl_Input(62, 543, 224, 28, "ID");
  idInput->labelsize(20);
  idInput->textsize(20);
  ageInput = makeBodyInput(604, "年齡", 120, 1);
  heightInput = makeBodyInput(632, "身高", 220, 0.1);
  weightInput = makeBodyInput(660, "體重", 120, 0.1);
  buildPairGroup(537, "舟狀骨下沉量", navicularDropInputs, 100);
  buildCaseGroup();
  buildPairGroup(584, "足長", footLengthInputs, 360);
  buildPairGroup(632, "足寬", footWidthInputs, 150);
  archOutput5050L = makeArchOutput(480, "左足弓指標:");
  archOutput5050R = makeArchOutput(667, "右足弓指標:");
  archOutput8020L = makeArchOutput(845, "左足弓指標:");
  archOutput8020R = makeArchOutput(1032, "右足弓指標:");
  Fl_Text_Display* sides = makeCaption(556, 507, 50, 30, "L / R");
  sides->labelsize(20);
  sides->align(FL_ALIGN_LEFT);
  ratioSlider = new Fl_Value_Slider(469, 18, 180, 27, "足壓百分比比例 (左)");
  ratioSlider->type(FL_HOR_SLIDER);
  ratioSlider->bounds(0, 100);
  ratioSlider->step(1);
  ratioSlider->value(20);
  ratioSlider->labelsize(16);
  ratioSlider->textsize(16);
  ratioSlider->align(FL_ALIGN_LEFT);
  ratioSlider->callback(ratioSliderCallback);
  ratioRightOutput = new Fl_Value_Output(647, 18, 33, 28, "右");
  ratioRightOutput->maximum(100);
  ratioRightOutput->value(80);
  ratioRightOutput->labelsize(16);
  ratioRightOutput->textsize(16);
  ratioRightOutput->align(FL_ALIGN_RIGHT);
  databaseSaveButton = new Fl_Button(1061, 642, 62, 85, "Save");
  databaseSaveButton->color(kSaveGreen);
  databaseSaveButton->callback(databaseSaveCallback);
  historyButton = new Fl_Button(1061, 545, 62, 85);
  historyButton->labelsize(18);
  historyButton->callback(historyButtonCallback);
  swayButton = new Fl_Button(960, 14, 130, 34);
  swayButton->labelsize(18);
  swayButton->callback(swayButtonCallback);
  // Beside the body data: the weight typed above scales the pressures when the plate is not
  // calibrated.
  pressureButton = new Fl_Button(20, 700, 160, 40);
  pressureButton->labelsize(18);
  pressureButton->callback(pressureButtonCallback);
  walkButton = new Fl_Button(820, 14, 130, 34);
  walkButton->labelsize(18);
  walkButton->callback(walkButtonCallback);
  buildGenderChoice();
  makeUnitCaption(148, 658, "kg");
  makeUnitCaption(151, 633, "cm");
  buildPairGroup(678, "大腳趾外翻角度", halluxAngleInputs, 360);
  analysisWindow->end();
}
