// The examination's parts as the windows show them: the main window's results and the
// data-entry window at the moment of the export, with how each size and arch index came about.
#include "pedalyx/report/examination_parts_ui.h"

#include <FL/Fl_Choice.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Multiline_Input.H>
#include <FL/Fl_Output.H>
#include <FL/Fl_Value_Input.H>

#include <cmath>

#include "pedalyx/imaging/foot_zone_analyzer.h"
#include "pedalyx/imaging/measure_marks.h"
#include "pedalyx/imaging/pressure_view.h"
#include "pedalyx/imaging/station_pressure_ui.h"
#include "pedalyx/report/examination_parts.h"
#include "pedalyx/report/reference_view.h"
#include "pedalyx/station/handles.h"

namespace {

std::string textOf(const Fl_Input_* input) {
  return input != nullptr && input->value() != nullptr ? input->value() : "";
}

double valueOf(const Fl_Valuator* input) { return input != nullptr ? input->value() : 0.0; }

// "measured" when the field holds what the tool last measured, else the operator typed it.
const char* originOf(bool measured, double tool, double field) {
  return measured && std::fabs(tool - field) < 1e-4 ? "measured" : "typed";
}

}  // namespace

report::ExportFigures exportFiguresFromStation(const std::string& reportName) {
  report::ExportFigures f;
  report::CustomerData& c = f.customer;
  c.phone = textOf(phoneInput);
  c.email = textOf(emailInput);
  c.birthYear = textOf(birthYearInput);
  c.birthMonth = textOf(birthMonthInput);
  c.gender = genderWord(entryGenderChoice != nullptr ? entryGenderChoice->value() : -1);
  c.id = textOf(idInput);
  f.reportName = reportName;
  Fl_Value_Input* const lengths[2] = {leftLengthInput, rightLengthInput};
  Fl_Value_Input* const widths[2] = {leftWidthInput, rightWidthInput};
  Fl_Value_Input* const arches[2] = {leftArchInput, rightArchInput};
  Fl_Output* const types[2] = {leftFootTypeOutput, rightFootTypeOutput};
  for (int s = 0; s < 2; ++s) {
    f.length[s] = valueOf(lengths[s]);
    f.width[s] = valueOf(widths[s]);
    f.archIndex[s] = valueOf(arches[s]);
    f.footType[s] = textOf(types[s]);
    f.sizeOrigin[s] = "typed";
    f.archOrigin[s] = "typed";
    if (pressureView != nullptr) {
      const MeasureMarks* marks =
          (s == 0 ? pressureView->measureLeft : pressureView->measureRight).get();
      const bool measured = marks != nullptr && marks->lengthCount == 2;
      f.sizeOrigin[s] = originOf(measured, marks != nullptr ? marks->lengthResult : 0, f.length[s]);
      if (const FootZoneAnalyzer* analyzer = pressureView->analyzer.get()) {
        const FootAxis& axis = s == 0 ? analyzer->left : analyzer->right;
        f.archOrigin[s] = originOf(axis.pointCount == 2, axis.archIndex, f.archIndex[s]);
      }
    }
  }
  if (referenceView != nullptr) {
    f.referenceColumn[0] = referenceView->leftColumn;
    f.referenceColumn[1] = referenceView->rightColumn;
  }
  f.shoeType = textOf(shoeTypeOutput);
  f.shoeSize = textOf(shoeSizeOutput);
  Fl_Value_Input* const shares[6] = {shareLeftInput,       shareRightInput,
                                     shareUpperLeftInput,  shareLowerLeftInput,
                                     shareUpperRightInput, shareLowerRightInput};
  for (int k = 0; k < 6; ++k) f.shares[k] = valueOf(shares[k]);
  for (int k = 0; k < 12; ++k) f.zones[k] = valueOf(zoneInputs[k]);
  for (int k = 0; k < 5; ++k) {
    f.levels[0][k] = valueOf(ratioLeftInputs[k]);
    f.levels[1][k] = valueOf(ratioRightInputs[k]);
    f.levels[2][k] = valueOf(ratioTotalInputs[k]);
  }
  f.remarks = textOf(remarksInput);
  f.pressure = stationPressure().figures;
  return f;
}
