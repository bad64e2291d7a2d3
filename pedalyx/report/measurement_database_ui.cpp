// "Save" of the analysis window: gathers the window's fields and the balance pictures and hands
// them to the database writer; tells the operator when something could not be written, or not
// as typed.
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Text_Display.H>
#include <FL/Fl_Value_Input.H>
#include <FL/Fl_Value_Output.H>
#include <FL/Fl_Value_Slider.H>

#include "pedalyx/imaging/pressure_view.h"
#include "pedalyx/report/examination_keeping.h"
#include "pedalyx/report/examination_parts.h"
#include "pedalyx/report/measurement_database.h"
#include "pedalyx/station/handles.h"
#include "platform/clock.h"
#include "platform/message_box_ui.h"

namespace {

std::string captionText(const Fl_Text_Display* caption) {
  return caption->label() != nullptr ? caption->label() : "";
}

MeasurementRecord readAnalysisWindow() {
  MeasurementRecord record;
  record.id = idInput->value();
  record.genderItem = genderChoice->value();
  record.age = ageInput->value();
  record.height = heightInput->value();
  record.weight = weightInput->value();
  for (int side = 0; side < 2; ++side) {
    record.navicularDrop[side] = navicularDropInputs[side]->value();
    record.footLength[side] = footLengthInputs[side]->value();
    record.footWidth[side] = footWidthInputs[side]->value();
    record.halluxAngle[side] = halluxAngleInputs[side]->value();
  }
  record.captionLow = captionText(balanceCaption2080);
  record.captionEven = captionText(balanceCaption5050);
  record.captionHigh = captionText(balanceCaption8020);
  record.archLow[0] = archOutput2080L->value();
  record.archLow[1] = archOutput2080R->value();
  record.archEven[0] = archOutput5050L->value();
  record.archEven[1] = archOutput5050R->value();
  record.archHigh[0] = archOutput8020L->value();
  record.archHigh[1] = archOutput8020R->value();
  for (int i = 0; i < 12; ++i) record.zones[i] = zoneInputs[i]->value();
  for (int k = 0; k < 6; ++k) {
    record.caseTexts[k] = caseInputs[k]->value();
    record.caseLeft[k] = caseLeftChecks[k]->value() != 0;
    record.caseRight[k] = caseRightChecks[k]->value() != 0;
  }
  record.leftShare = ratioSlider->value();
  record.rightShare = ratioRightOutput->value();
  return record;
}

}  // namespace

void appendMeasurementRecord() {
  const uint32_t stamp = saveStamp(platform::epochSeconds());
  MeasurementRecord record = readAnalysisWindow();
  BalancePictures pictures;
  pictures.low = pressureView->balanceImage2080;
  pictures.even = pressureView->balanceImage5050;
  pictures.high = pressureView->balanceImage8020;
  SaveOutcome outcome = saveMeasurement(pressureView->startDirectory, record, pictures, stamp);
  // The row first, then the examination's record.
  addToExamination(report::partOfSave(record, stamp, outcome, pressureView->startDirectory));
  // Item 1 of the language choice is the Simplified label set.
  const bool simplified = languageChoice != nullptr && languageChoice->value() == 1;
  const std::string failure = describeSaveFailure(outcome, simplified);
  const std::string inexact = describeInexactTexts(record, simplified);
  if (!failure.empty()) {
    platform::postMessageBox(failure + inexact, simplified ? "储存失败" : "儲存失敗");
  } else if (!inexact.empty()) {
    platform::postMessageBox(inexact, simplified ? "储存" : "儲存");
  }
}
