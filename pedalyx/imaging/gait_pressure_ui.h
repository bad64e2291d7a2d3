// The kPa figures of the pressure view's walking recording as the station's rule gives them
// now: through the calibration in use, else scaled to the weight typed in the analysis window
// ("體重", kg). Read by the walking window and the report; made again only when the recording,
// its corrections, the weight, the tone density or the calibration changed.
#pragma once
#include "pedalyx/imaging/gait_pressure.h"

// Nothing measured before the pressure view exists or while no recording is done.
const GaitPressures& stationGaitPressures();
