// Placeholder until the balance captures land: does nothing.
#include "pedalyx/imaging/balance_capture_view.h"

void captureBalanceFrames(GL_Display_Pressure&) {}
