#include "pedalyx/report/report_gate_ui.h"

#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Value_Input.H>

#include "pedalyx/report/report_view.h"
#include "pedalyx/shell/handles.h"
#include "pedalyx/shell/report_gate.h"
#include "platform/message_box_ui.h"

namespace {

double valueOf(const Fl_Value_Input* input) { return input != nullptr ? input->value() : 0.0; }

}  // namespace

void checkReportData() {
  shell::ReportGateInput in;
  in.phone = phoneInput != nullptr && phoneInput->value() != nullptr ? phoneInput->value() : "";
  in.leftLength = valueOf(leftLengthInput);
  in.rightLength = valueOf(rightLengthInput);
  in.leftWidth = valueOf(leftWidthInput);
  in.rightWidth = valueOf(rightWidthInput);
  in.leftArch = valueOf(leftArchInput);
  in.rightArch = valueOf(rightArchInput);
  shell::ReportGateVerdict verdict = shell::judgeReportData(in);
  if (verdict != shell::ReportGateVerdict::Complete) {
    // The data-entry window stays open so the operator can correct and confirm again.
    shell::GateMessage message = shell::gateMessage(verdict);
    platform::showMessageBox(message.text, message.caption);
    return;
  }
  if (reportView != nullptr) {
    reportView->show();
    reportView->exportPending = true;
  }
  if (dataEntryWindow != nullptr) dataEntryWindow->hide();
}
