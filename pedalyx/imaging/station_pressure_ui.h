// The pressure figures of the picture in the station's pressure view: its levels and both foot
// axes, through the calibration in use or scaled to the weight typed in the analysis window
// ("體重", kg). Read by the pressure window and the report.
#pragma once
#include "pedalyx/imaging/pressure_figures.h"

struct StationPressure {
  PressureScale scale;
  PressureFigures figures;
};

// Levels only (nothing measured) before the pressure view exists.
StationPressure stationPressure();

// The weight typed in the analysis window (0 when there is none).
double typedBodyWeightKg();
