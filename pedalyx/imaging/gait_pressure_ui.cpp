#include "pedalyx/imaging/gait_pressure_ui.h"

#include "pedalyx/imaging/pressure_view.h"
#include "pedalyx/imaging/station_pressure_ui.h"
#include "pedalyx/station/handles.h"

namespace {

struct Made {
  bool valid = false;
  unsigned revision = 0;
  double weight = 0, toneDensity = 0;
  const PressureCalibration* calibration = nullptr;
  bool operator==(const Made& o) const {
    return valid == o.valid && revision == o.revision && weight == o.weight &&
           toneDensity == o.toneDensity && calibration == o.calibration;
  }
};

}  // namespace

const GaitPressures& stationGaitPressures() {
  static GaitPressures pressures;
  static Made made;
  if (pressureView == nullptr) return pressures;
  const GL_Display_Pressure& view = *pressureView;
  const GaitRecorder& recorder = view.gaitRecorder;
  Made now;
  now.valid = recorder.state() == GaitRecorder::State::Done;
  now.revision = recorder.revision();
  now.weight = typedBodyWeightKg();
  now.toneDensity = view.filterValues().gen;
  now.calibration = view.pressureCalibration ? &*view.pressureCalibration : nullptr;
  if (now == made) return pressures;
  made = now;
  if (!now.valid) {
    pressures = GaitPressures{};
    return pressures;
  }
  const PressureScale scale =
      walkingPressureScale(recorder.results(), now.calibration, now.toneDensity, now.weight);
  pressures = gaitPressures(recorder.results(), scale);
  return pressures;
}
