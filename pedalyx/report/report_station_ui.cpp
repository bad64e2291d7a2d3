// The report's link to the station: reading the controls for a capture and running the export
// with the captured page, the pressure picture and the clock.
#include <FL/Fl_Choice.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Multiline_Input.H>
#include <FL/Fl_Output.H>
#include <FL/Fl_Value_Input.H>

#include "pedalyx/imaging/gait_pressure_ui.h"
#include "pedalyx/imaging/pressure_view.h"
#include "pedalyx/imaging/station_pressure_ui.h"
#include "pedalyx/report/examination_keeping.h"
#include "pedalyx/report/examination_parts_ui.h"
#include "pedalyx/report/reference_view.h"
#include "pedalyx/report/report_export.h"
#include "pedalyx/report/report_view.h"
#include "pedalyx/station/handles.h"
#include "platform/clock.h"
#include "platform/message_box_ui.h"
#include "platform/process.h"

namespace {

std::string textOf(const Fl_Input_* input) {
  return input != nullptr && input->value() != nullptr ? input->value() : "";
}

double valueOf(const Fl_Valuator* input) { return input != nullptr ? input->value() : 0.0; }

report::FootHandoff footOf(Fl_Value_Input* arch, Fl_Value_Input* length, Fl_Value_Input* width,
                           int firstZone) {
  report::FootHandoff foot;
  foot.archIndex = valueOf(arch);
  foot.length = valueOf(length);
  foot.width = valueOf(width);
  for (int i = 0; i < 6; ++i) foot.windowZones[i] = valueOf(zoneInputs[firstZone + i]);
  return foot;
}

}  // namespace

ReportInputs readReportInputsFromStation() {
  ReportInputs in;
  report::ReportValues& v = in.values;
  v.birthYear = textOf(birthYearInput);
  v.birthMonth = textOf(birthMonthInput);
  v.genderItem = entryGenderChoice != nullptr ? entryGenderChoice->value() : -1;
  v.phone = textOf(phoneInput);
  v.email = textOf(emailInput);
  v.leftLength = valueOf(leftLengthInput);
  v.leftWidth = valueOf(leftWidthInput);
  v.rightLength = valueOf(rightLengthInput);
  v.rightWidth = valueOf(rightWidthInput);
  v.leftArch = valueOf(leftArchInput);
  v.rightArch = valueOf(rightArchInput);
  for (int i = 0; i < 12; ++i) v.zones[i] = valueOf(zoneInputs[i]);
  v.shareLeft = valueOf(shareLeftInput);
  v.shareRight = valueOf(shareRightInput);
  v.shoeSize = shoeSizeOutput != nullptr && shoeSizeOutput->value() ? shoeSizeOutput->value() : "";
  // The columns the reference strip framed for the arch indexes shown.
  if (referenceView != nullptr) {
    v.leftColumn = referenceView->leftColumn;
    v.rightColumn = referenceView->rightColumn;
  }
  v.remarks = textOf(remarksInput);
  if (pressureView != nullptr) {
    in.markedImage = pressureView->markedImage;
    in.sway = &pressureView->swayRecorder;
    const StationPressure pressure = stationPressure();
    in.pressure = pressure.figures;
    in.pressureScale = pressure.scale;
    if (pressureView->gaitRecorder.state() == GaitRecorder::State::Done) {
      in.gait = &pressureView->gaitRecorder.results();
      in.gaitPressures = &stationGaitPressures();
      in.colourTable = pressureView->colourTable;
    }
  }
  return in;
}

void exportReport(GL_Display_report& view) {
  report::ExportInputs in;
  in.phone = textOf(phoneInput);
  in.time = platform::localTime(platform::epochSeconds());
  in.pageOnePixels = view.pageOnePixels.data();
  in.pageTwoPixels = view.pageTwoPixels.data();
  if (view.hasWalkingPage()) in.pageThreePixels = view.pageThreePixels.data();
  static const unsigned char noPicture[report::kPictureWidth * report::kPictureHeight * 3] = {};
  in.plainImage = pressureView != nullptr ? pressureView->plainImage : noPicture;
  in.left = footOf(leftArchInput, leftLengthInput, leftWidthInput, 0);
  in.right = footOf(rightArchInput, rightLengthInput, rightWidthInput, 6);
  in.startProgram = [](const std::string& command) { platform::startProgram(command); };
  // The export runs inside the report view's draw: the message waits for the event loop.
  const report::ExportResult result = report::exportReport(in);
  const std::string failure = report::describeExportFailure(result);
  if (!failure.empty()) platform::postMessageBox(failure, "報表");
  // The examination's record, after the files it names.
  addToExamination(report::partOfExport(exportFiguresFromStation(result.reportName)));
}
