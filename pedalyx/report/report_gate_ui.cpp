#include "pedalyx/report/report_gate_ui.h"

#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Value_Input.H>

#include "pedalyx/report/report_gate.h"
#include "pedalyx/report/report_view.h"
#include "pedalyx/station/handles.h"
#include "platform/message_box_ui.h"

namespace {

double valueOf(const Fl_Value_Input* input) { return input != nullptr ? input->value() : 0.0; }

}  // namespace

void checkReportData() {
  report::ReportGateInput in;
  in.phone = phoneInput != nullptr && phoneInput->value() != nullptr ? phoneInput->value() : "";
  in.leftLength = valueOf(leftLengthInput);
  in.rightLength = valueOf(rightLengthInput);
  in.leftWidth = valueOf(leftWidthInput);
  in.rightWidth = valueOf(rightWidthInput);
  in.leftArch = valueOf(leftArchInput);
  in.rightArch = valueOf(rightArchInput);
  report::ReportGateVerdict verdict = report::judgeReportData(in);
  if (verdict != report::ReportGateVerdict::Complete) {
    // The data-entry window stays open so the operator can correct and confirm again.
    report::GateMessage message = report::gateMessage(verdict);
    platform::showMessageBox(message.text, message.caption);
    return;
  }
  if (reportView != nullptr) {
    reportView->show();
    reportView->exportPending = true;
  }
  if (dataEntryWindow != nullptr) dataEntryWindow->hide();
}
