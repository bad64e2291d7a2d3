#include "pedalyx/imaging/station_pressure_ui.h"

#include <FL/Fl_Value_Input.H>

#include "pedalyx/imaging/foot_zone_analyzer.h"
#include "pedalyx/imaging/pressure_view.h"
#include "pedalyx/station/handles.h"

double typedBodyWeightKg() { return weightInput != nullptr ? weightInput->value() : 0.0; }

StationPressure stationPressure() {
  StationPressure out;
  if (pressureView == nullptr || pressureView->analyzer == nullptr) return out;
  const GL_Display_Pressure& view = *pressureView;
  const double weight = typedBodyWeightKg();
  const PressureCalibration* calibration =
      view.pressureCalibration ? &*view.pressureCalibration : nullptr;
  out.scale = stationPressureScale(calibration, view.filterValues().gen, view.levelImage, weight);
  out.figures = pressureFigures(view.levelImage, view.analyzer->left, view.analyzer->right,
                                out.scale, weight);
  return out;
}
